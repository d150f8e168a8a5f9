// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/detail/Geometry.h"

#include <optional>

namespace platform::detail {

// The primary screen in device-independent pixels, and in the device
// pixels a picture needs to look sharp on it: the screen tests choose, when
// they choose one.
PixelSize screenPixels();
PixelSize screenDevicePixels();

struct ScreenTwips
{
    double width = 0;
    double height = 0;
};
// Tests choose the screen the program sees, in twips.
void overrideScreen(std::optional<ScreenTwips> twips);

} // namespace platform::detail
