// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Screen.h"

#include "platform/Twips.h"
#include "platform/backend/Desktop.h"
#include "platform/detail/ScreenSize.h"

#include <cmath>

namespace platform {

namespace {

std::optional<detail::ScreenTwips> screenOverride;

} // namespace

namespace detail {

PixelSize screenPixels()
{
    if (screenOverride) {
        return { static_cast<int>(std::lround(screenOverride->width / TwipsPerPixel)),
                 static_cast<int>(std::lround(screenOverride->height / TwipsPerPixel)) };
    }
    return backend::primaryScreen();
}

PixelSize screenDevicePixels()
{
    const double ratio = backend::devicePixelRatio();
    const PixelSize pixels = screenPixels();
    return { static_cast<int>(std::ceil(pixels.width * ratio)),
             static_cast<int>(std::ceil(pixels.height * ratio)) };
}

void overrideScreen(std::optional<ScreenTwips> twips)
{
    screenOverride = twips;
}

} // namespace detail

Single Screen::width()
{
    if (screenOverride)
        return screenOverride->width;
    return detail::screenPixels().width * TwipsPerPixel;
}

Single Screen::height()
{
    if (screenOverride)
        return screenOverride->height;
    return detail::screenPixels().height * TwipsPerPixel;
}

} // namespace platform
