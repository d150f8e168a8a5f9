// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Picture.h"
#include "platform/RuntimeError.h"
#include "platform/Testing.h"
#include "platform/detail/GifDecoder.h"
#include "platform/detail/JpegDecoder.h"
#include "platform/detail/PictureFile.h"

#include "tests/support/LibraryPictures.h"
#include "tests/support/TestPictures.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include <gif_lib.h>

using namespace platform;
using detail::Bitmap;
using detail::PixelSize;
using testsupport::nameOf;
using testsupport::near;
using testsupport::Rgb;
using testsupport::rgbOf;
using testsupport::TempFolder;

namespace {

using Pixels = std::function<Rgb(int x, int y)>;

// Four quadrants of clearly different colours: any mirror or turn moves
// them somewhere else.
Pixels quadrants(int width, int height)
{
    return [=](int x, int y) {
        const bool right = x >= width / 2;
        const bool bottom = y >= height / 2;
        if (!bottom)
            return right ? testsupport::green : testsupport::red;
        return right ? testsupport::yellow : testsupport::blue;
    };
}

using Kind = testsupport::JpegKind;

std::string encodeJpeg(int width, int height, const Pixels &pixel, Kind kind, int quality = 95)
{
    return testsupport::libjpegBytes(width, height, pixel, kind, quality);
}

struct GifFrame
{
    PixelSize screen;
    int left = 0;
    int top = 0;
    PixelSize size;
    bool interlaced = false;
    int transparentIndex = -1;
    std::array<Rgb, 4> palette
            = { testsupport::red, testsupport::green, testsupport::blue, testsupport::yellow };
    std::function<int(int x, int y)> index = [](int, int) { return 0; };
};

int appendBytes(GifFileType *gif, const GifByteType *data, int length)
{
    static_cast<std::string *>(gif->UserData)
            ->append(reinterpret_cast<const char *>(data), static_cast<std::size_t>(length));
    return length;
}

// giflib's own encoder: frames placed anywhere on the screen, interlaced or
// not, with a transparent colour.
std::string encodeGif(const GifFrame &frame)
{
    std::string bytes;
    int error = 0;
    GifFileType *gif = EGifOpen(&bytes, appendBytes, &error);
    EXPECT_TRUE(gif);
    if (!gif)
        return bytes;
    EGifSetGifVersion(gif, true);
    GifColorType colours[4];
    for (std::size_t i = 0; i < frame.palette.size(); ++i)
        colours[i] = { frame.palette[i].red, frame.palette[i].green, frame.palette[i].blue };
    ColorMapObject *map = GifMakeMapObject(4, colours);
    EGifPutScreenDesc(gif, frame.screen.width, frame.screen.height, 8, 0, map);
    if (frame.transparentIndex >= 0) {
        GraphicsControlBlock control{};
        control.TransparentColor = frame.transparentIndex;
        GifByteType extension[4];
        const std::size_t length = EGifGCBToExtension(&control, extension);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension);
    }
    EGifPutImageDesc(gif, frame.left, frame.top, frame.size.width, frame.size.height,
                     frame.interlaced, nullptr);
    // An interlaced frame's rows go out in its four passes' order.
    std::vector<int> order;
    if (frame.interlaced) {
        for (const auto &[start, step] : { std::pair{ 0, 8 }, { 4, 8 }, { 2, 4 }, { 1, 2 } })
            for (int y = start; y < frame.size.height; y += step)
                order.push_back(y);
    } else {
        for (int y = 0; y < frame.size.height; ++y)
            order.push_back(y);
    }
    std::vector<GifPixelType> line(static_cast<std::size_t>(frame.size.width));
    for (const int y : order) {
        for (int x = 0; x < frame.size.width; ++x)
            line[static_cast<std::size_t>(x)] = static_cast<GifPixelType>(frame.index(x, y));
        EGifPutLine(gif, line.data(), frame.size.width);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return bytes;
}

int alphaOf(std::uint32_t pixel)
{
    return static_cast<int>(pixel >> 24);
}

// The colour at the centre of each quadrant, reading order.
std::vector<Rgb> quadrantColours(const Bitmap &image)
{
    const int w = image.width();
    const int h = image.height();
    return { rgbOf(image.pixel(w / 4, h / 4)), rgbOf(image.pixel(3 * w / 4, h / 4)),
             rgbOf(image.pixel(w / 4, 3 * h / 4)), rgbOf(image.pixel(3 * w / 4, 3 * h / 4)) };
}

const std::vector<Rgb> InQuadrants
        = { testsupport::red, testsupport::green, testsupport::blue, testsupport::yellow };

Rgb grey(Rgb c)
{
    const auto level
            = static_cast<std::uint8_t>((c.red * 299 + c.green * 587 + c.blue * 114) / 1000);
    return { level, level, level };
}

// Every kind, at its own size and shrunk to a screen (by eighths while
// decoding, then averaged), and stored sideways: the exact target size,
// and the colours where they were.
TEST(JpegDecoder, EveryKindKeepsItsColoursAtEverySize)
{
    TempFolder folder;
    const struct
    {
        Kind kind;
        const char *name;
        bool grey;
    } kinds[] = {
        { Kind::Rgb, "rgb", false },
        { Kind::Progressive, "progressive", false },
        { Kind::Cmyk, "cmyk", false },
        { Kind::Grey, "grey", true },
    };
    const struct
    {
        PixelSize stored;
        bool transposed;
        PixelSize expected;
    } sizes[] = {
        { { 64, 64 }, false, { 64, 64 } },
        { { 4000, 3000 }, false, { 1024, 768 } },
        { { 4000, 3000 }, true, { 768, 1024 } },
        { { 1030, 770 }, false, { 1024, 768 } },
    };
    for (const auto &kind : kinds) {
        for (const auto &size : sizes) {
            SCOPED_TRACE(std::string(kind.name) + " " + std::to_string(size.stored.width)
                         + (size.transposed ? " transposed" : ""));
            const auto bytes
                    = encodeJpeg(size.stored.width, size.stored.height,
                                 quadrants(size.stored.width, size.stored.height), kind.kind);
            const detail::PictureFile file(folder.write(std::string(kind.name) + ".jpg", bytes));
            const auto decoded = detail::decodeJpeg(file, { 1024, 768 }, size.transposed);
            ASSERT_TRUE(decoded);
            EXPECT_EQ(decoded->stored, size.stored);
            ASSERT_EQ(decoded->image.size(), size.expected);
            EXPECT_FALSE(decoded->image.hasAlpha());
            const auto colours = quadrantColours(decoded->image);
            for (std::size_t q = 0; q < 4; ++q) {
                const Rgb expected = kind.grey ? grey(InQuadrants[q]) : InQuadrants[q];
                EXPECT_TRUE(near(colours[q], expected))
                        << "quadrant " << q << " is " << nameOf(colours[q]);
            }
        }
    }
}

TEST(JpegDecoder, ACancelledDecodeGivesNothing)
{
    TempFolder folder;
    const detail::PictureFile file(
            folder.write("big.jpg", encodeJpeg(2000, 1500, quadrants(2000, 1500), Kind::Rgb)));
    const std::atomic<bool> cancel{ true };
    EXPECT_FALSE(detail::decodeJpeg(file, { 1024, 768 }, false, &cancel));
    EXPECT_FALSE(detail::decodeGif(file, { 1024, 768 }, &cancel));
}

// Red with a fine texture, so that the scan, not the tables, makes up most
// of the file.
Pixels textured()
{
    return [](int x, int y) {
        return Rgb{ static_cast<std::uint8_t>(200 + (x * 7 + y * 13) % 56),
                    static_cast<std::uint8_t>((x * y) % 40),
                    static_cast<std::uint8_t>((x ^ y) % 40) };
    };
}

// Cut short, at its own size and shrunk: what the data holds, and below
// where it ends the grey libjpeg fills missing rows with.
TEST(JpegDecoder, ATruncatedFileShowsWhatItHoldsAndGreyBelow)
{
    const platform::testing::ScreenOverride screen(15360, 11520);
    TempFolder folder;
    for (const PixelSize size : { PixelSize{ 256, 256 }, PixelSize{ 2048, 1536 } }) {
        SCOPED_TRACE(size.width);
        const std::string whole = encodeJpeg(size.width, size.height, textured(), Kind::Rgb, 90);
        const Picture picture
                = LoadPicture(folder.write("cut.jpg", whole.substr(0, whole.size() / 2)));
        const PixelSize decoded = platform::testing::decodedSize(picture);
        ASSERT_EQ(decoded, (PixelSize{ std::min(size.width, 1024), std::min(size.height, 768) }));
        EXPECT_GT((platform::testing::pixelOf(picture, decoded.width / 2, 4) >> 16) & 0xff, 180U);
        EXPECT_EQ(platform::testing::pixelOf(picture, decoded.width / 2, decoded.height - 4),
                  0x808080U);
    }
}

// Claimed sizes cost only what the data holds: a header can claim 65500 by
// 65500 over a few hundred bytes. The rows past the data are grey, drawn
// without decoding them; a progressive one would need gigabytes of
// coefficients and is refused before any is allocated.
TEST(JpegDecoder, AClaimBeyondTheDataIsShownAsFarAsTheDataGoes)
{
    TempFolder folder;
    const platform::testing::ScreenOverride screen(15360, 11520);
    auto claiming = [](std::string jpeg, const char *frameMarker) {
        const std::size_t frame = jpeg.find(frameMarker);
        EXPECT_NE(frame, std::string::npos);
        for (std::size_t at : { 5, 6, 7, 8 }) // height, then width, big-endian
            jpeg[frame + at] = static_cast<char>(at % 2 ? 0xff : 0xdc);
        return jpeg;
    };
    const auto red = [](int, int) { return testsupport::red; };
    const Picture picture = LoadPicture(
            folder.write("claims.jpg", claiming(encodeJpeg(64, 64, red, Kind::Rgb), "\xff\xc0")));
    EXPECT_EQ(picture.width(), 65500 * HimetricPerPixel);
    ASSERT_EQ(platform::testing::decodedSize(picture), (PixelSize{ 1024, 768 }));
    EXPECT_EQ(platform::testing::pixelOf(picture, 1023, 767), 0x808080U);
    EXPECT_EQ(platform::testing::pixelOf(picture, 512, 384), 0x808080U);

    const std::string progressive
            = folder.write("progressive claims.jpg",
                           claiming(encodeJpeg(64, 64, red, Kind::Progressive), "\xff\xc2"));
    try {
        LoadPicture(progressive);
        ADD_FAILURE() << "a progressive picture of 65500 by 65500 loaded";
    } catch (const RuntimeError &error) {
        EXPECT_EQ(error.number(), ErrorNumber::InvalidPicture);
    }
}

TEST(JpegDecoder, DamagedDataIsRefusedOrShownButNeverEndsTheProgram)
{
    TempFolder folder;
    const std::string whole = encodeJpeg(128, 128, quadrants(128, 128), Kind::Rgb);
    // A bad marker in the frame header is an error libjpeg cannot go past;
    // noise in the scan data only spoils pixels.
    std::string badHeader = whole;
    const std::size_t frame = badHeader.find("\xff\xc0");
    ASSERT_NE(frame, std::string::npos);
    badHeader[frame + 9] = 7; // seven components
    std::string noisyScan = whole;
    for (std::size_t at = whole.size() / 2; at < whole.size() - 10; at += 97)
        noisyScan[at] = static_cast<char>(0x5a);

    try {
        LoadPicture(folder.write("header.jpg", badHeader));
        ADD_FAILURE() << "a frame of seven components loaded";
    } catch (const RuntimeError &error) {
        EXPECT_EQ(error.number(), ErrorNumber::InvalidPicture);
    }
    const Picture noisy = LoadPicture(folder.write("noisy.jpg", noisyScan));
    EXPECT_EQ(platform::testing::decodedSize(noisy), (PixelSize{ 128, 128 }));
}

// The first frame on its logical screen, at the screen's size or shrunk:
// where the frame is not, the screen's background colour (red here, index
// 0), transparent when that is the transparent colour; where the frame has
// its transparent colour, transparent; interlaced or not, the same pixels.
TEST(GifDecoder, TheFirstFrameStandsOnItsLogicalScreen)
{
    TempFolder folder;
    // Left half red, right half green; a blue band below; index 3 (yellow)
    // is the transparent colour in the last rows when there is one.
    const auto pattern = [](int width, int height) {
        return [=](int x, int y) {
            if (y >= height - height / 8)
                return 3;
            if (y >= height / 2)
                return 2;
            return x < width / 2 ? 0 : 1;
        };
    };
    const struct
    {
        const char *name;
        PixelSize screen;
        int left, top;
        PixelSize frame;
        PixelSize screenPixels; // the screen decoded for
        PixelSize expected;
    } rows[] = {
        { "whole screen", { 200, 160 }, 0, 0, { 200, 160 }, { 1024, 768 }, { 200, 160 } },
        { "frame inside the screen",
          { 400, 320 },
          100,
          80,
          { 200, 160 },
          { 1024, 768 },
          { 400, 320 } },
        { "shrunk", { 4000, 3200 }, 1000, 800, { 2000, 1600 }, { 1000, 800 }, { 1000, 800 } },
        { "zero screen", { 0, 0 }, 0, 0, { 200, 160 }, { 1024, 768 }, { 200, 160 } },
    };
    for (const auto &row : rows) {
        for (const bool interlaced : { false, true }) {
            for (const int transparent : { -1, 3, 0 }) {
                SCOPED_TRACE(std::string(row.name) + (interlaced ? ", interlaced" : "")
                             + (transparent >= 0 ? ", transparent" : ""));
                GifFrame frame;
                frame.screen = row.screen;
                frame.left = row.left;
                frame.top = row.top;
                frame.size = row.frame;
                frame.interlaced = interlaced;
                frame.transparentIndex = transparent;
                frame.index = pattern(row.frame.width, row.frame.height);
                const detail::PictureFile file(folder.write("frame.gif", encodeGif(frame)));
                const auto decoded = detail::decodeGif(file, row.screenPixels);
                ASSERT_TRUE(decoded);
                const PixelSize stored = row.screen.empty() ? row.frame : row.screen;
                EXPECT_EQ(decoded->stored, stored);
                const Bitmap &image = decoded->image;
                ASSERT_EQ(image.size(), row.expected);
                const bool covers = row.frame == stored;
                EXPECT_EQ(image.hasAlpha(), transparent >= 0);
                const auto colour = [&](int index, std::uint32_t pixel) {
                    return index == transparent ? 0U : pixel;
                };
                // Points of the logical screen, scaled to the decoded size.
                const auto at = [&](int x, int y) {
                    return image.pixel(x * image.width() / stored.width,
                                       y * image.height() / stored.height);
                };
                const int fx = row.left;
                const int fy = row.top;
                const int fw = row.frame.width;
                const int fh = row.frame.height;
                EXPECT_EQ(at(fx + fw / 4, fy + fh / 4), colour(0, 0xffff0000U));
                EXPECT_EQ(at(fx + 3 * fw / 4, fy + fh / 4), colour(1, 0xff00ff00U));
                EXPECT_EQ(at(fx + fw / 2, fy + 5 * fh / 8), colour(2, 0xff0000ffU));
                EXPECT_EQ(at(fx + fw / 2, fy + fh - fh / 16), colour(3, 0xffffff00U));
                if (!covers) {
                    EXPECT_EQ(at(fx / 2, fy / 2), colour(0, 0xffff0000U));
                    EXPECT_EQ(at(stored.width - 1, stored.height - 1), colour(0, 0xffff0000U));
                }
            }
        }
    }
}

// Cut short anywhere, interlaced or not: what arrived is shown, the rest is
// the background; a screen far larger than its frame costs a target row for
// its empty rows.
TEST(GifDecoder, WhatIsMissingIsTransparent)
{
    TempFolder folder;
    for (const bool interlaced : { false, true }) {
        SCOPED_TRACE(interlaced ? "interlaced" : "sequential");
        GifFrame frame;
        frame.screen = { 300, 300 };
        frame.size = { 300, 300 };
        frame.interlaced = interlaced;
        // Noise, so the data is long enough to cut in the middle.
        frame.index = [](int x, int y) { return (x * 7 + y * 13 + (x * y) % 5) % 3; };
        const std::string whole = encodeGif(frame);
        const detail::PictureFile file(folder.write("cut.gif", whole.substr(0, whole.size() / 2)));
        const auto decoded = detail::decodeGif(file, { 1024, 768 });
        ASSERT_TRUE(decoded);
        ASSERT_EQ(decoded->image.size(), (PixelSize{ 300, 300 }));
        EXPECT_EQ(alphaOf(decoded->image.pixel(150, 2)), 255);
        EXPECT_EQ(decoded->image.pixel(150, 297), 0xffff0000U);
    }

    GifFrame tiny;
    tiny.screen = { 65535, 65535 };
    tiny.left = 30000;
    tiny.top = 30000;
    tiny.size = { 2, 2 };
    const detail::PictureFile file(folder.write("tiny frame.gif", encodeGif(tiny)));
    const auto decoded = detail::decodeGif(file, { 1024, 768 });
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->stored, (PixelSize{ 65535, 65535 }));
    EXPECT_EQ(decoded->image.size(), (PixelSize{ 1024, 768 }));
    EXPECT_EQ(decoded->image.pixel(0, 0), 0xffff0000U);
    EXPECT_EQ(decoded->image.pixel(1023, 767), 0xffff0000U);
}

TEST(GifDecoder, WhatIsNoGifIsRefused)
{
    TempFolder folder;
    GifFrame frame;
    frame.screen = frame.size = { 40, 30 };
    const std::string whole = encodeGif(frame);
    const struct
    {
        const char *name;
        std::string bytes;
    } rows[] = {
        { "empty", "" },
        { "signature only", "GIF89a" },
        { "screen only", whole.substr(0, 13) },
        { "no frame", whole.substr(0, 13 + 12) + ";" },
        { "a JPEG", encodeJpeg(16, 16, quadrants(16, 16), Kind::Rgb) },
        { "text", "GIF is a picture format; this is a note about it." },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const detail::PictureFile file(folder.write("bad.gif", row.bytes));
        EXPECT_FALSE(detail::decodeGif(file, { 1024, 768 }));
    }
}

} // namespace
