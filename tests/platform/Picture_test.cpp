// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Picture.h"
#include "platform/RuntimeError.h"
#include "platform/Testing.h"
#include "platform/detail/PictureData.h"

#include "tests/support/TestPictures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using namespace platform;
using platform::testing::PixelSize;
using testsupport::TempFolder;

namespace {

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

int redOf(std::uint32_t rgb)
{
    return static_cast<int>(rgb >> 16);
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
            "anim.gif",
            testsupport::gifBytes(40, 30,
                                  { testsupport::red, testsupport::green, testsupport::blue })));
    EXPECT_EQ(picture.width(), 40 * 26);
    EXPECT_EQ(picture.height(), 30 * 26);
    EXPECT_EQ(platform::testing::decodedSize(picture), (PixelSize{ 40, 30 }));
    EXPECT_EQ(platform::testing::pixelOf(picture, 20, 15), 0xff0000u);
}

TEST(LoadPicture, TheContentDecidesTheFormat)
{
    TempFolder folder;
    EXPECT_EQ(LoadPicture(folder.write("gif.jpg", testsupport::gifBytes(8, 4))).width(), 8 * 26);
    EXPECT_EQ(LoadPicture(folder.write("jpeg.gif", testsupport::jpegBytes(8, 4))).width(), 8 * 26);
    EXPECT_EQ(LoadPicture(folder.write("no extension", testsupport::jpegBytes(6, 4))).width(),
              6 * 26);
}

TEST(LoadPicture, AppliesTheExifOrientation)
{
    TempFolder folder;
    // Orientations 5 to 8 turn the picture a quarter: its sides swap.
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const Picture picture = LoadPicture(folder.write(
                "o" + std::to_string(orientation) + ".jpg",
                testsupport::jpegBytes(64, 32, testsupport::red, testsupport::blue, orientation)));
        const bool quarter = orientation >= 5;
        EXPECT_EQ(picture.width(), (quarter ? 32 : 64) * 26) << orientation;
        EXPECT_EQ(picture.height(), (quarter ? 64 : 32) * 26) << orientation;
        EXPECT_EQ(platform::testing::decodedSize(picture),
                  (quarter ? PixelSize{ 32, 64 } : PixelSize{ 64, 32 }))
                << orientation;
    }
    // Orientation 3 turns it half round: red comes to the right.
    const Picture turned = LoadPicture(folder.write(
            "o3b.jpg", testsupport::jpegBytes(64, 32, testsupport::red, testsupport::blue, 3)));
    EXPECT_GT(redOf(platform::testing::pixelOf(turned, 60, 16)), 200);
    EXPECT_LT(redOf(platform::testing::pixelOf(turned, 4, 16)), 50);
}

TEST(LoadPicture, DecodesNoLargerThanTheScreen)
{
    // 48 megapixels, far more than the screen shows.
    TempFolder folder;
    testsupport::JpegOptions options;
    options.quality = 50;
    options.colours = testsupport::JpegColours::Grey;
    const std::string path = folder.write(
            "big.jpg",
            testsupport::jpegBytes(8000, 6000, testsupport::grey, testsupport::grey, options));

    const platform::testing::ScreenOverride screen(15360, 11520);
    const Picture picture = LoadPicture(path);
    EXPECT_EQ(picture.width(), 8000 * 26);
    EXPECT_EQ(picture.height(), 6000 * 26);
    EXPECT_EQ(platform::testing::decodedSize(picture), (PixelSize{ 1024, 768 }));
}

TEST(DecodeSize, EachSideIsHeldToTheScreensMatchingSide)
{
    const PixelSize screen{ 1920, 1080 };
    EXPECT_EQ(detail::decodeSize({ 8000, 6000 }, false, screen), (PixelSize{ 1920, 1080 }));
    EXPECT_EQ(detail::decodeSize({ 800, 600 }, false, screen), (PixelSize{ 800, 600 }));
    EXPECT_EQ(detail::decodeSize({ 32000, 1 }, false, screen), (PixelSize{ 1920, 1 }));
    // Stored sideways: the stored width becomes the upright height.
    EXPECT_EQ(detail::decodeSize({ 6000, 8000 }, true, screen), (PixelSize{ 1080, 1920 }));
    EXPECT_EQ(detail::decodeSize({ 1500, 1500 }, true, screen), (PixelSize{ 1080, 1500 }));
}

TEST(LoadPicture, RefusesWhatIsNotAPicture)
{
    TempFolder folder;
    const std::string truncatedHeader = testsupport::jpegBytes(10, 10).substr(0, 20);

    const struct
    {
        std::string path;
        ErrorNumber expected;
    } rows[] = {
        { folder.file("missing.jpg"), ErrorNumber::FileNotFound },
        { folder.file("missing/a.jpg"), ErrorNumber::FileNotFound },
        { "", ErrorNumber::FileNotFound },
        { folder.write("empty.jpg", {}), ErrorNumber::InvalidPicture },
        { folder.write("text.jpg", "just some words, not a picture"), ErrorNumber::InvalidPicture },
        { folder.write("header.jpg", truncatedHeader), ErrorNumber::InvalidPicture },
        { folder.write("png.jpg", "\x89PNG\r\n\x1a\n"), ErrorNumber::InvalidPicture },
        { folder.path(), ErrorNumber::InvalidPicture },
        { folder.write("zero.gif", testsupport::gifBytes(0, 0)), ErrorNumber::InvalidPicture },
        { folder.write("zero wide.gif", testsupport::gifBytes(0, 5)), ErrorNumber::InvalidPicture },
    };
    for (const auto &row : rows)
        EXPECT_EQ(loadError(row.path), row.expected) << row.path;
}

} // namespace
