// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// The screens of the table are the ones where whole 96-DPI pixels miss the
// device pixels: their size divided by the scale is no whole number, so the
// screen's twips scaled back fall short of the screen or pass it.
#include "platform/detail/DeviceGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ostream>

using namespace platform;
using detail::DeviceGeometry;
using detail::PixelRect;
using detail::ScreenAxis;

namespace {

struct Screen
{
    int percent;
    int width;
    int height;
};

std::ostream &operator<<(std::ostream &stream, const Screen &screen)
{
    return stream << screen.width << "x" << screen.height << "@" << screen.percent;
}

// What both back ends report as the runtime's Screen: the device pixels in
// whole 96-DPI pixels, rounded, at 15 twips each.
double screenTwips(int device, double scale)
{
    return std::lround(device / scale) * 15.0;
}

class DeviceGeometryAtScale : public testing::TestWithParam<Screen>
{
protected:
    double scale() const { return GetParam().percent / 100.0; }
    double twipsWide() const { return screenTwips(GetParam().width, scale()); }
    double twipsHigh() const { return screenTwips(GetParam().height, scale()); }
    DeviceGeometry geometry() const
    {
        return { scale(), ScreenAxis{ twipsWide(), GetParam().width },
                 ScreenAxis{ twipsHigh(), GetParam().height } };
    }
    // Left margin less right margin, top less bottom: twice the distance
    // of the rectangle's centre from the screen's.
    void expectCentred(const PixelRect &rect, const char *what) const
    {
        const int across = rect.x - (GetParam().width - rect.x - rect.width);
        const int down = rect.y - (GetParam().height - rect.y - rect.height);
        EXPECT_LE(std::abs(across), 2) << what << " at " << rect.x << "," << rect.y << " "
                                       << rect.width << "x" << rect.height;
        EXPECT_LE(std::abs(down), 2) << what << " at " << rect.x << "," << rect.y << " "
                                     << rect.width << "x" << rect.height;
    }
};

TEST_P(DeviceGeometryAtScale, FullScreenIsTheScreensDevicePixelsExactly)
{
    const PixelRect full = geometry().rect(0, 0, twipsWide(), twipsHigh());
    EXPECT_EQ(full, (PixelRect{ 0, 0, GetParam().width, GetParam().height }));
}

TEST_P(DeviceGeometryAtScale, TheSquareIsCentredAndFiveThousandTwips)
{
    const PixelRect square = geometry().rect(Single(twipsWide()) / 2 - 2500,
                                             Single(twipsHigh()) / 2 - 2500, 5000, 5000);
    expectCentred(square, "the square");
    const double side = 5000 / 15.0 * scale();
    EXPECT_LE(std::abs(square.width - side), 1.0);
    EXPECT_LE(std::abs(square.height - side), 1.0);
}

// The opening as the show window runs it: 1000 twips a tick, 500 to the
// left and up, each side set to the screen's once it reaches it.
TEST_P(DeviceGeometryAtScale, EveryStepOfTheOpeningIsCentredAndInsideTheScreen)
{
    Single width = 100;
    Single height = 100;
    Single left = Single(twipsWide()) / 2 - 50;
    Single top = Single(twipsHigh()) / 2 - 50;
    int ticks = 0;
    for (bool growing = true; growing; ++ticks) {
        width = width + 1000;
        left = left - 500;
        height = height + 1000;
        top = top - 500;
        growing = false;
        if (width >= Single(twipsWide())) {
            width = twipsWide();
            left = 0;
        } else {
            growing = true;
        }
        if (height >= Single(twipsHigh())) {
            height = twipsHigh();
            top = 0;
        } else {
            growing = true;
        }
        const PixelRect step = geometry().rect(left, top, width, height);
        expectCentred(step, "a step of the opening");
        EXPECT_TRUE((PixelRect{ 0, 0, GetParam().width, GetParam().height }).contains(step));
    }
    EXPECT_EQ(geometry().rect(left, top, width, height),
              (PixelRect{ 0, 0, GetParam().width, GetParam().height }));
    EXPECT_GT(ticks, 1);
}

// No edge short of the screen's twips passes the screen's last pixel, the
// mapping never runs backwards, and twips past the screen go on at the
// window's scale.
TEST_P(DeviceGeometryAtScale, EdgesStayInOrderAndOnlyTheScreensTwipsReachItsEdge)
{
    const DeviceGeometry mapping = geometry();
    int previous = mapping.x(0);
    EXPECT_EQ(previous, 0);
    for (double twips = 1; twips < twipsWide(); twips += 7) {
        const int pixel = mapping.x(twips);
        EXPECT_GE(pixel, previous) << twips;
        EXPECT_LE(pixel, GetParam().width) << twips;
        previous = pixel;
    }
    EXPECT_EQ(mapping.x(twipsWide()), GetParam().width);
    EXPECT_EQ(mapping.x(twipsWide() + 1500), GetParam().width + std::lround(100 * scale()));
    EXPECT_EQ(mapping.y(twipsHigh()), GetParam().height);
    EXPECT_EQ(mapping.x(-1500), -std::lround(100 * scale()));
}

// Windows that meet in twips meet in device pixels: no gap, no overlap.
TEST_P(DeviceGeometryAtScale, WindowsThatMeetInTwipsMeetInPixels)
{
    const DeviceGeometry mapping = geometry();
    for (double left = 0; left < 3000; left += 137) {
        const PixelRect first = mapping.rect(left, 0, 1234.5, 100);
        const PixelRect second = mapping.rect(left + 1234.5, 0, 777, 100);
        EXPECT_EQ(first.x + first.width, second.x) << left;
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, DeviceGeometryAtScale,
                         testing::Values(Screen{ 100, 3840, 2160 }, Screen{ 100, 1366, 768 },
                                         Screen{ 125, 1920, 1200 }, Screen{ 125, 2559, 1439 },
                                         Screen{ 150, 2560, 1600 }, Screen{ 150, 2736, 1824 },
                                         Screen{ 175, 2736, 1824 }, Screen{ 175, 3840, 2160 },
                                         Screen{ 200, 2737, 1825 }, Screen{ 200, 3840, 2160 },
                                         Screen{ 250, 2561, 1441 }, Screen{ 250, 3839, 2159 }),
                         [](const testing::TestParamInfo<Screen> &info) {
                             return std::to_string(info.param.percent) + "pc_"
                                     + std::to_string(info.param.width) + "x"
                                     + std::to_string(info.param.height);
                         });

// The 96-DPI mapping the runtime had: at 100% nothing moves.
TEST(DeviceGeometry, AtOneHundredPercentTwipsAreFifteenAPixel)
{
    const DeviceGeometry mapping(1.0, ScreenAxis{ 15360, 1024 }, ScreenAxis{ 11520, 768 });
    EXPECT_EQ(mapping.rect(7630, 5710, 100, 100), (PixelRect{ 509, 381, 6, 6 }));
    EXPECT_EQ(mapping.rect(0, 3260, 15360, 5000), (PixelRect{ 0, 217, 1024, 334 }));
}

} // namespace
