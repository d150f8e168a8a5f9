// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/detail/Geometry.h"

namespace platform::detail {

// One axis of the screen as a top-level window sees it: its twips as the
// runtime's Screen reports them, and its device pixels. The two need not
// agree at the window's scale: Screen counts whole 96-DPI pixels, and at
// 175% the 2736 pixels of a screen are 1563 of those, which scale back to
// 2735.25.
struct ScreenAxis
{
    double twips = 0;
    int device = 0;
};

// Device pixels from twips, for the rectangles of top-level windows: one
// rounding (half up, so that a shift in twips shifts every edge alike) at
// the window's scale, device pixels per 96-DPI pixel. An edge at or past
// the screen's twips is measured from the screen's own last device pixel,
// so a window that reaches the screen's edge covers it, no more and no
// less; an edge short of it never passes it.
class DeviceGeometry
{
public:
    DeviceGeometry(double scale, ScreenAxis horizontal, ScreenAxis vertical);

    int x(double twips) const { return map(twips, horizontal); }
    int y(double twips) const { return map(twips, vertical); }
    // Edges are rounded, not sizes: windows that meet in twips meet in
    // device pixels.
    PixelRect rect(Single left, Single top, Single width, Single height) const;

private:
    int map(double twips, ScreenAxis axis) const;

    double scale;
    ScreenAxis horizontal;
    ScreenAxis vertical;
};

} // namespace platform::detail
