// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/DeviceGeometry.h"

#include "platform/Twips.h"

#include <algorithm>
#include <cmath>

namespace platform::detail {

namespace {

int rounded(double twips, double scale)
{
    const double pixels = std::floor(twips / TwipsPerPixel * scale + 0.5);
    return static_cast<int>(std::clamp(pixels, -double(MaxPixels), double(MaxPixels)));
}

} // namespace

DeviceGeometry::DeviceGeometry(double scale, ScreenAxis horizontal, ScreenAxis vertical)
    : scale(std::isfinite(scale) && scale > 0 ? scale : 1.0),
      horizontal(horizontal),
      vertical(vertical)
{ }

int DeviceGeometry::map(double twips, ScreenAxis axis) const
{
    if (axis.twips <= 0 || axis.device <= 0)
        return rounded(twips, scale);
    if (twips >= axis.twips) {
        const long long beyond
                = static_cast<long long>(axis.device) + rounded(twips - axis.twips, scale);
        return static_cast<int>(std::min<long long>(beyond, MaxPixels));
    }
    return std::min(rounded(twips, scale), axis.device);
}

PixelRect DeviceGeometry::rect(Single left, Single top, Single width, Single height) const
{
    const double l = left.value();
    const double t = top.value();
    const int x0 = x(l);
    const int y0 = y(t);
    const int x1 = x(l + static_cast<double>(width.value()));
    const int y1 = y(t + static_cast<double>(height.value()));
    return { x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0) };
}

} // namespace platform::detail
