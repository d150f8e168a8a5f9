// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "tests/support/PictureBytes.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <fstream>
#include <stdexcept>
#include <string_view>

namespace testsupport {

namespace {

void putByte(std::string &out, unsigned value)
{
    out.push_back(static_cast<char>(value & 0xffU));
}

void putBig16(std::string &out, unsigned value)
{
    putByte(out, value >> 8);
    putByte(out, value);
}

void putLittle16(std::string &out, unsigned value)
{
    putByte(out, value);
    putByte(out, value >> 8);
}

unsigned byteAt(const std::string &bytes, std::size_t index)
{
    return static_cast<unsigned char>(bytes[index]);
}

void checkSide(int side, int smallest, const char *what)
{
    if (side < smallest || side > 0xffff)
        throw std::invalid_argument(std::string(what) + " out of range: " + std::to_string(side));
}

// ---------------------------------------------------------------- EXIF

constexpr std::string_view ExifHeader("Exif\0\0", 6);

// APP1 with a TIFF header and a single IFD of one entry: Orientation
// (0x0112), SHORT, count 1, the value left-justified in the entry.
std::string exifSegment(int orientation, ExifOrder order)
{
    const bool big = order == ExifOrder::BigEndian;
    std::string out;
    const auto put16 = [&](unsigned value) {
        if (big)
            putBig16(out, value);
        else
            putLittle16(out, value);
    };
    const auto put32 = [&](unsigned value) {
        if (big) {
            put16(value >> 16);
            put16(value & 0xffffU);
        } else {
            put16(value & 0xffffU);
            put16(value >> 16);
        }
    };
    putByte(out, 0xff);
    putByte(out, 0xe1);
    putBig16(out, 34); // the JPEG segment length is big-endian whatever the TIFF order
    out.append(ExifHeader);
    out.append(big ? "MM" : "II");
    put16(42);
    put32(8); // the IFD follows the 8-byte TIFF header
    put16(1);
    put16(0x0112);
    put16(3);
    put32(1);
    put16(static_cast<unsigned>(orientation));
    put16(0);
    put32(0); // no further IFD
    return out;
}

// ---------------------------------------------------------------- JPEG tables

// Zigzag position to row-major index within an 8 by 8 block.
constexpr std::array<std::uint8_t, 64> ZigzagToNatural = [] {
    std::array<std::uint8_t, 64> order{};
    std::size_t position = 0;
    for (int diagonal = 0; diagonal < 15; ++diagonal) {
        const int low = std::max(0, diagonal - 7);
        const int high = std::min(diagonal, 7);
        // Odd diagonals run down to the left, even ones up to the right.
        for (int step = 0; step <= high - low; ++step) {
            const int row = diagonal % 2 == 1 ? low + step : high - step;
            order[position++] = static_cast<std::uint8_t>(row * 8 + diagonal - row);
        }
    }
    return order;
}();

// The example tables of the JPEG standard (Annex K), row-major; libjpeg
// scales the same ones by quality, so its readers expect their sizes.
constexpr std::array<std::uint8_t, 64> LumaQuantisation = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99,
};
constexpr std::array<std::uint8_t, 64> ChromaQuantisation = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99,
    99, 99, 47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
};

// libjpeg's quality scaling, held to 255 so the tables stay baseline.
std::array<std::uint8_t, 64> scaledQuantisation(const std::array<std::uint8_t, 64> &base,
                                                int quality)
{
    const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    std::array<std::uint8_t, 64> table{};
    for (std::size_t index = 0; index < 64; ++index)
        table[index]
                = static_cast<std::uint8_t>(std::clamp((base[index] * scale + 50) / 100, 1, 255));
    return table;
}

struct HuffmanTable
{
    std::array<std::uint8_t, 16> counts; // codes of each length, 1 to 16 bits
    std::vector<std::uint8_t> symbols;
};

// The typical tables of the JPEG standard (Annex K.3).
const HuffmanTable &lumaDc()
{
    static const HuffmanTable table{ { 0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0 },
                                     { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11 } };
    return table;
}

const HuffmanTable &chromaDc()
{
    static const HuffmanTable table{ { 0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0 },
                                     { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11 } };
    return table;
}

const HuffmanTable &lumaAc()
{
    static const HuffmanTable table{
        { 0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7d },
        { 0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61,
          0x07, 0x22, 0x71, 0x14, 0x32, 0x81, 0x91, 0xa1, 0x08, 0x23, 0x42, 0xb1, 0xc1, 0x15, 0x52,
          0xd1, 0xf0, 0x24, 0x33, 0x62, 0x72, 0x82, 0x09, 0x0a, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x25,
          0x26, 0x27, 0x28, 0x29, 0x2a, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3a, 0x43, 0x44, 0x45,
          0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5a, 0x63, 0x64,
          0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7a, 0x83,
          0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99,
          0x9a, 0xa2, 0xa3, 0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4, 0xb5, 0xb6,
          0xb7, 0xb8, 0xb9, 0xba, 0xc2, 0xc3, 0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca, 0xd2, 0xd3,
          0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe1, 0xe2, 0xe3, 0xe4, 0xe5, 0xe6, 0xe7, 0xe8,
          0xe9, 0xea, 0xf1, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa }
    };
    return table;
}

const HuffmanTable &chromaAc()
{
    static const HuffmanTable table{
        { 0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77 },
        { 0x00, 0x01, 0x02, 0x03, 0x11, 0x04, 0x05, 0x21, 0x31, 0x06, 0x12, 0x41, 0x51, 0x07, 0x61,
          0x71, 0x13, 0x22, 0x32, 0x81, 0x08, 0x14, 0x42, 0x91, 0xa1, 0xb1, 0xc1, 0x09, 0x23, 0x33,
          0x52, 0xf0, 0x15, 0x62, 0x72, 0xd1, 0x0a, 0x16, 0x24, 0x34, 0xe1, 0x25, 0xf1, 0x17, 0x18,
          0x19, 0x1a, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3a, 0x43, 0x44,
          0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5a, 0x63,
          0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7a,
          0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97,
          0x98, 0x99, 0x9a, 0xa2, 0xa3, 0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4,
          0xb5, 0xb6, 0xb7, 0xb8, 0xb9, 0xba, 0xc2, 0xc3, 0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca,
          0xd2, 0xd3, 0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe2, 0xe3, 0xe4, 0xe5, 0xe6, 0xe7,
          0xe8, 0xe9, 0xea, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa }
    };
    return table;
}

// The code of each symbol, assigned in order of length as the decoder
// rebuilds them from the counts.
struct HuffmanCodes
{
    std::array<std::uint16_t, 256> code{};
    std::array<std::uint8_t, 256> length{};
};

HuffmanCodes makeCodes(const HuffmanTable &table)
{
    HuffmanCodes codes;
    unsigned code = 0;
    std::size_t next = 0;
    for (unsigned length = 1; length <= 16; ++length) {
        for (unsigned count = 0; count < table.counts[length - 1]; ++count) {
            const std::uint8_t symbol = table.symbols[next++];
            codes.code[symbol] = static_cast<std::uint16_t>(code++);
            codes.length[symbol] = static_cast<std::uint8_t>(length);
        }
        code <<= 1;
    }
    return codes;
}

// ---------------------------------------------------------------- JPEG coding

// The entropy-coded segment: a 0xff byte is followed by a stuffed zero so
// that it cannot be read as a marker.
class BitWriter
{
public:
    explicit BitWriter(std::string &out) : out(out) { }

    void put(std::uint32_t bits, int count)
    {
        pending = (pending << count) | bits;
        pendingCount += count;
        while (pendingCount >= 8) {
            pendingCount -= 8;
            const auto byte = static_cast<unsigned>(pending >> pendingCount) & 0xffU;
            putByte(out, byte);
            if (byte == 0xff)
                putByte(out, 0);
        }
    }

    // The last byte is padded with ones, as the decoder expects.
    void finish()
    {
        if (pendingCount > 0)
            put((1U << (8 - pendingCount)) - 1, 8 - pendingCount);
    }

private:
    std::string &out;
    std::uint64_t pending = 0;
    int pendingCount = 0;
};

// One pass of the float AAN forward DCT, as in libjpeg's jfdctflt.c: eight
// lines `Stride` apart, each of eight values `Step` apart. Its outputs are
// eight times the true coefficients times a per-row and per-column factor,
// both folded into the quantisation divisors.
template<std::size_t Step, std::size_t Stride>
void dctPass(float *data)
{
    for (std::size_t line = 0; line < 8; ++line) {
        float *d = data + line * Stride;
        const float tmp0 = d[0] + d[7 * Step];
        const float tmp7 = d[0] - d[7 * Step];
        const float tmp1 = d[Step] + d[6 * Step];
        const float tmp6 = d[Step] - d[6 * Step];
        const float tmp2 = d[2 * Step] + d[5 * Step];
        const float tmp5 = d[2 * Step] - d[5 * Step];
        const float tmp3 = d[3 * Step] + d[4 * Step];
        const float tmp4 = d[3 * Step] - d[4 * Step];

        const float tmp10 = tmp0 + tmp3;
        const float tmp13 = tmp0 - tmp3;
        const float tmp11 = tmp1 + tmp2;
        const float tmp12 = tmp1 - tmp2;
        d[0] = tmp10 + tmp11;
        d[4 * Step] = tmp10 - tmp11;
        const float z1 = (tmp12 + tmp13) * 0.707106781f;
        d[2 * Step] = tmp13 + z1;
        d[6 * Step] = tmp13 - z1;

        const float odd10 = tmp4 + tmp5;
        const float odd11 = tmp5 + tmp6;
        const float odd12 = tmp6 + tmp7;
        const float z5 = (odd10 - odd12) * 0.382683433f;
        const float z2 = 0.541196100f * odd10 + z5;
        const float z4 = 1.306562965f * odd12 + z5;
        const float z3 = odd11 * 0.707106781f;
        const float z11 = tmp7 + z3;
        const float z13 = tmp7 - z3;
        d[5 * Step] = z13 + z2;
        d[3 * Step] = z13 - z2;
        d[Step] = z11 + z4;
        d[7 * Step] = z11 - z4;
    }
}

// One component's coding state: its divisors, its codes, its last DC.
struct ComponentCoder
{
    std::array<float, 64> reciprocal{}; // row-major
    const HuffmanCodes *dc = nullptr;
    const HuffmanCodes *ac = nullptr;
    int previousDc = 0;

    std::array<std::uint8_t, 64> lastBlock{};
    bool haveLast = false;
    std::array<int, 64> zigzag{}; // the last block's quantised coefficients

    ComponentCoder(const std::array<std::uint8_t, 64> &quantisation, const HuffmanCodes &dcCodes,
                   const HuffmanCodes &acCodes)
        : dc(&dcCodes), ac(&acCodes)
    {
        static constexpr std::array<double, 8> AanScale
                = { 1.0, 1.387039845, 1.306562965, 1.175875602,
                    1.0, 0.785694958, 0.541196100, 0.275899379 };
        for (std::size_t row = 0; row < 8; ++row)
            for (std::size_t column = 0; column < 8; ++column)
                reciprocal[row * 8 + column]
                        = static_cast<float>(1.0
                                             / (quantisation[row * 8 + column] * AanScale[row]
                                                * AanScale[column] * 8.0));
    }

    void transform(const std::array<std::uint8_t, 64> &samples)
    {
        std::array<float, 64> block;
        for (std::size_t index = 0; index < 64; ++index)
            block[index] = static_cast<float>(samples[index]) - 128.0f;
        dctPass<1, 8>(block.data());
        dctPass<8, 1>(block.data());
        for (std::size_t position = 0; position < 64; ++position) {
            const std::size_t index = ZigzagToNatural[position];
            // The offset keeps the value positive, so the cast rounds it
            // down: to the nearest, without a library call per value.
            zigzag[position]
                    = static_cast<int>(block[index] * reciprocal[index] + 16384.5f) - 16384;
        }
    }

    void putValue(BitWriter &bits, const HuffmanCodes &codes, unsigned runLength, int value) const
    {
        const unsigned magnitude = static_cast<unsigned>(value < 0 ? -value : value);
        const int size = std::bit_width(magnitude);
        const unsigned symbol = (runLength << 4) | static_cast<unsigned>(size);
        bits.put(codes.code[symbol], codes.length[symbol]);
        if (size > 0) {
            // A negative value is sent as its ones' complement in `size` bits.
            const unsigned extra = value < 0 ? static_cast<unsigned>(value - 1) : magnitude;
            bits.put(extra & ((1U << size) - 1), size);
        }
    }

    void encode(const std::uint8_t *samples, std::size_t stride, BitWriter &bits)
    {
        std::array<std::uint8_t, 64> block;
        for (std::size_t row = 0; row < 8; ++row)
            std::copy_n(samples + row * stride, 8, block.begin() + 8 * row);
        // Test pictures are mostly flat: a block like the last one has the
        // same coefficients, and skipping its transform makes a large
        // picture several times quicker.
        if (!haveLast || block != lastBlock) {
            transform(block);
            lastBlock = block;
            haveLast = true;
        }

        putValue(bits, *dc, 0, zigzag[0] - previousDc);
        previousDc = zigzag[0];
        unsigned run = 0;
        for (std::size_t position = 1; position < 64; ++position) {
            if (zigzag[position] == 0) {
                ++run;
                continue;
            }
            for (; run >= 16; run -= 16)
                bits.put(ac->code[0xf0], ac->length[0xf0]);
            putValue(bits, *ac, run, zigzag[position]);
            run = 0;
        }
        if (run > 0)
            bits.put(ac->code[0x00], ac->length[0x00]);
    }
};

using RowFill = std::function<void(int y, Rgb *row)>;

void putQuantisation(std::string &out, unsigned id, const std::array<std::uint8_t, 64> &table)
{
    putByte(out, id);
    for (std::uint8_t index : ZigzagToNatural)
        putByte(out, table[index]);
}

void putHuffman(std::string &out, unsigned classAndId, const HuffmanTable &table)
{
    putByte(out, classAndId);
    for (std::uint8_t count : table.counts)
        putByte(out, count);
    for (std::uint8_t symbol : table.symbols)
        putByte(out, symbol);
}

std::string encodeJpeg(int width, int height, const JpegOptions &options, const RowFill &fill)
{
    checkSide(width, 1, "width");
    checkSide(height, 1, "height");
    if (options.quality < 1 || options.quality > 100)
        throw std::invalid_argument("quality out of range: " + std::to_string(options.quality));
    if (options.orientation < 0 || options.orientation > 0xffff)
        throw std::invalid_argument("orientation out of range: "
                                    + std::to_string(options.orientation));

    const bool grey = options.colours == JpegColours::Grey;
    const bool subsampled = options.colours == JpegColours::YCbCr420;
    const unsigned components = grey ? 1 : 3;
    const auto lumaTable = scaledQuantisation(LumaQuantisation, options.quality);
    const auto chromaTable = scaledQuantisation(ChromaQuantisation, options.quality);

    std::string out;
    putByte(out, 0xff);
    putByte(out, 0xd8);

    // JFIF 1.01 at 96 dots per inch.
    putByte(out, 0xff);
    putByte(out, 0xe0);
    putBig16(out, 16);
    out.append(std::string_view("JFIF\0", 5));
    putByte(out, 1);
    putByte(out, 1);
    putByte(out, 1);
    putBig16(out, 96);
    putBig16(out, 96);
    putByte(out, 0);
    putByte(out, 0);

    if (options.orientation != 0)
        out += exifSegment(options.orientation, options.exifOrder);

    putByte(out, 0xff);
    putByte(out, 0xdb);
    putBig16(out, grey ? 2 + 65 : 2 + 2 * 65);
    putQuantisation(out, 0, lumaTable);
    if (!grey)
        putQuantisation(out, 1, chromaTable);

    // Baseline frame: 8-bit samples, components 1 (Y), 2 (Cb), 3 (Cr).
    putByte(out, 0xff);
    putByte(out, 0xc0);
    putBig16(out, 8 + 3 * components);
    putByte(out, 8);
    putBig16(out, static_cast<unsigned>(height));
    putBig16(out, static_cast<unsigned>(width));
    putByte(out, components);
    putByte(out, 1);
    putByte(out, subsampled ? 0x22 : 0x11);
    putByte(out, 0);
    if (!grey) {
        for (unsigned id = 2; id <= 3; ++id) {
            putByte(out, id);
            putByte(out, 0x11);
            putByte(out, 1);
        }
    }

    putByte(out, 0xff);
    putByte(out, 0xc4);
    {
        std::size_t length = 2 + 17 * 2 + lumaDc().symbols.size() + lumaAc().symbols.size();
        if (!grey)
            length += 17 * 2 + chromaDc().symbols.size() + chromaAc().symbols.size();
        putBig16(out, static_cast<unsigned>(length));
    }
    putHuffman(out, 0x00, lumaDc());
    putHuffman(out, 0x10, lumaAc());
    if (!grey) {
        putHuffman(out, 0x01, chromaDc());
        putHuffman(out, 0x11, chromaAc());
    }

    putByte(out, 0xff);
    putByte(out, 0xda);
    putBig16(out, 6 + 2 * components);
    putByte(out, components);
    putByte(out, 1);
    putByte(out, 0x00);
    if (!grey) {
        putByte(out, 2);
        putByte(out, 0x11);
        putByte(out, 3);
        putByte(out, 0x11);
    }
    putByte(out, 0); // spectral selection 0 to 63, no successive approximation
    putByte(out, 63);
    putByte(out, 0);

    static const HuffmanCodes lumaDcCodes = makeCodes(lumaDc());
    static const HuffmanCodes lumaAcCodes = makeCodes(lumaAc());
    static const HuffmanCodes chromaDcCodes = makeCodes(chromaDc());
    static const HuffmanCodes chromaAcCodes = makeCodes(chromaAc());
    ComponentCoder luma(lumaTable, lumaDcCodes, lumaAcCodes);
    ComponentCoder blueDifference(chromaTable, chromaDcCodes, chromaAcCodes);
    ComponentCoder redDifference(chromaTable, chromaDcCodes, chromaAcCodes);

    // One row of MCUs at a time: its pixels, then its sample planes, padded
    // to whole blocks by repeating the last column and row so the padding
    // costs no bits and leaves no fringe.
    const std::size_t mcuSide = subsampled ? 16 : 8;
    const std::size_t mcuColumns = (static_cast<std::size_t>(width) + mcuSide - 1) / mcuSide;
    const std::size_t mcuRows = (static_cast<std::size_t>(height) + mcuSide - 1) / mcuSide;
    const std::size_t paddedWidth = mcuColumns * mcuSide;
    const std::size_t chromaWidth = subsampled ? paddedWidth / 2 : paddedWidth;
    std::vector<Rgb> band(paddedWidth * mcuSide);
    std::vector<std::uint8_t> lumaPlane(paddedWidth * mcuSide);
    std::vector<std::uint8_t> blueDifferencePlane(grey ? 0 : chromaWidth * 8);
    std::vector<std::uint8_t> redDifferencePlane(grey ? 0 : chromaWidth * 8);
    const auto imageWidth = static_cast<std::size_t>(width);

    BitWriter bits(out);
    for (std::size_t mcuRow = 0; mcuRow < mcuRows; ++mcuRow) {
        for (std::size_t row = 0; row < mcuSide; ++row) {
            Rgb *line = band.data() + row * paddedWidth;
            const std::size_t y = mcuRow * mcuSide + row;
            if (y < static_cast<std::size_t>(height)) {
                fill(static_cast<int>(y), line);
                std::fill(line + imageWidth, line + paddedWidth, line[imageWidth - 1]);
            } else {
                std::copy(line - paddedWidth, line, line);
            }
        }

        // libjpeg's fixed-point YCbCr, 16 fraction bits.
        for (std::size_t index = 0; index < band.size(); ++index) {
            const Rgb pixel = band[index];
            lumaPlane[index] = static_cast<std::uint8_t>(
                    (19595 * pixel.red + 38470 * pixel.green + 7471 * pixel.blue + 32768) >> 16);
        }
        if (subsampled) {
            // From the sum of each 2 by 2 square: two more fraction bits.
            constexpr int Offset = (128 << 18) + (1 << 17) - 1;
            for (std::size_t row = 0; row < 8; ++row) {
                const Rgb *top = band.data() + 2 * row * paddedWidth;
                const Rgb *bottom = top + paddedWidth;
                std::uint8_t *blueOut = blueDifferencePlane.data() + row * chromaWidth;
                std::uint8_t *redOut = redDifferencePlane.data() + row * chromaWidth;
                for (std::size_t column = 0; column < chromaWidth; ++column) {
                    const Rgb a = top[2 * column];
                    const Rgb b = top[2 * column + 1];
                    const Rgb c = bottom[2 * column];
                    const Rgb d = bottom[2 * column + 1];
                    const int sumRed = a.red + b.red + c.red + d.red;
                    const int sumGreen = a.green + b.green + c.green + d.green;
                    const int sumBlue = a.blue + b.blue + c.blue + d.blue;
                    blueOut[column] = static_cast<std::uint8_t>(
                            (-11059 * sumRed - 21709 * sumGreen + 32768 * sumBlue + Offset) >> 18);
                    redOut[column] = static_cast<std::uint8_t>(
                            (32768 * sumRed - 27439 * sumGreen - 5329 * sumBlue + Offset) >> 18);
                }
            }
        } else if (!grey) {
            constexpr int Offset = (128 << 16) + (1 << 15) - 1;
            for (std::size_t index = 0; index < band.size(); ++index) {
                const Rgb pixel = band[index];
                blueDifferencePlane[index] = static_cast<std::uint8_t>(
                        (-11059 * pixel.red - 21709 * pixel.green + 32768 * pixel.blue + Offset)
                        >> 16);
                redDifferencePlane[index] = static_cast<std::uint8_t>(
                        (32768 * pixel.red - 27439 * pixel.green - 5329 * pixel.blue + Offset)
                        >> 16);
            }
        }

        for (std::size_t mcu = 0; mcu < mcuColumns; ++mcu) {
            const std::size_t left = mcu * mcuSide;
            if (subsampled) {
                // Four luma blocks in reading order, then one of each chroma.
                for (std::size_t top : { std::size_t{ 0 }, std::size_t{ 8 } }) {
                    luma.encode(&lumaPlane[top * paddedWidth + left], paddedWidth, bits);
                    luma.encode(&lumaPlane[top * paddedWidth + left + 8], paddedWidth, bits);
                }
                blueDifference.encode(&blueDifferencePlane[left / 2], chromaWidth, bits);
                redDifference.encode(&redDifferencePlane[left / 2], chromaWidth, bits);
            } else {
                luma.encode(&lumaPlane[left], paddedWidth, bits);
                if (!grey) {
                    blueDifference.encode(&blueDifferencePlane[left], chromaWidth, bits);
                    redDifference.encode(&redDifferencePlane[left], chromaWidth, bits);
                }
            }
        }
    }
    bits.finish();

    putByte(out, 0xff);
    putByte(out, 0xd9);
    return out;
}

// ---------------------------------------------------------------- GIF

// GIF image data of one index repeated, never letting the code table grow
// past 9-bit codes: a clear code every few codes keeps the encoder to a
// few lines while staying a valid LZW stream. The codes go straight into
// 255-byte sub-blocks, so a large frame never exists as indices.
void putRepeatedIndex(std::string &out, std::uint8_t index, std::uint64_t count)
{
    constexpr unsigned ClearCode = 256;
    constexpr unsigned EndCode = 257;
    constexpr int CodeBits = 9;

    putByte(out, 8); // minimum code size
    std::string block;
    const auto flushBlock = [&] {
        if (block.empty())
            return;
        putByte(out, static_cast<unsigned>(block.size()));
        out += block;
        block.clear();
    };
    unsigned buffer = 0;
    int bits = 0;
    const auto putCode = [&](unsigned code) {
        buffer |= code << bits;
        bits += CodeBits;
        while (bits >= 8) {
            putByte(block, buffer);
            if (block.size() == 255)
                flushBlock();
            buffer >>= 8;
            bits -= 8;
        }
    };

    int sinceClear = 0;
    putCode(ClearCode);
    for (std::uint64_t pixel = 0; pixel < count; ++pixel) {
        if (sinceClear == 250) {
            putCode(ClearCode);
            sinceClear = 0;
        }
        putCode(index);
        ++sinceClear;
    }
    putCode(EndCode);
    if (bits > 0)
        putByte(block, buffer);
    flushBlock();
    putByte(out, 0); // block terminator
}

} // namespace

std::string jpegBytes(int width, int height, Rgb left, Rgb right, int orientation, int quality)
{
    JpegOptions options;
    options.orientation = orientation;
    options.quality = quality;
    return jpegBytes(width, height, left, right, options);
}

std::string jpegBytes(int width, int height, Rgb left, Rgb right, const JpegOptions &options)
{
    const int split = width / 2;
    return encodeJpeg(width, height, options, [=](int, Rgb *row) {
        std::fill(row, row + split, left);
        std::fill(row + split, row + width, right);
    });
}

std::string jpegBytes(int width, int height, const PixelFunction &pixel, const JpegOptions &options)
{
    if (!pixel)
        throw std::invalid_argument("no pixel function");
    return encodeJpeg(width, height, options, [&](int y, Rgb *row) {
        for (int x = 0; x < width; ++x)
            row[x] = pixel(x, y);
    });
}

std::string withOrientation(const std::string &jpeg, int orientation, ExifOrder order)
{
    if (jpeg.size() < 2 || byteAt(jpeg, 0) != 0xff || byteAt(jpeg, 1) != 0xd8)
        throw std::invalid_argument("not a JPEG");
    if (orientation < 0 || orientation > 0xffff)
        throw std::invalid_argument("orientation out of range: " + std::to_string(orientation));
    const std::string exif = exifSegment(orientation, order);

    // Walk the segments before the scan, dropping any EXIF one; the new one
    // goes after the leading APP0 segments, where JFIF wants its own.
    std::string out = jpeg.substr(0, 2);
    std::size_t position = 2;
    bool inserted = false;
    while (position < jpeg.size() && byteAt(jpeg, position) == 0xff) {
        std::size_t markerAt = position + 1;
        while (markerAt < jpeg.size() && byteAt(jpeg, markerAt) == 0xff)
            ++markerAt; // fill bytes
        if (markerAt + 3 > jpeg.size())
            break;
        const unsigned marker = byteAt(jpeg, markerAt);
        const bool standalone = marker == 0x01 || (marker >= 0xd0 && marker <= 0xd9);
        if (standalone || marker == 0xda)
            break;
        const std::size_t length = byteAt(jpeg, markerAt + 1) << 8 | byteAt(jpeg, markerAt + 2);
        const std::size_t end = markerAt + 1 + length;
        if (length < 2 || end > jpeg.size())
            break;
        if (marker != 0xe0 && !inserted) {
            out += exif;
            inserted = true;
        }
        const bool isExif = marker == 0xe1 && length >= 2 + ExifHeader.size()
                && std::string_view(jpeg).substr(markerAt + 3, ExifHeader.size()) == ExifHeader;
        if (!isExif)
            out.append(jpeg, position, end - position);
        position = end;
    }
    if (!inserted)
        out += exif;
    out.append(jpeg, position);
    return out;
}

std::string gifBytes(int width, int height, const std::vector<Rgb> &frames, int screenWidth,
                     int screenHeight)
{
    checkSide(width, 0, "width");
    checkSide(height, 0, "height");
    if (screenWidth != -1)
        checkSide(screenWidth, 0, "screen width");
    if (screenHeight != -1)
        checkSide(screenHeight, 0, "screen height");
    if (frames.size() > 256)
        throw std::invalid_argument("a GIF colour table holds at most 256 frames' colours");

    std::string out("GIF89a");
    putLittle16(out, static_cast<unsigned>(screenWidth < 0 ? width : screenWidth));
    putLittle16(out, static_cast<unsigned>(screenHeight < 0 ? height : screenHeight));
    putByte(out, 0xf7); // global colour table of 256 entries
    putByte(out, 0);
    putByte(out, 0);
    for (std::size_t entry = 0; entry < 256; ++entry) {
        const Rgb colour = entry < frames.size() ? frames[entry] : black;
        putByte(out, colour.red);
        putByte(out, colour.green);
        putByte(out, colour.blue);
    }
    for (std::size_t frame = 0; frame < frames.size(); ++frame) {
        // Graphic control: a tenth of a second each, so it is animated.
        out.append(std::string_view("\x21\xf9\x04\x00\x0a\x00\x00\x00", 8));
        putByte(out, 0x2c);
        putLittle16(out, 0);
        putLittle16(out, 0);
        putLittle16(out, static_cast<unsigned>(width));
        putLittle16(out, static_cast<unsigned>(height));
        putByte(out, 0);
        putRepeatedIndex(out, static_cast<std::uint8_t>(frame),
                         static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height));
    }
    putByte(out, 0x3b);
    return out;
}

void writeFile(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

} // namespace testsupport
