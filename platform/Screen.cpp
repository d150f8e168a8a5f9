// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Screen.h"

#include "platform/Twips.h"
#include "platform/detail/ScreenSize.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace platform {

namespace {

std::optional<QSizeF> screenOverride;

} // namespace

namespace detail {

QSize screenPixels()
{
    if (screenOverride) {
        return QSize(static_cast<int>(std::lround(screenOverride->width() / TwipsPerPixel)),
                     static_cast<int>(std::lround(screenOverride->height() / TwipsPerPixel)));
    }
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(1024, 768);
}

QSize screenDevicePixels()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double ratio = screen ? screen->devicePixelRatio() : 1.0;
    const QSize pixels = screenPixels();
    return QSize(static_cast<int>(std::ceil(pixels.width() * ratio)),
                 static_cast<int>(std::ceil(pixels.height() * ratio)));
}

void overrideScreen(std::optional<QSizeF> twips)
{
    screenOverride = twips;
}

} // namespace detail

Single Screen::width()
{
    if (screenOverride)
        return screenOverride->width();
    return detail::screenPixels().width() * TwipsPerPixel;
}

Single Screen::height()
{
    if (screenOverride)
        return screenOverride->height();
    return detail::screenPixels().height() * TwipsPerPixel;
}

} // namespace platform
