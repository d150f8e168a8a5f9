// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>
#include <QSize>

#include <optional>

class QWidget;

namespace platform::qt {

// Qt places a window in whole device-independent pixels and scales the
// position and the size each on their own, so at 175% no size of its own
// makes 2736 device pixels: 1563 gives 2735 and 1564 gives 2737. On X the
// window's own X window is set to the device pixels asked for, and the X
// server's echo of that is kept from Qt, which would round the window back
// down to 1563 and leave the last column unpainted. The caller gives the
// widget a size that covers the device pixels first.
class X11Placement
{
public:
    // False where the windows are not X windows.
    static bool available();
    static bool place(QWidget *window, QRect device);
    // The X screen's size in device pixels, on X with one screen.
    static std::optional<QSize> screenSize();
};

} // namespace platform::qt
