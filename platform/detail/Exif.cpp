// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/Exif.h"

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

int jpegOrientation(const PictureFile &file)
{
    std::uint64_t offset = 2;
    for (int segment = 0; segment < MostSegments; ++segment) {
        unsigned char header[4] = {};
        if (file.read(offset, header, sizeof header) != sizeof header || header[0] != MarkerStart)
            return 1;
        if (header[1] == MarkerStart) {
            // A fill byte before the marker.
            ++offset;
            continue;
        }
        if (header[1] == StartOfScan || header[1] == EndOfImage)
            return 1;
        const unsigned length = readUnsigned(header + 2, 2, true);
        if (length < 2)
            return 1;
        if (header[1] == App1) {
            std::vector<unsigned char> data(length - 2);
            if (file.read(offset + 4, data.data(), data.size()) != data.size())
                return 1;
            const int orientation = exifOrientation(data.data(), data.size());
            // An APP1 that is not EXIF (XMP) may come first.
            if (orientation != 1 || std::memcmp(data.data(), "Exif\0\0", 6) == 0)
                return orientation;
        }
        offset += 2 + length;
    }
    return 1;
}

namespace {

// The start-of-frame markers: baseline, extended, progressive and lossless,
// Huffman or arithmetic coded; not DHT (C4), JPG (C8) or DAC (CC).
bool isStartOfFrame(unsigned char marker)
{
    return marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
}

} // namespace

std::optional<PixelSize> jpegFrameSize(const PictureFile &file)
{
    std::uint64_t offset = 2;
    for (int segment = 0; segment < MostSegments; ++segment) {
        unsigned char header[9] = {};
        if (file.read(offset, header, 4) != 4 || header[0] != MarkerStart)
            return std::nullopt;
        if (header[1] == MarkerStart) {
            ++offset;
            continue;
        }
        if (header[1] == StartOfScan || header[1] == EndOfImage)
            return std::nullopt;
        const unsigned length = readUnsigned(header + 2, 2, true);
        if (length < 2)
            return std::nullopt;
        if (isStartOfFrame(header[1])) {
            // Precision, then the height and the width.
            if (length < 7 || file.read(offset + 4, header + 4, 5) != 5)
                return std::nullopt;
            return PixelSize{ static_cast<int>(readUnsigned(header + 7, 2, true)),
                              static_cast<int>(readUnsigned(header + 5, 2, true)) };
        }
        offset += 2 + length;
    }
    return std::nullopt;
}

int exifOrientation(const unsigned char *data, std::size_t length)
{
    // "Exif\0\0", then a TIFF header: byte order, 42, the first IFD's offset.
    constexpr std::size_t Tiff = 6;
    if (length < Tiff + 8 || std::memcmp(data, "Exif\0\0", Tiff) != 0)
        return 1;
    const unsigned char *tiff = data + Tiff;
    const std::size_t size = length - Tiff;
    bool bigEndian;
    if (tiff[0] == 'M' && tiff[1] == 'M')
        bigEndian = true;
    else if (tiff[0] == 'I' && tiff[1] == 'I')
        bigEndian = false;
    else
        return 1;
    if (readUnsigned(tiff + 2, 2, bigEndian) != 42)
        return 1;
    const std::size_t ifd = readUnsigned(tiff + 4, 4, bigEndian);
    if (ifd > size || size - ifd < 2)
        return 1;
    const std::size_t entries = readUnsigned(tiff + ifd, 2, bigEndian);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t at = ifd + 2 + i * 12;
        if (at > size || size - at < 12)
            return 1;
        const unsigned char *entry = tiff + at;
        if (readUnsigned(entry, 2, bigEndian) != 0x0112)
            continue;
        // A SHORT, its value in the first two bytes of the value field.
        if (readUnsigned(entry + 2, 2, bigEndian) != 3)
            return 1;
        const unsigned value = readUnsigned(entry + 8, 2, bigEndian);
        return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
    }
    return 1;
}

} // namespace platform::detail
