// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Picture.h"
#include "platform/RuntimeError.h"
#include "platform/Testing.h"
#include "platform/detail/PictureData.h"
#include "platform/detail/PictureDecoder.h"
#include "platform/detail/PictureFile.h"
#include "platform/qt/JpegDecoder.h"

#include "tests/support/TestPictures.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>

using namespace platform;
using testsupport::TempFolder;

namespace {

// Decoded pixels are 0xAARRGGBB words, as Qt's 32-bit formats hold them.
QImage imageOf(const detail::Bitmap &bitmap)
{
    if (bitmap.empty())
        return {};
    return QImage(reinterpret_cast<const uchar *>(bitmap.data()), bitmap.width(), bitmap.height(),
                  bitmap.width() * 4,
                  bitmap.hasAlpha() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32)
            .copy();
}

QImage pixels(const Picture &picture)
{
    return imageOf(detail::PictureData::of(picture)->image);
}

std::string bytesOf(const QByteArray &bytes)
{
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QByteArray saved(const QImage &image, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPEG", quality))
        ADD_FAILURE() << "Qt did not write the JPEG";
    return bytes;
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

// The shared decode (the back end's decoder, then the EXIF orientation
// read from the file and undone) shows each picture as Qt's own reader does.
TEST(JpegDecoder, TurnsEveryOrientationUprightAsQtsReaderDoes)
{
    TempFolder folder;
    const std::string base = bytesOf(saved(quadrants(96, 48), 95));
    const detail::PixelSize screen{ 1024, 768 };
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        for (const auto order :
             { testsupport::ExifOrder::BigEndian, testsupport::ExifOrder::LittleEndian }) {
            const std::string bytes = testsupport::withOrientation(base, orientation, order);
            QBuffer buffer;
            buffer.setData(bytes.data(), static_cast<qsizetype>(bytes.size()));
            QImageReader reader(&buffer);
            reader.setAutoTransform(true);
            const QImage expected = reader.read();
            ASSERT_FALSE(expected.isNull());

            const detail::PictureFile file(
                    folder.write("o" + std::to_string(orientation) + ".jpg", bytes));
            const std::shared_ptr<detail::PictureData> decoded
                    = detail::decodePicture(file, screen);
            ASSERT_TRUE(decoded);
            const QImage ours = imageOf(decoded->image);
            ASSERT_EQ(ours.size(), expected.size());
            EXPECT_EQ(decoded->size, (detail::PixelSize{ expected.width(), expected.height() }));
            const auto mine = quadrantColours(ours);
            const auto theirs = quadrantColours(expected);
            for (std::size_t q = 0; q < 4; ++q)
                EXPECT_TRUE(near(mine[q], theirs[q])) << "quadrant " << q;
        }
    }
}

// Qt's libjpeg decoder leaves the turning to the shared core: whatever the
// EXIF orientation says, it hands back the picture as stored, sized for the
// screen as the picture will stand once turned.
TEST(JpegDecoder, ReturnsThePictureAsStored)
{
    TempFolder folder;
    const std::string turned
            = testsupport::withOrientation(bytesOf(encode(quadrants(96, 48), Kind::Rgb)), 6);
    const detail::PictureFile file(folder.write("turned.jpg", turned));
    ASSERT_EQ(file.status(), detail::PictureFile::Status::Open);
    const auto descriptor = static_cast<int>(file.handle());

    const std::optional<backend::DecodedPicture> whole
            = qt::decodeJpeg(descriptor, { 1024, 768 }, true);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->stored, (detail::PixelSize{ 96, 48 }));
    const QImage image = imageOf(whole->image);
    ASSERT_EQ(image.size(), QSize(96, 48));
    const auto colours = quadrantColours(image);
    const QColor expected[] = { Qt::red, Qt::green, Qt::blue, Qt::yellow };
    for (std::size_t q = 0; q < 4; ++q)
        EXPECT_TRUE(near(colours[q], expected[q])) << "quadrant " << q;

    // Each stored side is held to the screen's side it will lie along.
    const QImage big = quadrants(4000, 3000);
    const detail::PictureFile large(folder.write("large.jpg", bytesOf(encode(big, Kind::Rgb))));
    for (const bool transposed : { false, true }) {
        SCOPED_TRACE(transposed);
        const std::optional<backend::DecodedPicture> shrunk
                = qt::decodeJpeg(static_cast<int>(large.handle()), { 1024, 768 }, transposed);
        ASSERT_TRUE(shrunk);
        EXPECT_EQ(shrunk->stored, (detail::PixelSize{ 4000, 3000 }));
        EXPECT_EQ(shrunk->image.size(),
                  (transposed ? detail::PixelSize{ 768, 1024 } : detail::PixelSize{ 1024, 768 }));
        EXPECT_TRUE(near(quadrantColours(imageOf(shrunk->image))[1], Qt::green));
    }

    // Cancelled before it starts: nothing.
    const std::atomic<bool> cancel{ true };
    EXPECT_FALSE(qt::decodeJpeg(static_cast<int>(large.handle()), { 1024, 768 }, false, &cancel));
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
        const Picture picture = LoadPicture(
                folder.write(std::string(row.name) + ".jpg", bytesOf(encode(source, row.kind))));
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
        const Picture picture = LoadPicture(folder.write("big.jpg", bytesOf(encode(source, kind))));
        EXPECT_EQ(picture.width(), 4000 * HimetricPerPixel);
        ASSERT_EQ(pixels(picture).size(), QSize(1024, 768));
        const auto colours = quadrantColours(pixels(picture));
        const QColor expected[] = { Qt::red, Qt::green, Qt::blue, Qt::yellow };
        for (std::size_t q = 0; q < 4; ++q)
            EXPECT_TRUE(near(colours[q], expected[q])) << static_cast<int>(kind) << " " << q;
    }
    // Turned a quarter by its EXIF orientation: 3000 by 4000 upright, each
    // upright side held to the screen's matching side.
    const std::string stored = bytesOf(saved(source, 90));
    const Picture turned
            = LoadPicture(folder.write("turned.jpg", testsupport::withOrientation(stored, 6)));
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
            = LoadPicture(folder.write("cut.jpg", bytesOf(whole.left(whole.size() / 2))));
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
    const Picture picture = LoadPicture(
            folder.write("claims.jpg", bytesOf(claiming(encode(red, Kind::Rgb), "\xff\xc0"))));
    EXPECT_EQ(picture.width(), 65500 * HimetricPerPixel);
    ASSERT_EQ(pixels(picture).size(), QSize(1024, 768));
    EXPECT_EQ(pixels(picture).pixelColor(1023, 767), QColor(128, 128, 128));
    EXPECT_EQ(pixels(picture).pixelColor(512, 384), QColor(128, 128, 128));

    const std::string progressive
            = folder.write("progressive claims.jpg",
                           bytesOf(claiming(encode(red, Kind::Progressive), "\xff\xc2")));
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
            = LoadPicture(folder.write("cut.jpg", bytesOf(whole.left(whole.size() / 2))));
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
        LoadPicture(folder.write("header.jpg", bytesOf(badHeader)));
        ADD_FAILURE() << "a frame of seven components loaded";
    } catch (const RuntimeError &error) {
        EXPECT_EQ(error.number(), ErrorNumber::InvalidPicture);
    }
    const Picture noisy = LoadPicture(folder.write("noisy.jpg", bytesOf(noisyScan)));
    EXPECT_EQ(pixels(noisy).size(), QSize(128, 128));
}

} // namespace
