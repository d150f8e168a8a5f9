// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/PictureData.h"
#include "platform/detail/PictureDecoder.h"
#include "platform/detail/PictureFile.h"

#include "tests/support/TestPictures.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

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

// The shared decode (libjpeg-turbo, then the EXIF orientation read from the
// file and undone) shows each picture as Qt's own reader does.
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

// A GIF whose frame leaves part of its logical screen bare, with a
// transparent colour: the same picture, size and transparency as Qt's
// reader gives.
TEST(GifDecoder, PlacesTheFrameAsQtsReaderDoes)
{
    TempFolder folder;
    const std::string bytes = testsupport::gifBytes(20, 10, { testsupport::green }, 60, 40);
    QBuffer buffer;
    buffer.setData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QImageReader reader(&buffer);
    const QImage expected = reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ASSERT_FALSE(expected.isNull());

    const detail::PictureFile file(folder.write("frame.gif", bytes));
    const std::shared_ptr<detail::PictureData> decoded = detail::decodePicture(file, { 1024, 768 });
    ASSERT_TRUE(decoded);
    const QImage ours
            = imageOf(decoded->image).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ASSERT_EQ(ours.size(), expected.size());
    for (const QPoint at :
         { QPoint(5, 5), QPoint(19, 9), QPoint(20, 9), QPoint(5, 10), QPoint(59, 39) })
        EXPECT_EQ(ours.pixel(at), expected.pixel(at)) << at.x() << "," << at.y();
}

} // namespace
