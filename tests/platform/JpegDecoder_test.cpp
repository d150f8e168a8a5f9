// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Picture.h"
#include "platform/RuntimeError.h"
#include "platform/Testing.h"
#include "platform/detail/AreaScaler.h"
#include "platform/detail/JpegDecoder.h"
#include "platform/detail/PictureData.h"

#include "tests/support/TestPictures.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTransform>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

using namespace platform;
using testsupport::TempFolder;

namespace {

const QImage &pixels(const Picture &picture)
{
    return detail::PictureData::of(picture)->image;
}

// Four quadrants of clearly different colours: any mirror or turn moves
// them somewhere else.
QImage quadrants(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height / 2, Qt::red);
    painter.fillRect(width / 2, 0, width - width / 2, height / 2, Qt::green);
    painter.fillRect(0, height / 2, width / 2, height - height / 2, Qt::blue);
    painter.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, Qt::yellow);
    return image;
}

enum class Kind { Rgb, Grey, Cmyk, Progressive };

// libjpeg-turbo's encoder, for the kinds Qt does not write: CMYK stored
// inverted as Adobe's programs do.
QByteArray encode(const QImage &source, Kind kind)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    jpeg_compress_struct info = {};
    jpeg_error_mgr errors = {};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(image.width());
    info.image_height = static_cast<JDIMENSION>(image.height());
    switch (kind) {
    case Kind::Grey:
        info.input_components = 1;
        info.in_color_space = JCS_GRAYSCALE;
        break;
    case Kind::Cmyk:
        info.input_components = 4;
        info.in_color_space = JCS_CMYK;
        break;
    default:
        info.input_components = 3;
        info.in_color_space = JCS_RGB;
        break;
    }
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    if (kind == Kind::Progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(static_cast<std::size_t>(image.width()) * 4);
    while (info.next_scanline < info.image_height) {
        const auto *in = reinterpret_cast<const QRgb *>(
                image.constScanLine(static_cast<int>(info.next_scanline)));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = in[x];
            unsigned char *out = &row[static_cast<std::size_t>(x) * info.input_components];
            if (kind == Kind::Grey) {
                out[0] = static_cast<unsigned char>(qGray(pixel));
            } else if (kind == Kind::Cmyk) {
                // Inverted CMYK with no black: the inks are the RGB values.
                out[0] = static_cast<unsigned char>(qRed(pixel));
                out[1] = static_cast<unsigned char>(qGreen(pixel));
                out[2] = static_cast<unsigned char>(qBlue(pixel));
                out[3] = 255;
            } else {
                out[0] = static_cast<unsigned char>(qRed(pixel));
                out[1] = static_cast<unsigned char>(qGreen(pixel));
                out[2] = static_cast<unsigned char>(qBlue(pixel));
            }
        }
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char *>(buffer), static_cast<qsizetype>(size));
    std::free(buffer);
    return bytes;
}

bool near(QColor actual, QColor expected, int tolerance = 24)
{
    return std::abs(actual.red() - expected.red()) <= tolerance
            && std::abs(actual.green() - expected.green()) <= tolerance
            && std::abs(actual.blue() - expected.blue()) <= tolerance;
}

// The colour at the centre of each quadrant, reading order.
std::vector<QColor> quadrantColours(const QImage &image)
{
    const int w = image.width();
    const int h = image.height();
    return { image.pixelColor(w / 4, h / 4), image.pixelColor(3 * w / 4, h / 4),
             image.pixelColor(w / 4, 3 * h / 4), image.pixelColor(3 * w / 4, 3 * h / 4) };
}

TEST(JpegDecoder, TurnsEveryOrientationUprightAsQtsReaderDoes)
{
    TempFolder folder;
    const QByteArray plain = testsupport::jpegBytes(8, 8); // only to check withOrientation works
    ASSERT_FALSE(plain.isEmpty());
    QByteArray base;
    {
        QBuffer buffer(&base);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(quadrants(96, 48).save(&buffer, "JPEG", 95));
    }
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const QByteArray bytes = testsupport::withOrientation(base, orientation);
        QBuffer buffer;
        buffer.setData(bytes);
        QImageReader reader(&buffer);
        reader.setAutoTransform(true);
        const QImage expected = reader.read();
        ASSERT_FALSE(expected.isNull());

        const Picture picture
                = LoadPicture(folder.write(QStringLiteral("o%1.jpg").arg(orientation), bytes));
        ASSERT_EQ(pixels(picture).size(), expected.size());
        const auto ours = quadrantColours(pixels(picture));
        const auto theirs = quadrantColours(expected);
        for (std::size_t q = 0; q < 4; ++q)
            EXPECT_TRUE(near(ours[q], theirs[q])) << "quadrant " << q;
    }
}

TEST(JpegDecoder, ReadsEveryColourKindAndProgressiveScans)
{
    TempFolder folder;
    const QImage source = quadrants(64, 64);
    const struct
    {
        Kind kind;
        const char *name;
        std::vector<QColor> expected;
    } rows[] = {
        { Kind::Rgb, "rgb", { Qt::red, Qt::green, Qt::blue, Qt::yellow } },
        { Kind::Progressive, "progressive", { Qt::red, Qt::green, Qt::blue, Qt::yellow } },
        { Kind::Cmyk, "cmyk", { Qt::red, Qt::green, Qt::blue, Qt::yellow } },
        { Kind::Grey,
          "grey",
          { QColor(qGray(QColor(Qt::red).rgb()), qGray(QColor(Qt::red).rgb()),
                   qGray(QColor(Qt::red).rgb())),
            QColor(qGray(QColor(Qt::green).rgb()), qGray(QColor(Qt::green).rgb()),
                   qGray(QColor(Qt::green).rgb())),
            QColor(qGray(QColor(Qt::blue).rgb()), qGray(QColor(Qt::blue).rgb()),
                   qGray(QColor(Qt::blue).rgb())),
            QColor(qGray(QColor(Qt::yellow).rgb()), qGray(QColor(Qt::yellow).rgb()),
                   qGray(QColor(Qt::yellow).rgb())) } },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const Picture picture = LoadPicture(folder.write(
                QString::fromLatin1(row.name) + QStringLiteral(".jpg"), encode(source, row.kind)));
        ASSERT_EQ(pixels(picture).size(), QSize(64, 64));
        const auto colours = quadrantColours(pixels(picture));
        for (std::size_t q = 0; q < 4; ++q)
            EXPECT_TRUE(near(colours[q], row.expected[q]))
                    << "quadrant " << q << " is " << qPrintable(colours[q].name());
    }
}

// Shrunk while decoding and then averaged: the exact target size, and the
// colours where they were, for every kind and for a picture stored sideways.
TEST(JpegDecoder, ShrinksLargePicturesToTheScreenKeepingTheirColours)
{
    const platform::testing::ScreenOverride screen(15360, 11520); // 1024 by 768
    TempFolder folder;
    const QImage source = quadrants(4000, 3000);
    for (Kind kind : { Kind::Rgb, Kind::Progressive, Kind::Cmyk }) {
        const Picture picture
                = LoadPicture(folder.write(QStringLiteral("big.jpg"), encode(source, kind)));
        EXPECT_EQ(picture.width(), 4000 * HimetricPerPixel);
        ASSERT_EQ(pixels(picture).size(), QSize(1024, 768));
        const auto colours = quadrantColours(pixels(picture));
        const QColor expected[] = { Qt::red, Qt::green, Qt::blue, Qt::yellow };
        for (std::size_t q = 0; q < 4; ++q)
            EXPECT_TRUE(near(colours[q], expected[q])) << static_cast<int>(kind) << " " << q;
    }
    // Turned a quarter by its EXIF orientation: 3000 by 4000 upright, each
    // upright side held to the screen's matching side.
    QByteArray stored;
    {
        QBuffer buffer(&stored);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(source.save(&buffer, "JPEG", 90));
    }
    const Picture turned = LoadPicture(
            folder.write(QStringLiteral("turned.jpg"), testsupport::withOrientation(stored, 6)));
    EXPECT_EQ(turned.width(), 3000 * HimetricPerPixel);
    EXPECT_EQ(turned.height(), 4000 * HimetricPerPixel);
    EXPECT_EQ(pixels(turned).size(), QSize(1024, 768));
    // A quarter turn clockwise brings the bottom-left (blue) to the top left.
    EXPECT_TRUE(near(quadrantColours(pixels(turned))[0], Qt::blue));
}

TEST(JpegDecoder, ATruncatedFileShowsWhatItHolds)
{
    TempFolder folder;
    // Red with a fine texture, so that the scan, not the tables, makes up
    // most of the file.
    QImage image(256, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            image.setPixel(x, y, qRgb(200 + (x * 7 + y * 13) % 56, (x * y) % 40, (x ^ y) % 40));
    const QByteArray whole = encode(image, Kind::Rgb);
    const Picture picture
            = LoadPicture(folder.write(QStringLiteral("cut.jpg"), whole.left(whole.size() / 2)));
    ASSERT_EQ(pixels(picture).size(), QSize(256, 256));
    EXPECT_GT(pixels(picture).pixelColor(128, 4).red(), 180);
    // Past the end of the data the rows are grey, as libjpeg fills them.
    const QColor last = pixels(picture).pixelColor(128, 252);
    EXPECT_EQ(last, QColor(128, 128, 128)) << qPrintable(last.name());
}

// Claimed sizes cost only what the data holds: a header can claim 65500 by
// 65500 over a few hundred bytes. The rows past the data are grey, drawn
// without decoding them; a progressive one would need gigabytes of
// coefficients and is refused before any is allocated.
TEST(JpegDecoder, AClaimBeyondTheDataIsShownAsFarAsTheDataGoes)
{
    TempFolder folder;
    const platform::testing::ScreenOverride screen(15360, 11520);
    auto claiming = [](QByteArray jpeg, const char *frameMarker) {
        const qsizetype frame = jpeg.indexOf(frameMarker);
        EXPECT_GT(frame, 0);
        for (int at : { 5, 6, 7, 8 }) // height, then width, big-endian
            jpeg[frame + at] = static_cast<char>(at % 2 ? 0xff : 0xdc);
        return jpeg;
    };
    QImage red(64, 64, QImage::Format_RGB32);
    red.fill(Qt::red);
    const Picture picture = LoadPicture(folder.write(QStringLiteral("claims.jpg"),
                                                     claiming(encode(red, Kind::Rgb), "\xff\xc0")));
    EXPECT_EQ(picture.width(), 65500 * HimetricPerPixel);
    ASSERT_EQ(pixels(picture).size(), QSize(1024, 768));
    EXPECT_EQ(pixels(picture).pixelColor(1023, 767), QColor(128, 128, 128));
    EXPECT_EQ(pixels(picture).pixelColor(512, 384), QColor(128, 128, 128));

    const std::string progressive
            = folder.write(QStringLiteral("progressive claims.jpg"),
                           claiming(encode(red, Kind::Progressive), "\xff\xc2"));
    try {
        LoadPicture(progressive);
        ADD_FAILURE() << "a progressive picture of 65500 by 65500 loaded";
    } catch (const RuntimeError &error) {
        EXPECT_EQ(error.number(), ErrorNumber::InvalidPicture);
    }
}

TEST(JpegDecoder, ALargeTruncatedFileIsGreyBelowWhereItEnds)
{
    TempFolder folder;
    const platform::testing::ScreenOverride screen(15360, 11520);
    QImage image(2048, 1536, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(200 + (x * 7 + y * 13) % 56, (x * y) % 40, (x ^ y) % 40));
    const QByteArray whole = encode(image, Kind::Rgb);
    const Picture picture
            = LoadPicture(folder.write(QStringLiteral("cut.jpg"), whole.left(whole.size() / 2)));
    ASSERT_EQ(pixels(picture).size(), QSize(1024, 768));
    EXPECT_GT(pixels(picture).pixelColor(512, 10).red(), 180);
    EXPECT_EQ(pixels(picture).pixelColor(512, 760), QColor(128, 128, 128));
}

TEST(JpegDecoder, DamagedDataIsRefusedOrShownButNeverEndsTheProgram)
{
    TempFolder folder;
    const QByteArray whole = encode(quadrants(128, 128), Kind::Rgb);
    // A bad marker in the frame header is an error libjpeg cannot go past;
    // noise in the scan data only spoils pixels.
    QByteArray badHeader = whole;
    const qsizetype frame = badHeader.indexOf("\xff\xc0");
    ASSERT_GT(frame, 0);
    badHeader[frame + 9] = 7; // seven components
    QByteArray noisyScan = whole;
    for (qsizetype at = whole.size() / 2; at < whole.size() - 10; at += 97)
        noisyScan[at] = static_cast<char>(0x5a);

    try {
        LoadPicture(folder.write(QStringLiteral("header.jpg"), badHeader));
        ADD_FAILURE() << "a frame of seven components loaded";
    } catch (const RuntimeError &error) {
        EXPECT_EQ(error.number(), ErrorNumber::InvalidPicture);
    }
    const Picture noisy = LoadPicture(folder.write(QStringLiteral("noisy.jpg"), noisyScan));
    EXPECT_EQ(pixels(noisy).size(), QSize(128, 128));
}

TEST(ExifOrientation, ReadsBothByteOrdersAndIgnoresWhatIsBroken)
{
    auto segment = [](bool big, int tag, int type, int value, int entries = 1, int offset = 8) {
        std::vector<unsigned char> d = { 'E', 'x', 'i', 'f', 0, 0 };
        auto put16 = [&](int v) {
            if (big) {
                d.push_back(static_cast<unsigned char>(v >> 8));
                d.push_back(static_cast<unsigned char>(v));
            } else {
                d.push_back(static_cast<unsigned char>(v));
                d.push_back(static_cast<unsigned char>(v >> 8));
            }
        };
        auto put32 = [&](int v) {
            if (big) {
                put16(v >> 16);
                put16(v & 0xffff);
            } else {
                put16(v & 0xffff);
                put16(v >> 16);
            }
        };
        d.push_back(big ? 'M' : 'I');
        d.push_back(big ? 'M' : 'I');
        put16(42);
        put32(offset);
        put16(entries);
        put16(0x010f); // Make, before the orientation
        put16(2);
        put32(1);
        put32(0);
        put16(tag);
        put16(type);
        put32(1);
        put16(value);
        put16(0);
        return d;
    };
    const struct
    {
        const char *what;
        std::vector<unsigned char> data;
        int expected;
    } rows[] = {
        { "big-endian 6", segment(true, 0x0112, 3, 6, 2), 6 },
        { "little-endian 8", segment(false, 0x0112, 3, 8, 2), 8 },
        { "little-endian 3", segment(false, 0x0112, 3, 3, 2), 3 },
        { "no orientation tag", segment(false, 0x0110, 3, 6, 2), 1 },
        { "not a SHORT", segment(true, 0x0112, 4, 6, 2), 1 },
        { "out of range", segment(true, 0x0112, 3, 9, 2), 1 },
        { "entry count past the end", segment(true, 0x0110, 3, 6, 900), 1 },
        { "IFD offset past the end", segment(true, 0x0112, 3, 6, 2, 5000), 1 },
        { "not Exif", { 'J', 'F', 'I', 'F', 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8 }, 1 },
        { "empty", {}, 1 },
    };
    for (const auto &row : rows)
        EXPECT_EQ(detail::exifOrientation(row.data.data(), row.data.size()), row.expected)
                << row.what;
}

TEST(AreaScaler, AveragesTheAreaEachTargetPixelCovers)
{
    // One row of grey levels (all four bytes alike) shrunk to fewer pixels.
    const struct
    {
        std::vector<int> source;
        std::vector<int> expected;
    } rows[] = {
        { { 0, 200 }, { 100 } },
        { { 30, 60, 90 }, { 40, 80 } }, // 30 + 60/2, 60/2 + 90, over 1.5
        { { 10, 10, 10, 10, 10 }, { 10, 10, 10 } },
        { { 255, 255, 255, 255, 255, 255, 255 }, { 255, 255 } },
        { { 0, 0, 0, 255 }, { 0, 128 } },
        { { 5, 7 }, { 5, 7 } },
    };
    for (const auto &row : rows) {
        const int width = static_cast<int>(row.source.size());
        const int target = static_cast<int>(row.expected.size());
        // Two identical rows shrunk to one: the vertical pass averages too.
        QImage source(width, 2, QImage::Format_RGB32);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < width; ++x) {
                const auto v = static_cast<std::uint32_t>(row.source[static_cast<std::size_t>(x)]);
                source.setPixel(x, y, (0xffu << 24) | (v << 16) | (v << 8) | v);
            }
        const QImage result = detail::shrink(source, QSize(target, 1));
        ASSERT_EQ(result.size(), QSize(target, 1));
        for (int x = 0; x < target; ++x)
            EXPECT_NEAR(qRed(result.pixel(x, 0)), row.expected[static_cast<std::size_t>(x)], 1)
                    << "width " << width << " pixel " << x;
        // The same down a column.
        const QImage column
                = detail::shrink(source.transformed(QTransform().rotate(90)), QSize(1, target));
        ASSERT_EQ(column.size(), QSize(1, target));
        for (int y = 0; y < target; ++y)
            EXPECT_NEAR(qRed(column.pixel(0, y)), row.expected[static_cast<std::size_t>(y)], 1)
                    << "height " << width << " pixel " << y;
    }
    // A tall stripe pattern: odd rows black, even rows white, halved.
    QImage stripes(3, 6, QImage::Format_RGB32);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 3; ++x)
            stripes.setPixel(x, y, y % 2 ? 0xff000000u : 0xffffffffu);
    const QImage halved = detail::shrink(stripes, QSize(3, 3));
    for (int y = 0; y < 3; ++y)
        EXPECT_NEAR(qGreen(halved.pixel(1, y)), 128, 1) << y;
}

} // namespace
