// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/Exif.h"

#include "platform/detail/ColourConverter.h"
#include "platform/detail/PictureFile.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace platform::detail {

namespace {

constexpr unsigned char MarkerStart = 0xff;
constexpr unsigned char StartOfImage = 0xd8;
constexpr unsigned char EndOfImage = 0xd9;
constexpr unsigned char StartOfScan = 0xda;
constexpr unsigned char App1 = 0xe1;
// A header past this many segments is not a photo's: the search stops
// rather than read a hostile file's made-up segments one by one.
constexpr int MostSegments = 256;

unsigned readUnsigned(const unsigned char *at, int bytes, bool bigEndian)
{
    unsigned value = 0;
    for (int i = 0; i < bytes; ++i) {
        const int index = bigEndian ? i : bytes - 1 - i;
        value = (value << 8) | at[index];
    }
    return value;
}

} // namespace

bool startsLikeJpeg(const PictureFile &file)
{
    unsigned char start[2] = {};
    return file.read(0, start, sizeof start) == 2 && start[0] == MarkerStart
            && start[1] == StartOfImage;
}

namespace {

constexpr unsigned char App2 = 0xe2;
constexpr unsigned char ExifSignature[] = { 'E', 'x', 'i', 'f', 0, 0 };
constexpr unsigned char IccSignature[]
        = { 'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0 };
// After the signature: the chunk's number (from 1) and the number of chunks.
constexpr std::size_t IccChunkHeader = sizeof IccSignature + 2;

// The chunks of an ICC profile as they come, in any order.
class IccChunks
{
public:
    void add(const PictureFile &file, std::uint64_t offset, std::size_t length)
    {
        unsigned char numbers[2] = {};
        if (broken || length < IccChunkHeader
            || file.read(offset + sizeof IccSignature, numbers, 2) != 2) {
            broken = true;
            return;
        }
        const unsigned number = numbers[0];
        const unsigned count = numbers[1];
        if (count == 0 || number == 0 || number > count
            || (!chunks.empty() && count != chunks.size())) {
            broken = true;
            return;
        }
        if (chunks.empty())
            chunks.resize(count);
        std::vector<unsigned char> &chunk = chunks[number - 1];
        const std::size_t size = length - IccChunkHeader;
        if (!chunk.empty() || size == 0 || total + size > MaxProfileBytes) {
            broken = true;
            return;
        }
        chunk.resize(size);
        if (file.read(offset + IccChunkHeader, chunk.data(), size) != size) {
            broken = true;
            return;
        }
        total += size;
    }

    std::vector<unsigned char> joined() const
    {
        std::vector<unsigned char> profile;
        if (broken || chunks.empty())
            return profile;
        for (const auto &chunk : chunks) {
            if (chunk.empty())
                return {};
        }
        profile.reserve(total);
        for (const auto &chunk : chunks)
            profile.insert(profile.end(), chunk.begin(), chunk.end());
        return profile;
    }

private:
    std::vector<std::vector<unsigned char>> chunks;
    std::size_t total = 0;
    bool broken = false;
};

bool startsWith(const PictureFile &file, std::uint64_t offset, std::size_t length,
                const unsigned char *signature, std::size_t size)
{
    unsigned char start[sizeof IccSignature] = {};
    return length >= size && size <= sizeof start && file.read(offset, start, size) == size
            && std::memcmp(start, signature, size) == 0;
}

// The bytes of a header, read a chunk at a time: markers are found byte by
// byte, and a read of the file is a system call (under Wine, a trip to its
// server).
class HeaderBytes
{
public:
    explicit HeaderBytes(const PictureFile &file) : file(file) { }

    // The next byte, or -1 past the end of the file.
    int next()
    {
        if (at == end) {
            start += end;
            at = 0;
            end = file.read(start, chunk.data(), chunk.size());
            if (end == 0)
                return -1;
        }
        return chunk[at++];
    }

    std::uint64_t offset() const { return start + at; }

    void seek(std::uint64_t offset)
    {
        if (offset >= start && offset <= start + end) {
            at = static_cast<std::size_t>(offset - start);
        } else {
            start = offset;
            at = end = 0;
        }
    }

private:
    const PictureFile &file;
    std::vector<unsigned char> chunk = std::vector<unsigned char>(4096);
    std::uint64_t start = 0; // of the chunk in the file
    std::size_t at = 0;
    std::size_t end = 0;
};

// The next marker as libjpeg finds it: bytes that are no marker, fill
// bytes and stuffed zeros are passed over. -1 at the end of the file.
int nextMarker(HeaderBytes &bytes)
{
    for (;;) {
        int c = bytes.next();
        while (c >= 0 && c != MarkerStart)
            c = bytes.next();
        do {
            c = bytes.next();
        } while (c == MarkerStart);
        if (c != 0)
            return c;
    }
}

// Restarts and TEM stand alone, without a length.
bool hasNoLength(int marker)
{
    constexpr int Tem = 0x01;
    constexpr int FirstRestart = 0xd0;
    constexpr int LastRestart = 0xd7;
    return marker == Tem || (marker >= FirstRestart && marker <= LastRestart);
}

} // namespace

// The segments are walked as libjpeg walks them, so that the two agree on
// which segments a file has.
JpegHeader readJpegHeader(const PictureFile &file)
{
    JpegHeader header;
    IccChunks icc;
    bool exifSeen = false;
    HeaderBytes bytes(file);
    bytes.seek(2);
    for (int segment = 0; segment < MostSegments; ++segment) {
        const int marker = nextMarker(bytes);
        if (marker < 0 || marker == StartOfScan || marker == EndOfImage)
            break;
        if (hasNoLength(marker))
            continue;
        const int high = bytes.next();
        const int low = bytes.next();
        if (high < 0 || low < 0)
            break;
        const auto length = static_cast<unsigned>(high << 8 | low);
        if (length < 2)
            break;
        const std::uint64_t data = bytes.offset();
        const std::size_t size = length - 2;
        // An APP1 that is not EXIF (XMP) may come first; only the first
        // EXIF one counts.
        if (marker == App1 && !exifSeen
            && startsWith(file, data, size, ExifSignature, sizeof ExifSignature)) {
            exifSeen = true;
            std::vector<unsigned char> exif(size);
            if (file.read(data, exif.data(), exif.size()) == exif.size()) {
                const ExifInfo info = readExif(exif.data(), exif.size());
                header.orientation = info.orientation;
                header.adobeRgb = info.adobeRgb;
            }
        } else if (marker == App2
                   && startsWith(file, data, size, IccSignature, sizeof IccSignature)) {
            icc.add(file, data, size);
        }
        bytes.seek(data + size);
    }
    header.profile = icc.joined();
    return header;
}

int jpegOrientation(const PictureFile &file)
{
    return readJpegHeader(file).orientation;
}

namespace {

constexpr unsigned OrientationTag = 0x0112;
constexpr unsigned ExifIfdTag = 0x8769;
constexpr unsigned ColourSpaceTag = 0xa001;
constexpr unsigned InteroperabilityIfdTag = 0xa005;
constexpr unsigned InteroperabilityIndexTag = 0x0001;
constexpr unsigned ShortType = 3;
constexpr unsigned LongType = 4;
constexpr unsigned AsciiType = 2;
constexpr unsigned Uncalibrated = 0xffff;
constexpr std::size_t EntrySize = 12;

// A TIFF structure held in memory: every read is checked against its end.
struct Tiff
{
    const unsigned char *data;
    std::size_t size;
    bool bigEndian;

    // Calls `visit(tag, type, entry)` for each entry of the IFD at `at`, in
    // order, up to the first that lies past the end; `visit` returns false
    // to stop.
    template<typename Visit>
    void entries(std::size_t at, Visit visit) const
    {
        if (at > size || size - at < 2)
            return;
        const std::size_t count = readUnsigned(data + at, 2, bigEndian);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t entry = at + 2 + i * EntrySize;
            if (entry > size || size - entry < EntrySize)
                return;
            const unsigned char *bytes = data + entry;
            if (!visit(readUnsigned(bytes, 2, bigEndian), readUnsigned(bytes + 2, 2, bigEndian),
                       bytes))
                return;
        }
    }

    // The offset a LONG entry holds; none for another type.
    std::optional<std::size_t> pointer(unsigned type, const unsigned char *entry) const
    {
        if (type != LongType)
            return std::nullopt;
        return readUnsigned(entry + 8, 4, bigEndian);
    }
};

} // namespace

int exifOrientation(const unsigned char *data, std::size_t length)
{
    return readExif(data, length).orientation;
}

ExifInfo readExif(const unsigned char *data, std::size_t length)
{
    ExifInfo info;
    // "Exif\0\0", then a TIFF header: byte order, 42, the first IFD's offset.
    constexpr std::size_t TiffStart = sizeof ExifSignature;
    if (length < TiffStart + 8 || std::memcmp(data, ExifSignature, TiffStart) != 0)
        return info;
    const unsigned char *tiffData = data + TiffStart;
    Tiff tiff{ tiffData, length - TiffStart, false };
    if (tiffData[0] == 'M' && tiffData[1] == 'M')
        tiff.bigEndian = true;
    else if (tiffData[0] != 'I' || tiffData[1] != 'I')
        return info;
    if (readUnsigned(tiffData + 2, 2, tiff.bigEndian) != 42)
        return info;

    std::optional<std::size_t> exifIfd;
    bool orientationSeen = false;
    tiff.entries(readUnsigned(tiffData + 4, 4, tiff.bigEndian),
                 [&](unsigned tag, unsigned type, const unsigned char *entry) {
                     if (tag == OrientationTag && !orientationSeen) {
                         orientationSeen = true;
                         // A SHORT, its value in the first two bytes of the
                         // value field.
                         const unsigned value = readUnsigned(entry + 8, 2, tiff.bigEndian);
                         if (type == ShortType && value >= 1 && value <= 8)
                             info.orientation = static_cast<int>(value);
                     } else if (tag == ExifIfdTag) {
                         exifIfd = tiff.pointer(type, entry);
                     }
                     return true;
                 });
    if (!exifIfd)
        return info;

    bool uncalibrated = false;
    std::optional<std::size_t> interoperabilityIfd;
    tiff.entries(*exifIfd, [&](unsigned tag, unsigned type, const unsigned char *entry) {
        if (tag == ColourSpaceTag && type == ShortType)
            uncalibrated = readUnsigned(entry + 8, 2, tiff.bigEndian) == Uncalibrated;
        else if (tag == InteroperabilityIfdTag)
            interoperabilityIfd = tiff.pointer(type, entry);
        return true;
    });
    if (!uncalibrated || !interoperabilityIfd)
        return info;
    tiff.entries(*interoperabilityIfd,
                 [&](unsigned tag, unsigned type, const unsigned char *entry) {
                     if (tag != InteroperabilityIndexTag)
                         return true;
                     // "R03" and its terminator fit in the value field itself.
                     const unsigned count = readUnsigned(entry + 4, 4, tiff.bigEndian);
                     info.adobeRgb = type == AsciiType && count >= 3 && count <= 4
                             && std::memcmp(entry + 8, "R03", 3) == 0;
                     return false;
                 });
    return info;
}

} // namespace platform::detail
