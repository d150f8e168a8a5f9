// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Picture.h"
#include "platform/RuntimeError.h"
#include "platform/Testing.h"
#include "platform/detail/PictureData.h"

#include "tests/support/TestPictures.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace platform;
using testsupport::TempFolder;

namespace {

const QImage &pixels(const Picture &picture)
{
    return detail::PictureData::of(picture)->image;
}

ErrorNumber loadError(const std::string &path)
{
    try {
        LoadPicture(path);
    } catch (const RuntimeError &error) {
        return error.number();
    }
    ADD_FAILURE() << path << " loaded";
    return ErrorNumber::Overflow;
}

TEST(LoadPicture, SizesAreAWhole26HimetricAPixel)
{
    TempFolder folder;
    const Picture picture = LoadPicture(folder.jpeg("a.jpg", 900, 600));
    EXPECT_EQ(picture.width(), 900 * 26);
    EXPECT_EQ(picture.height(), 600 * 26);
    // The proportion survives exactly: 1.5, which rounds to a ratio of 2.
    EXPECT_EQ(static_cast<double>(picture.width()) / picture.height(), 1.5);
}

TEST(LoadPicture, ReadsTheFirstFrameOfAGif)
{
    TempFolder folder;
    const Picture picture = LoadPicture(folder.write(
            "anim.gif", testsupport::gifBytes(40, 30, { Qt::red, Qt::green, Qt::blue })));
    EXPECT_EQ(picture.width(), 40 * 26);
    EXPECT_EQ(picture.height(), 30 * 26);
    EXPECT_EQ(pixels(picture).pixelColor(20, 15), QColor(Qt::red));
}

TEST(LoadPicture, TheContentDecidesTheFormat)
{
    TempFolder folder;
    EXPECT_EQ(LoadPicture(folder.write("gif.jpg", testsupport::gifBytes(8, 4))).width(), 8 * 26);
    EXPECT_EQ(LoadPicture(folder.write("jpeg.gif", testsupport::jpegBytes(8, 4))).width(), 8 * 26);
}

TEST(LoadPicture, AppliesTheExifOrientation)
{
    TempFolder folder;
    // Orientations 5 to 8 turn the picture a quarter: its sides swap.
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const Picture picture = LoadPicture(
                folder.write(QStringLiteral("o%1.jpg").arg(orientation),
                             testsupport::jpegBytes(64, 32, Qt::red, Qt::blue, orientation)));
        const bool quarter = orientation >= 5;
        EXPECT_EQ(picture.width(), (quarter ? 32 : 64) * 26) << orientation;
        EXPECT_EQ(picture.height(), (quarter ? 64 : 32) * 26) << orientation;
        EXPECT_EQ(pixels(picture).size(), quarter ? QSize(32, 64) : QSize(64, 32)) << orientation;
    }
    // Orientation 3 turns it half round: red comes to the right.
    const Picture turned = LoadPicture(
            folder.write("o3b.jpg", testsupport::jpegBytes(64, 32, Qt::red, Qt::blue, 3)));
    EXPECT_GT(pixels(turned).pixelColor(60, 16).red(), 200);
}

TEST(LoadPicture, DecodesNoLargerThanTheScreen)
{
    // 48 megapixels: Qt's 128 MB limit refuses this at full size.
    TempFolder folder;
    QImage big(8000, 6000, QImage::Format_Grayscale8);
    big.fill(128);
    const std::string path = folder.file(QStringLiteral("big.jpg"));
    ASSERT_TRUE(big.save(QString::fromStdString(path), "JPEG", 50));
    big = QImage();

    const platform::testing::ScreenOverride screen(15360, 11520);
    const Picture picture = LoadPicture(path);
    EXPECT_EQ(picture.width(), 8000 * 26);
    EXPECT_EQ(picture.height(), 6000 * 26);
    EXPECT_EQ(pixels(picture).size(), QSize(1024, 768));
}

TEST(DecodeSize, EachSideIsHeldToTheScreensMatchingSide)
{
    const QSize screen(1920, 1080);
    EXPECT_EQ(detail::decodeSize({ 8000, 6000 }, false, screen), QSize(1920, 1080));
    EXPECT_EQ(detail::decodeSize({ 800, 600 }, false, screen), QSize(800, 600));
    EXPECT_EQ(detail::decodeSize({ 32000, 1 }, false, screen), QSize(1920, 1));
    // Stored sideways: the stored width becomes the upright height.
    EXPECT_EQ(detail::decodeSize({ 6000, 8000 }, true, screen), QSize(1080, 1920));
}

TEST(LoadPicture, RefusesWhatIsNotAPicture)
{
    TempFolder folder;
    const std::string fifo = folder.file(QStringLiteral("pipe.jpg"));
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    QByteArray truncatedHeader = testsupport::jpegBytes(10, 10).left(20);

    const struct
    {
        std::string path;
        ErrorNumber expected;
    } rows[] = {
        { folder.file(QStringLiteral("missing.jpg")), ErrorNumber::FileNotFound },
        { "", ErrorNumber::FileNotFound },
        { folder.write("empty.jpg", {}), ErrorNumber::InvalidPicture },
        { folder.write("text.jpg", "just some words, not a picture"), ErrorNumber::InvalidPicture },
        { folder.write("header.jpg", truncatedHeader), ErrorNumber::InvalidPicture },
        { folder.path(), ErrorNumber::InvalidPicture },
        { fifo, ErrorNumber::InvalidPicture },
        { folder.write("zero.gif", testsupport::gifBytes(0, 0)), ErrorNumber::InvalidPicture },
    };
    for (const auto &row : rows)
        EXPECT_EQ(loadError(row.path), row.expected) << row.path;
}

} // namespace
