// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "tests/support/PictureBytes.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QImageReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

#include <jpeglib.h>

using namespace testsupport;

namespace {

// What libjpeg-turbo makes of the bytes: the frame, the tables, the APP1
// segments and the pixels (RGB, or one grey byte each).
struct Decoded
{
    int width = 0;
    int height = 0;
    int components = 0;
    int outComponents = 0;
    bool baseline = false;
    bool jfif = false;
    J_COLOR_SPACE colourSpace = JCS_UNKNOWN;
    std::array<int, 3> horizontalSampling{};
    std::array<int, 3> verticalSampling{};
    std::array<std::array<unsigned, 64>, 2> quantisation{}; // row-major
    std::array<std::vector<unsigned>, 4> huffman; // DC 0, AC 0, DC 1, AC 1: counts, then symbols
    std::vector<std::string> app1;
    std::vector<std::uint8_t> pixels;
    std::string complaint; // libjpeg's last error or warning

    const std::uint8_t *at(int x, int y) const
    {
        return &pixels[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width)
                        + static_cast<std::size_t>(x))
                       * static_cast<std::size_t>(outComponents)];
    }
};

struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void errorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(info->err)->jump, 1);
}

std::vector<unsigned> huffmanTable(const JHUFF_TBL *table)
{
    if (!table)
        return {};
    std::vector<unsigned> flat(table->bits + 1, table->bits + 17);
    unsigned symbols = 0;
    for (unsigned count : flat)
        symbols += count;
    flat.insert(flat.end(), table->huffval, table->huffval + symbols);
    return flat;
}

struct Frame
{
    unsigned marker = 0; // SOFn
    unsigned width = 0;
    unsigned height = 0;
};

// The frame header, found by walking the segments; libjpeg 6.2's interface
// does not say whether the frame was baseline.
Frame frameOf(const std::string &bytes)
{
    const auto byte
            = [&](std::size_t at) -> unsigned { return static_cast<unsigned char>(bytes[at]); };
    std::size_t at = 2;
    while (at + 9 <= bytes.size() && byte(at) == 0xff) {
        const unsigned marker = byte(at + 1);
        if (marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc)
            return { marker, byte(at + 7) << 8 | byte(at + 8), byte(at + 5) << 8 | byte(at + 6) };
        at += 2 + (byte(at + 2) << 8 | byte(at + 3));
    }
    return {};
}

// JFIF wants its APP0 straight after the start of the image; libjpeg
// finds it anywhere, stricter readers do not.
bool jfifFirst(const std::string &bytes)
{
    return bytes.size() > 11 && bytes.compare(2, 2, "\xff\xe0") == 0
            && bytes.compare(6, 5, std::string("JFIF\0", 5)) == 0;
}

// Only C objects live inside the setjmp scope, so a longjmp out of libjpeg
// skips no destructor; the results go to the caller's object.
bool decodeInto(const std::string &bytes, J_COLOR_SPACE out, Decoded &result)
{
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = errorExit;
    if (setjmp(errors.jump)) {
        char message[JMSG_LENGTH_MAX];
        errors.base.format_message(reinterpret_cast<j_common_ptr>(&info), message);
        result.complaint = message;
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_save_markers(&info, JPEG_APP0 + 1, 0xffff);
    jpeg_read_header(&info, TRUE);

    result.width = static_cast<int>(info.image_width);
    result.height = static_cast<int>(info.image_height);
    result.components = info.num_components;
    result.baseline = frameOf(bytes).marker == 0xc0 && !info.progressive_mode && !info.arith_code;
    result.jfif = info.saw_JFIF_marker;
    result.colourSpace = info.jpeg_color_space;
    for (int index = 0; index < std::min(info.num_components, 3); ++index) {
        result.horizontalSampling[static_cast<std::size_t>(index)]
                = info.comp_info[index].h_samp_factor;
        result.verticalSampling[static_cast<std::size_t>(index)]
                = info.comp_info[index].v_samp_factor;
    }
    for (std::size_t table = 0; table < 2; ++table) {
        if (info.quant_tbl_ptrs[table])
            std::copy(std::begin(info.quant_tbl_ptrs[table]->quantval),
                      std::end(info.quant_tbl_ptrs[table]->quantval),
                      result.quantisation[table].begin());
        result.huffman[2 * table] = huffmanTable(info.dc_huff_tbl_ptrs[table]);
        result.huffman[2 * table + 1] = huffmanTable(info.ac_huff_tbl_ptrs[table]);
    }
    for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next)
        if (marker->marker == JPEG_APP0 + 1)
            result.app1.emplace_back(reinterpret_cast<const char *>(marker->data),
                                     marker->data_length);

    info.out_color_space = out;
    jpeg_start_decompress(&info);
    result.outComponents = info.output_components;
    result.pixels.resize(static_cast<std::size_t>(info.output_width) * info.output_height
                         * static_cast<std::size_t>(info.output_components));
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = result.pixels.data()
                + static_cast<std::size_t>(info.output_scanline) * info.output_width
                        * static_cast<std::size_t>(info.output_components);
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    const bool clean = errors.base.num_warnings == 0;
    if (!clean) {
        char message[JMSG_LENGTH_MAX];
        errors.base.format_message(reinterpret_cast<j_common_ptr>(&info), message);
        result.complaint = message;
    }
    jpeg_destroy_decompress(&info);
    return clean;
}

Decoded decode(const std::string &bytes, J_COLOR_SPACE out = JCS_RGB)
{
    Decoded result;
    if (!decodeInto(bytes, out, result))
        throw std::runtime_error("libjpeg cannot decode the bytes cleanly: " + result.complaint);
    return result;
}

QImage readWithQt(const std::string &bytes, bool autoTransform = false)
{
    QByteArray data = QByteArray::fromStdString(bytes);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(autoTransform);
    return reader.read();
}

// The largest difference in any channel.
int distance(Rgb expected, const std::uint8_t *actual)
{
    return std::max({ std::abs(expected.red - actual[0]), std::abs(expected.green - actual[1]),
                      std::abs(expected.blue - actual[2]) });
}

int distance(Rgb expected, QColor actual)
{
    return std::max({ std::abs(expected.red - actual.red()),
                      std::abs(expected.green - actual.green()),
                      std::abs(expected.blue - actual.blue()) });
}

std::string describe(const std::uint8_t *pixel)
{
    return std::to_string(pixel[0]) + "," + std::to_string(pixel[1]) + ","
            + std::to_string(pixel[2]);
}

// The orientation an EXIF APP1 payload holds, read the way a camera
// reader would: byte order from the TIFF header, then IFD0's entries.
std::optional<unsigned> exifOrientation(const std::string &payload)
{
    if (payload.size() < 14 || payload.compare(0, 6, std::string("Exif\0\0", 6)) != 0)
        return std::nullopt;
    const std::string tiff = payload.substr(6);
    const bool big = tiff.compare(0, 2, "MM") == 0;
    if (!big && tiff.compare(0, 2, "II") != 0)
        return std::nullopt;
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(tiff.at(at)); };
    const auto read16 = [&](std::size_t at) {
        return big ? (byte(at) << 8 | byte(at + 1)) : (byte(at + 1) << 8 | byte(at));
    };
    const auto read32 = [&](std::size_t at) {
        const unsigned high = static_cast<unsigned>(read16(big ? at : at + 2));
        const unsigned low = static_cast<unsigned>(read16(big ? at + 2 : at));
        return high << 16 | low;
    };
    if (read16(2) != 42)
        return std::nullopt;
    const std::size_t ifd = read32(4);
    const auto entries = static_cast<std::size_t>(read16(ifd));
    for (std::size_t entry = 0; entry < entries; ++entry) {
        const std::size_t at = ifd + 2 + 12 * entry;
        if (read16(at) == 0x0112 && read16(at + 2) == 3 && read32(at + 4) == 1)
            return static_cast<unsigned>(read16(at + 8));
    }
    return std::nullopt;
}

std::vector<unsigned> orientationsOf(const Decoded &decoded)
{
    std::vector<unsigned> found;
    for (const std::string &payload : decoded.app1)
        if (const auto value = exifOrientation(payload))
            found.push_back(*value);
    return found;
}

const char *name(JpegColours colours)
{
    switch (colours) {
    case JpegColours::YCbCr420:
        return "4:2:0";
    case JpegColours::YCbCr444:
        return "4:4:4";
    case JpegColours::Grey:
        return "grey";
    }
    return "?";
}

// The centre of each half, halfway down: far enough from the seam that
// only the encoder's own error is left. A picture one pixel wide has no
// left half.
int leftSample(int width)
{
    return width / 4;
}
int rightSample(int width)
{
    return width / 2 + (width - width / 2) / 2;
}

TEST(PictureBytes, JpegHalvesDecodeToTheirColours)
{
    const struct
    {
        int width;
        int height;
        Rgb left;
        Rgb right;
        JpegColours colours;
        int quality;
        int tolerance;
    } rows[] = {
        { 64, 32, red, blue, JpegColours::YCbCr420, 90, 4 },
        { 64, 32, yellow, green, JpegColours::YCbCr444, 90, 4 },
        { 1, 1, green, red, JpegColours::YCbCr420, 90, 4 },
        { 1, 1, green, grey, JpegColours::YCbCr444, 90, 4 },
        { 2, 1, white, black, JpegColours::YCbCr420, 90, 4 },
        { 17, 9, green, white, JpegColours::YCbCr420, 90, 4 },
        { 17, 9, blue, yellow, JpegColours::YCbCr444, 90, 4 },
        { 4097, 3, black, yellow, JpegColours::YCbCr420, 90, 4 },
        { 4097, 3, grey, red, JpegColours::YCbCr444, 90, 4 },
        // libjpeg reads no side longer than 65500.
        { 65500, 2, red, green, JpegColours::YCbCr420, 90, 4 },
        { 40, 65500, blue, white, JpegColours::YCbCr420, 90, 4 },
        { 64, 64, red, blue, JpegColours::YCbCr420, 100, 3 },
        { 64, 64, yellow, grey, JpegColours::YCbCr444, 100, 2 },
        // The coarsest tables move even flat colours a long way.
        { 64, 64, red, blue, JpegColours::YCbCr420, 1, 24 },
        { 64, 64, white, black, JpegColours::YCbCr444, 1, 24 },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::to_string(row.width) + "x" + std::to_string(row.height) + " "
                     + name(row.colours) + " quality " + std::to_string(row.quality));
        JpegOptions options;
        options.colours = row.colours;
        options.quality = row.quality;
        const std::string bytes = jpegBytes(row.width, row.height, row.left, row.right, options);
        const Decoded decoded = decode(bytes);
        EXPECT_EQ(decoded.width, row.width);
        EXPECT_EQ(decoded.height, row.height);
        EXPECT_TRUE(decoded.baseline);
        EXPECT_TRUE(decoded.jfif);
        EXPECT_TRUE(decoded.app1.empty());
        EXPECT_EQ(decoded.components, 3);
        EXPECT_EQ(decoded.colourSpace, JCS_YCbCr);
        const int luma = row.colours == JpegColours::YCbCr420 ? 2 : 1;
        EXPECT_EQ(decoded.horizontalSampling, (std::array<int, 3>{ luma, 1, 1 }));
        EXPECT_EQ(decoded.verticalSampling, (std::array<int, 3>{ luma, 1, 1 }));

        const int y = row.height / 2;
        const int right = rightSample(row.width);
        EXPECT_LE(distance(row.right, decoded.at(right, y)), row.tolerance)
                << describe(decoded.at(right, y));
        if (row.width > 1) {
            const int left = leftSample(row.width);
            EXPECT_LE(distance(row.left, decoded.at(left, y)), row.tolerance)
                    << describe(decoded.at(left, y));
        }

        // Qt's reader agrees on the size and the colours.
        const QImage image = readWithQt(bytes);
        ASSERT_EQ(image.size(), QSize(row.width, row.height));
        EXPECT_LE(distance(row.right, image.pixelColor(right, y)), row.tolerance);
        if (row.width > 1) {
            EXPECT_LE(distance(row.left, image.pixelColor(leftSample(row.width), y)),
                      row.tolerance);
        }
    }
}

// Longer than libjpeg reads, so only the frame header and the shape of the
// file are checked.
TEST(PictureBytes, SidesUpTo65535AreWritten)
{
    const struct
    {
        int width;
        int height;
        JpegColours colours;
    } rows[] = {
        { 65535, 1, JpegColours::YCbCr420 },
        { 1, 65535, JpegColours::YCbCr444 },
        { 65535, 17, JpegColours::Grey },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::to_string(row.width) + "x" + std::to_string(row.height));
        JpegOptions options;
        options.colours = row.colours;
        const std::string bytes = jpegBytes(row.width, row.height, red, blue, options);
        const Frame frame = frameOf(bytes);
        EXPECT_EQ(frame.marker, 0xc0U);
        EXPECT_EQ(frame.width, static_cast<unsigned>(row.width));
        EXPECT_EQ(frame.height, static_cast<unsigned>(row.height));
        EXPECT_EQ(bytes.substr(bytes.size() - 2), "\xff\xd9");
    }
}

// The smallest scan there is, worked out from the standard's tables: a
// flat mid-grey block has a DC of 0 (code 00) and no AC (end of block,
// 1010), and the byte is filled out with ones; each chroma block of a
// colour picture adds a DC of 0 and an end of block, 00 and 00.
TEST(PictureBytes, AFlatMidGreyBlockIsTheShortestScan)
{
    const struct
    {
        JpegColours colours;
        std::string scan;
    } rows[] = {
        { JpegColours::Grey, "\x2b" }, // 001010 11
        { JpegColours::YCbCr444, "\x28\x03" }, // 001010 00|00 00 00 11
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(name(row.colours));
        JpegOptions options;
        options.colours = row.colours;
        const std::string bytes = jpegBytes(8, 8, grey, grey, options);
        ASSERT_GT(bytes.size(), row.scan.size() + 2);
        EXPECT_EQ(bytes.substr(bytes.size() - row.scan.size() - 2), row.scan + "\xff\xd9");
    }
}

TEST(PictureBytes, GreyJpegsHoldTheLumaOfEachHalf)
{
    // The luma is 0.299 red + 0.587 green + 0.114 blue.
    const struct
    {
        int width;
        int height;
        Rgb left;
        Rgb right;
        int leftLuma;
        int rightLuma;
        int quality;
    } rows[] = {
        { 1, 1, black, red, 0, 76, 90 },       { 17, 9, blue, yellow, 29, 226, 90 },
        { 64, 32, green, grey, 150, 128, 90 }, { 4097, 3, white, black, 255, 0, 90 },
        { 64, 32, red, blue, 76, 29, 100 },    { 64, 32, yellow, green, 226, 150, 1 },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::to_string(row.width) + "x" + std::to_string(row.height) + " quality "
                     + std::to_string(row.quality));
        JpegOptions options;
        options.colours = JpegColours::Grey;
        options.quality = row.quality;
        const std::string bytes = jpegBytes(row.width, row.height, row.left, row.right, options);
        const Decoded decoded = decode(bytes, JCS_GRAYSCALE);
        EXPECT_EQ(decoded.components, 1);
        EXPECT_EQ(decoded.colourSpace, JCS_GRAYSCALE);
        EXPECT_TRUE(decoded.baseline);
        ASSERT_EQ(decoded.width, row.width);
        ASSERT_EQ(decoded.height, row.height);
        const int tolerance = row.quality == 1 ? 24 : 2;
        const int y = row.height / 2;
        EXPECT_NEAR(*decoded.at(rightSample(row.width), y), row.rightLuma, tolerance);
        if (row.width > 1) {
            EXPECT_NEAR(*decoded.at(leftSample(row.width), y), row.leftLuma, tolerance);
        }

        const QImage image = readWithQt(bytes);
        EXPECT_EQ(image.format(), QImage::Format_Grayscale8);
        ASSERT_EQ(image.size(), QSize(row.width, row.height));
        EXPECT_NEAR(qGray(image.pixel(rightSample(row.width), y)), row.rightLuma, tolerance);
    }
}

// Four quadrants of clearly different colours: any mirror or turn moves
// them somewhere else.
Rgb quadrant(int x, int y, int width, int height)
{
    const bool right = x >= width / 2;
    const bool bottom = y >= height / 2;
    return bottom ? (right ? yellow : blue) : (right ? green : red);
}

// The colours at the centres of the quadrants, reading order.
std::array<QColor, 4> quadrantColours(const QImage &image)
{
    const int w = image.width();
    const int h = image.height();
    return { image.pixelColor(w / 4, h / 4), image.pixelColor(3 * w / 4, h / 4),
             image.pixelColor(w / 4, 3 * h / 4), image.pixelColor(3 * w / 4, 3 * h / 4) };
}

TEST(PictureBytes, EveryOrientationIsReadBack)
{
    // Stored red, green over blue, yellow; what each orientation shows
    // upright, reading order.
    const struct
    {
        int orientation;
        std::array<Rgb, 4> upright;
    } rows[] = {
        { 1, { red, green, blue, yellow } }, { 2, { green, red, yellow, blue } },
        { 3, { yellow, blue, green, red } }, { 4, { blue, yellow, red, green } },
        { 5, { red, blue, green, yellow } }, { 6, { blue, red, yellow, green } },
        { 7, { yellow, green, blue, red } }, { 8, { green, yellow, red, blue } },
    };
    constexpr int Width = 96;
    constexpr int Height = 48;
    for (const ExifOrder order : { ExifOrder::BigEndian, ExifOrder::LittleEndian }) {
        for (const auto &row : rows) {
            SCOPED_TRACE(std::string(order == ExifOrder::BigEndian ? "MM " : "II ")
                         + std::to_string(row.orientation));
            JpegOptions options;
            options.orientation = row.orientation;
            options.exifOrder = order;
            const std::string bytes = jpegBytes(
                    Width, Height, [](int x, int y) { return quadrant(x, y, Width, Height); },
                    options);

            const Decoded decoded = decode(bytes);
            EXPECT_TRUE(decoded.jfif);
            EXPECT_TRUE(jfifFirst(bytes));
            ASSERT_EQ(decoded.app1.size(), 1U);
            EXPECT_EQ(decoded.app1[0].substr(6, 2), order == ExifOrder::BigEndian ? "MM" : "II");
            EXPECT_EQ(orientationsOf(decoded),
                      std::vector<unsigned>{ static_cast<unsigned>(row.orientation) });

            const QImage upright = readWithQt(bytes, true);
            const bool quarterTurn = row.orientation >= 5;
            EXPECT_EQ(upright.size(), quarterTurn ? QSize(Height, Width) : QSize(Width, Height));
            const auto colours = quadrantColours(upright);
            for (std::size_t q = 0; q < 4; ++q)
                EXPECT_LE(distance(row.upright[q], colours[q]), 8) << "quadrant " << q;
        }
    }
}

std::string qtJpeg()
{
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::green);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPEG", 90))
        throw std::runtime_error("Qt cannot write a JPEG");
    return bytes.toStdString();
}

TEST(PictureBytes, WithOrientationLeavesOneExifSegmentWithTheNewValue)
{
    JpegOptions turned;
    turned.orientation = 6;
    turned.exifOrder = ExifOrder::LittleEndian;
    const std::string plain = jpegBytes(40, 20, red, blue);
    const std::string alreadyTurned = jpegBytes(40, 20, red, blue, turned);
    // No APP0 at all: the segment has to go straight after the start.
    const std::string bare = plain.substr(0, 2) + plain.substr(20);
    ASSERT_EQ(static_cast<unsigned char>(bare[3]), 0xdb);
    const struct
    {
        const char *name;
        std::string source;
        int orientation;
        ExifOrder order;
        bool jfif;
    } rows[] = {
        { "ours without EXIF", plain, 3, ExifOrder::BigEndian, true },
        { "ours turned, replaced", alreadyTurned, 8, ExifOrder::BigEndian, true },
        { "ours turned, same order", alreadyTurned, 1, ExifOrder::LittleEndian, true },
        { "Qt's", qtJpeg(), 5, ExifOrder::LittleEndian, true },
        { "no JFIF header", bare, 2, ExifOrder::BigEndian, false },
        // Values a reader must ignore are still written as asked.
        { "zero", plain, 0, ExifOrder::BigEndian, true },
        { "nine", plain, 9, ExifOrder::LittleEndian, true },
        { "largest", plain, 65535, ExifOrder::BigEndian, true },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const std::string bytes = withOrientation(row.source, row.orientation, row.order);
        const Decoded decoded = decode(bytes);
        EXPECT_EQ(decoded.jfif, row.jfif);
        EXPECT_EQ(jfifFirst(bytes), row.jfif);
        EXPECT_EQ(orientationsOf(decoded),
                  std::vector<unsigned>{ static_cast<unsigned>(row.orientation) });
        EXPECT_EQ(decoded.app1.size(), 1U);
        // The scan is untouched: the same pixels as before.
        EXPECT_EQ(decoded.pixels, decode(row.source).pixels);
    }

    const QImage upright = readWithQt(withOrientation(qtJpeg(), 8), true);
    EXPECT_EQ(upright.size(), QSize(20, 40));
    EXPECT_THROW(withOrientation("GIF89a", 1), std::invalid_argument);
    EXPECT_THROW(withOrientation("", 1), std::invalid_argument);
    EXPECT_THROW(withOrientation(plain, 65536), std::invalid_argument);
}

// libjpeg-turbo's own encoder at the same settings, the yardstick for
// ours.
std::string libjpegBytes(int width, int height, const PixelFunction &pixel,
                         const JpegOptions &options)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, options.quality, TRUE);
    if (options.colours == JpegColours::Grey)
        jpeg_set_colorspace(&info, JCS_GRAYSCALE);
    if (options.colours == JpegColours::YCbCr444) {
        info.comp_info[0].h_samp_factor = 1;
        info.comp_info[0].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    std::vector<std::uint8_t> line(static_cast<std::size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb colour = pixel(x, y);
            const auto at = static_cast<std::size_t>(x) * 3;
            line[at] = colour.red;
            line[at + 1] = colour.green;
            line[at + 2] = colour.blue;
        }
        JSAMPROW row = line.data();
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string bytes(reinterpret_cast<const char *>(buffer), size);
    std::free(buffer);
    return bytes;
}

struct Error
{
    int worst = 0;
    double mean = 0;
};

// How far the decoded picture is from the pixels it was made from; a grey
// picture is compared with the pixels' green, the patterns being grey.
Error errorOf(const std::string &bytes, const PixelFunction &pixel, int width, int height,
              bool grey)
{
    const Decoded decoded = decode(bytes, grey ? JCS_GRAYSCALE : JCS_RGB);
    if (decoded.width != width || decoded.height != height)
        throw std::runtime_error("decoded at the wrong size");
    Error error;
    double total = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb expected = pixel(x, y);
            const int difference = grey ? std::abs(expected.green - *decoded.at(x, y))
                                        : distance(expected, decoded.at(x, y));
            error.worst = std::max(error.worst, difference);
            total += difference;
        }
    }
    error.mean = total / (width * height);
    return error;
}

// Patterns with detail in every frequency, decoded and compared pixel by
// pixel with what they were made from: a coefficient in the wrong place, a
// bad code or a mis-scaled divisor shows up as an error well beyond what
// libjpeg's own encoder makes of the same pattern at the same settings.
TEST(PictureBytes, PatternsComeBackAsCloseAsLibjpegsOwn)
{
    const auto gradient = [](int x, int y) {
        return Rgb{ static_cast<std::uint8_t>(x * 255 / 99),
                    static_cast<std::uint8_t>(y * 255 / 69),
                    static_cast<std::uint8_t>((x + y) * 255 / 168) };
    };
    const auto checkerboard = [](int x, int y) { return (x + y) % 2 ? white : black; };
    const auto noise = [](int x, int y) {
        unsigned state
                = static_cast<unsigned>(x) * 73856093U ^ static_cast<unsigned>(y) * 19349663U;
        state = state * 1103515245U + 12345U;
        const auto value = static_cast<std::uint8_t>(state >> 16);
        return Rgb{ value, value, value };
    };
    // Edges that fall inside blocks, in both directions.
    const auto stripes = [](int x, int y) {
        return (x + y / 3) % 12 < 6 ? Rgb{ 30, 60, 200 } : Rgb{ 220, 180, 40 };
    };
    const struct
    {
        const char *name;
        PixelFunction pixel;
        JpegColours colours;
        int quality;
    } rows[] = {
        { "gradient", gradient, JpegColours::YCbCr444, 100 },
        { "gradient", gradient, JpegColours::YCbCr420, 90 },
        { "checkerboard", checkerboard, JpegColours::YCbCr444, 100 },
        { "checkerboard", checkerboard, JpegColours::Grey, 100 },
        { "checkerboard", checkerboard, JpegColours::Grey, 75 },
        { "noise", noise, JpegColours::Grey, 100 },
        { "noise", noise, JpegColours::YCbCr444, 100 },
        { "noise", noise, JpegColours::YCbCr420, 50 },
        { "stripes", stripes, JpegColours::YCbCr444, 90 },
        { "stripes", stripes, JpegColours::YCbCr420, 50 },
        { "stripes", stripes, JpegColours::YCbCr444, 10 },
    };
    constexpr int Width = 100;
    constexpr int Height = 70;
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.name) + " " + name(row.colours) + " quality "
                     + std::to_string(row.quality));
        JpegOptions options;
        options.colours = row.colours;
        options.quality = row.quality;
        const bool grey = row.colours == JpegColours::Grey;
        const Error ours = errorOf(jpegBytes(Width, Height, row.pixel, options), row.pixel, Width,
                                   Height, grey);
        const Error theirs = errorOf(libjpegBytes(Width, Height, row.pixel, options), row.pixel,
                                     Width, Height, grey);
        EXPECT_LE(ours.worst, theirs.worst + 2);
        EXPECT_LE(ours.mean, theirs.mean * 1.1 + 0.1) << "libjpeg's mean error " << theirs.mean;
    }
}

TEST(PictureBytes, TablesAreLibjpegsStandardOnesForTheQuality)
{
    for (int quality : { 1, 10, 25, 50, 75, 90, 99, 100 }) {
        SCOPED_TRACE(quality);
        jpeg_compress_struct reference{};
        jpeg_error_mgr errors{};
        reference.err = jpeg_std_error(&errors);
        jpeg_create_compress(&reference);
        reference.in_color_space = JCS_RGB;
        reference.input_components = 3;
        jpeg_set_defaults(&reference);
        jpeg_set_quality(&reference, quality, TRUE);

        JpegOptions options;
        options.quality = quality;
        const Decoded decoded = decode(jpegBytes(16, 16, red, blue, options));
        for (std::size_t table = 0; table < 2; ++table) {
            const auto &expected = reference.quant_tbl_ptrs[table]->quantval;
            EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected),
                                   decoded.quantisation[table].begin()))
                    << "quantisation table " << table;
            EXPECT_EQ(decoded.huffman[2 * table], huffmanTable(reference.dc_huff_tbl_ptrs[table]))
                    << "DC table " << table;
            EXPECT_EQ(decoded.huffman[2 * table + 1],
                      huffmanTable(reference.ac_huff_tbl_ptrs[table]))
                    << "AC table " << table;
        }
        jpeg_destroy_compress(&reference);
    }
}

TEST(PictureBytes, LowerQualityMakesSmallerFiles)
{
    const auto pattern = [](int x, int y) {
        return Rgb{ static_cast<std::uint8_t>(x * 7 + y), static_cast<std::uint8_t>(x ^ y),
                    static_cast<std::uint8_t>(y * 3) };
    };
    std::size_t previous = 0;
    for (int quality : { 1, 25, 50, 75, 90, 100 }) {
        JpegOptions options;
        options.quality = quality;
        const std::size_t size = jpegBytes(128, 128, pattern, options).size();
        EXPECT_GT(size, previous) << "quality " << quality;
        previous = size;
    }
}

TEST(PictureBytes, GifsShowEachFrameOnTheirLogicalScreen)
{
    const struct
    {
        int width;
        int height;
        std::vector<Rgb> frames;
        int screenWidth;
        int screenHeight;
    } rows[] = {
        { 20, 20, { green }, -1, -1 },   { 40, 30, { red, green, blue }, -1, -1 },
        { 8, 4, { yellow }, 16, 12 },    { 300, 200, { white, black }, -1, -1 },
        { 40000, 1, { green }, -1, -1 }, { 1, 1, { grey }, 1, 1 },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::to_string(row.width) + "x" + std::to_string(row.height) + " on "
                     + std::to_string(row.screenWidth) + "x" + std::to_string(row.screenHeight));
        const std::string bytes
                = gifBytes(row.width, row.height, row.frames, row.screenWidth, row.screenHeight);
        const QSize screen(row.screenWidth < 0 ? row.width : row.screenWidth,
                           row.screenHeight < 0 ? row.height : row.screenHeight);
        ASSERT_GE(bytes.size(), 10U);
        EXPECT_EQ(bytes.substr(0, 6), "GIF89a");
        const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(bytes[at]); };
        EXPECT_EQ(byte(6) | byte(7) << 8, screen.width());
        EXPECT_EQ(byte(8) | byte(9) << 8, screen.height());

        QByteArray data = QByteArray::fromStdString(bytes);
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "gif");
        EXPECT_EQ(reader.size(), screen);
        EXPECT_EQ(reader.imageCount(), static_cast<int>(row.frames.size()));
        for (std::size_t frame = 0; frame < row.frames.size(); ++frame) {
            SCOPED_TRACE(frame);
            const QImage image = reader.read();
            ASSERT_EQ(image.size(), screen) << qPrintable(reader.errorString());
            EXPECT_EQ(distance(row.frames[frame], image.pixelColor(0, 0)), 0);
            EXPECT_EQ(distance(row.frames[frame], image.pixelColor(row.width - 1, row.height - 1)),
                      0);
            EXPECT_EQ(reader.nextImageDelay(), 100);
        }
    }
}

TEST(PictureBytes, RefusesWhatCannotBeWritten)
{
    JpegOptions badQuality;
    badQuality.quality = 0;
    JpegOptions tooGood;
    tooGood.quality = 101;
    const struct
    {
        const char *name;
        std::function<void()> make;
    } rows[] = {
        { "JPEG without width", [] { jpegBytes(0, 1); } },
        { "JPEG without height", [] { jpegBytes(1, 0); } },
        { "JPEG too wide", [] { jpegBytes(65536, 1); } },
        { "quality 0", [&] { jpegBytes(8, 8, red, blue, badQuality); } },
        { "quality 101", [&] { jpegBytes(8, 8, red, blue, tooGood); } },
        { "negative orientation", [] { jpegBytes(8, 8, red, blue, -1); } },
        { "no pixel function", [] { jpegBytes(8, 8, PixelFunction()); } },
        { "GIF negative width", [] { gifBytes(-1, 1); } },
        { "GIF too tall", [] { gifBytes(1, 65536); } },
        { "GIF screen too wide", [] { gifBytes(1, 1, { green }, 65536, 1); } },
        { "GIF with 257 frames", [] { gifBytes(1, 1, std::vector<Rgb>(257, green)); } },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_THROW(row.make(), std::invalid_argument);
    }
}

TEST(PictureBytes, WriteFileWritesEveryByteOrThrows)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path()
            / ("pelorin-picture-bytes-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "both.jpg").string();
    const std::string bytes = std::string("\xff\xd8\0\x1a\n\r", 6) + jpegBytes(9, 9);
    writeFile(path, bytes);
    writeFile(path, bytes); // over an existing file, not after it
    std::ifstream in(path, std::ios::binary);
    std::string back(static_cast<std::size_t>(std::filesystem::file_size(path)), '\0');
    in.read(back.data(), static_cast<std::streamsize>(back.size()));
    EXPECT_EQ(back, bytes);
    EXPECT_THROW(writeFile((folder / "missing" / "x.jpg").string(), bytes), std::runtime_error);
    std::filesystem::remove_all(folder);
}

} // namespace
