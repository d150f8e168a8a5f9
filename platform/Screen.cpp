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
    if (!screenOverride)
        return backend::primaryScreenDevice();
    // A chosen screen is as many device pixels as its twips at the scale.
    const double ratio = backend::devicePixelRatio();
    return { static_cast<int>(std::lround(screenOverride->width / TwipsPerPixel * ratio)),
             static_cast<int>(std::lround(screenOverride->height / TwipsPerPixel * ratio)) };
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
