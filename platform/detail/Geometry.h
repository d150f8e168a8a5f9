// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Single.h"
#include "platform/Twips.h"

#include <algorithm>
#include <cmath>

namespace platform::detail {

// Pixels here are device-independent: a 96-dots-per-inch pixel, which the
// back end turns into the display's own.
struct PixelSize
{
    int width = 0;
    int height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
    PixelSize transposed() const { return { height, width }; }
    bool operator==(const PixelSize &) const = default;
};

struct PixelPoint
{
    int x = 0;
    int y = 0;
    bool operator==(const PixelPoint &) const = default;
};

struct PixelRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool contains(PixelRect other) const
    {
        return other.x >= x && other.y >= y && other.x + other.width <= x + width
                && other.y + other.height <= y + height;
    }
    bool operator==(const PixelRect &) const = default;
};

// The largest coordinate handed to a window system: the model keeps any
// value the program sets, the window gets what it can hold.
inline constexpr int MaxPixels = (1 << 24) - 1;

// The nearest whole pixel to a twips value.
inline int toPixels(Single twips)
{
    const double pixels = std::nearbyint(static_cast<double>(twips.value()) / TwipsPerPixel);
    return static_cast<int>(std::clamp(pixels, -double(MaxPixels), double(MaxPixels)));
}

inline Single toTwips(int pixels)
{
    return Single(pixels * TwipsPerPixel);
}

// Edges are rounded, not sizes, so that controls that meet in twips meet
// in pixels too.
inline PixelRect toPixelRect(Single left, Single top, Single width, Single height)
{
    const int x = toPixels(left);
    const int y = toPixels(top);
    const int right = toPixels(left + width);
    const int bottom = toPixels(top + height);
    return { x, y, std::max(0, right - x), std::max(0, bottom - y) };
}

} // namespace platform::detail
