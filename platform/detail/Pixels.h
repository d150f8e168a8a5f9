// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Single.h"
#include "platform/Twips.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

namespace platform::detail {

// The nearest whole pixel to a twips value, kept within what a widget can
// hold: the model keeps the exact value whatever the window system can show.
inline int toPixels(Single twips)
{
    const double pixels = std::nearbyint(static_cast<double>(twips.value()) / TwipsPerPixel);
    return static_cast<int>(std::clamp(pixels, -double(QWIDGETSIZE_MAX), double(QWIDGETSIZE_MAX)));
}

inline Single toTwips(int pixels)
{
    return Single(pixels * TwipsPerPixel);
}

} // namespace platform::detail
