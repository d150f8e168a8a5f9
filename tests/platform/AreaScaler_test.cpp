// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/AreaScaler.h"
#include "platform/detail/Bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

using namespace platform;
using detail::Bitmap;
using detail::PixelSize;

namespace {

std::uint32_t greyPixel(int level)
{
    const auto v = static_cast<std::uint32_t>(level);
    return (0xffu << 24) | (v << 16) | (v << 8) | v;
}

int redOf(std::uint32_t pixel)
{
    return static_cast<int>((pixel >> 16) & 0xff);
}

Bitmap filled(PixelSize size, const std::vector<std::uint32_t> &pixels)
{
    Bitmap bitmap(size, false);
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x)
            bitmap.row(y)[x] = pixels[static_cast<std::size_t>(y * size.width + x)];
    return bitmap;
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
        Bitmap source({ width, 2 }, false);
        // The same levels down a column of two identical columns.
        Bitmap turned({ 2, width }, false);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel = greyPixel(row.source[static_cast<std::size_t>(x)]);
            source.row(0)[x] = source.row(1)[x] = pixel;
            turned.row(x)[0] = turned.row(x)[1] = pixel;
        }
        const Bitmap result = detail::shrink(source, { target, 1 });
        ASSERT_EQ(result.size(), (PixelSize{ target, 1 }));
        for (int x = 0; x < target; ++x) {
            EXPECT_NEAR(redOf(result.pixel(x, 0)), row.expected[static_cast<std::size_t>(x)], 1)
                    << "width " << width << " pixel " << x;
            // Opaque stays opaque: the alpha byte is averaged like the rest.
            EXPECT_EQ(result.pixel(x, 0) >> 24, 0xffu);
        }
        const Bitmap column = detail::shrink(turned, { 1, target });
        ASSERT_EQ(column.size(), (PixelSize{ 1, target }));
        for (int y = 0; y < target; ++y)
            EXPECT_NEAR(redOf(column.pixel(0, y)), row.expected[static_cast<std::size_t>(y)], 1)
                    << "height " << width << " pixel " << y;
    }
    // A tall stripe pattern: odd rows black, even rows white, halved.
    Bitmap stripes({ 3, 6 }, false);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 3; ++x)
            stripes.row(y)[x] = y % 2 ? 0xff000000u : 0xffffffffu;
    const Bitmap halved = detail::shrink(stripes, { 3, 3 });
    ASSERT_EQ(halved.size(), (PixelSize{ 3, 3 }));
    for (int y = 0; y < 3; ++y)
        EXPECT_NEAR(static_cast<int>((halved.pixel(1, y) >> 8) & 0xff), 128, 1) << y;
}

// A decoder hands the rows out one at a time: the target fills as they
// come, and comes out as the whole bitmap shrunk at once does.
TEST(AreaScaler, TakesTheSourceRowByRow)
{
    const PixelSize source{ 37, 29 };
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x)
            pixels.push_back((0xffu << 24) | static_cast<std::uint32_t>((x * 7) % 256) << 16
                             | static_cast<std::uint32_t>((y * 9) % 256) << 8
                             | static_cast<std::uint32_t>((x * y) % 256));
    const Bitmap whole = filled(source, pixels);
    for (const PixelSize target : { PixelSize{ 10, 7 }, PixelSize{ 37, 5 }, PixelSize{ 3, 29 },
                                    PixelSize{ 1, 1 }, PixelSize{ 37, 29 } }) {
        SCOPED_TRACE(std::to_string(target.width) + " by " + std::to_string(target.height));
        Bitmap out(target, false);
        detail::AreaScaler scaler(source, out);
        int done = 0;
        for (int y = 0; y < source.height; ++y) {
            scaler.addRow(whole.row(y));
            EXPECT_GE(scaler.rowsDone(), done);
            // A target row is finished once the source rows it covers are in.
            EXPECT_GE(scaler.rowsDone(), (y + 1) * target.height / source.height);
            done = scaler.rowsDone();
        }
        EXPECT_EQ(scaler.rowsDone(), target.height);
        const Bitmap atOnce = detail::shrink(whole, target);
        ASSERT_EQ(atOnce.size(), target);
        for (int y = 0; y < target.height; ++y)
            for (int x = 0; x < target.width; ++x)
                ASSERT_EQ(out.pixel(x, y), atOnce.pixel(x, y)) << x << "," << y;
        // Kept at its own size, every pixel is as it was.
        if (target == source) {
            for (int y = 0; y < target.height; ++y)
                for (int x = 0; x < target.width; ++x)
                    ASSERT_EQ(out.pixel(x, y), whole.pixel(x, y)) << x << "," << y;
        }
    }
}

// The picture stored as
//     a b c
//     d e f
// and each orientation undone by hand, from what EXIF says the stored
// first row and first column are in the picture as seen.
TEST(Upright, UndoesEachOrientation)
{
    enum : std::uint32_t { a = 0xffa00000, b = 0xff00b000, c = 0xff0000c0, d, e, f };
    const Bitmap stored = filled({ 3, 2 }, { a, b, c, d, e, f });
    const struct
    {
        int orientation;
        PixelSize size;
        std::vector<std::uint32_t> expected;
    } rows[] = {
        { 1, { 3, 2 }, { a, b, c, d, e, f } },
        { 2, { 3, 2 }, { c, b, a, f, e, d } }, // mirrored left to right
        { 3, { 3, 2 }, { f, e, d, c, b, a } }, // half a turn
        { 4, { 3, 2 }, { d, e, f, a, b, c } }, // mirrored top to bottom
        // The first row is the left side, top down.
        { 5, { 2, 3 }, { a, d, b, e, c, f } },
        // The first row is the right side, top down.
        { 6, { 2, 3 }, { d, a, e, b, f, c } },
        // The first row is the right side, bottom up.
        { 7, { 2, 3 }, { f, c, e, b, d, a } },
        // The first row is the left side, bottom up.
        { 8, { 2, 3 }, { c, f, b, e, a, d } },
        // What is no orientation leaves the picture as stored.
        { 0, { 3, 2 }, { a, b, c, d, e, f } },
        { 9, { 3, 2 }, { a, b, c, d, e, f } },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.orientation);
        EXPECT_EQ(detail::transposes(row.orientation), row.size != stored.size());
        const Bitmap turned = detail::upright(stored, row.orientation);
        ASSERT_EQ(turned.size(), row.size);
        std::vector<std::uint32_t> seen;
        for (int y = 0; y < turned.height(); ++y)
            for (int x = 0; x < turned.width(); ++x)
                seen.push_back(turned.pixel(x, y));
        EXPECT_EQ(seen, row.expected);
    }
    // Transparency survives the turn.
    Bitmap clear({ 2, 1 }, true);
    clear.fill(0x80402010u);
    const Bitmap turned = detail::upright(clear, 6);
    EXPECT_TRUE(turned.hasAlpha());
    EXPECT_EQ(turned.size(), (PixelSize{ 1, 2 }));
    EXPECT_EQ(turned.pixel(0, 1), 0x80402010u);
}

// Runs of uniform rows, transparent or not, give the same picture as
// feeding their rows one by one.
TEST(AreaScaler, UniformRowsGiveWhatTheSameRowsGive)
{
    const PixelSize source{ 37, 101 };
    Bitmap oneByOne(PixelSize{ 10, 9 }, true);
    Bitmap atOnce(PixelSize{ 10, 9 }, true);
    detail::AreaScaler a(source, oneByOne);
    detail::AreaScaler b(source, atOnce);
    constexpr std::uint32_t Gradient = 1; // not a pixel: a row that varies
    const struct
    {
        std::uint32_t pixel;
        int rows;
    } runs[] = { { Gradient, 5 }, { 0xff336699u, 12 }, { Gradient, 30 },
                 { 0u, 20 },      { Gradient, 14 },    { 0xff336699u, 20 } };
    std::vector<std::uint32_t> row(37);
    int y = 0;
    for (const auto &run : runs) {
        for (int i = 0; i < run.rows; ++i, ++y) {
            for (int x = 0; x < 37; ++x)
                row[static_cast<std::size_t>(x)] = run.pixel == Gradient
                        ? 0xff000000u | static_cast<std::uint32_t>(x * 5 + y)
                        : run.pixel;
            a.addRow(row.data());
            if (run.pixel == Gradient)
                b.addRow(row.data());
        }
        if (run.pixel != Gradient)
            b.addUniformRows(run.rows, run.pixel);
    }
    ASSERT_EQ(y, source.height);
    EXPECT_EQ(a.rowsDone(), 9);
    EXPECT_EQ(b.rowsDone(), 9);
    for (int ty = 0; ty < 9; ++ty)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(oneByOne.pixel(x, ty), atOnce.pixel(x, ty)) << x << "," << ty;
}

} // namespace

// The pixel under each target pixel's centre, and a picture drawn in parts
// is the picture drawn whole.
TEST(StretchNearest, PicksThePixelUnderEachCentrePartByPart)
{
    enum : std::uint32_t { a = 0xffa00000, b = 0xff00b000, c = 0xff0000c0, d, e, f };
    const Bitmap picture = filled({ 3, 2 }, { a, b, c, d, e, f });
    const struct
    {
        PixelSize size;
        std::vector<std::uint32_t> expected;
    } rows[] = {
        { { 3, 2 }, { a, b, c, d, e, f } },
        // Centres at 0.25 to 2.75 across, and at 1.0 down: the lower row.
        { { 6, 1 }, { d, d, e, e, f, f } },
        { { 2, 2 }, { a, c, d, f } }, // centres at 0.75 and 2.25
        { { 1, 1 }, { e } },
        // Centres at 0.375, 1.125, 1.875 and 2.625 across.
        { { 4, 4 }, { a, b, b, c, a, b, b, c, d, e, e, f, d, e, e, f } },
    };
    for (const auto &row : rows) {
        const PixelSize size = row.size;
        SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
        std::vector<std::uint32_t> whole;
        ASSERT_TRUE(
                detail::stretchNearest(picture, size, { 0, 0, size.width, size.height }, whole));
        EXPECT_EQ(whole, row.expected);
        // Every part, as a window that shows only some of the picture
        // draws it: each pixel is the whole picture's.
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x)
                for (int height = 1; height <= size.height - y; ++height)
                    for (int width = 1; width <= size.width - x; ++width) {
                        std::vector<std::uint32_t> part;
                        ASSERT_TRUE(detail::stretchNearest(picture, size, { x, y, width, height },
                                                           part));
                        std::vector<std::uint32_t> expected;
                        for (int j = y; j < y + height; ++j)
                            for (int i = x; i < x + width; ++i)
                                expected.push_back(
                                        row.expected[static_cast<std::size_t>(j * size.width + i)]);
                        EXPECT_EQ(part, expected) << x << "," << y << " " << width << "x" << height;
                    }
    }
    // A part outside the size, or none, or no picture: nothing drawn.
    std::vector<std::uint32_t> untouched{ 7 };
    for (const detail::PixelRect part : { detail::PixelRect{ 0, 1, 2, 2 },
                                          { 1, 0, 2, 1 },
                                          { -1, 0, 1, 1 },
                                          { 0, -1, 1, 1 },
                                          { 0, 0, 0, 1 },
                                          { 0, 0, 1, 0 } })
        EXPECT_FALSE(detail::stretchNearest(picture, { 2, 2 }, part, untouched));
    EXPECT_FALSE(detail::stretchNearest(Bitmap(), { 2, 2 }, { 0, 0, 2, 2 }, untouched));
    EXPECT_EQ(untouched, std::vector<std::uint32_t>{ 7 });
    // A target side near the largest int still picks inside the picture.
    std::vector<std::uint32_t> last;
    ASSERT_TRUE(detail::stretchNearest(picture, { 1, 2147483647 }, { 0, 2147483646, 1, 1 }, last));
    EXPECT_EQ(last, std::vector<std::uint32_t>{ e });
}
