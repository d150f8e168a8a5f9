// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>
#include <QSize>

#include <cstdint>
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
    // What the X server said of a window's geometry, against the last
    // placement asked for it. On a busy machine its reports are read long
    // after they were made, and the program may have placed the window
    // again meanwhile: a geometry from before the last placement is history.
    enum class Echo {
        Stale, // reported before the server took the last placement
        Answer, // the last placement itself: done
        AnswerElsewhere, // its size, at a place a window manager's frame counts from
        Other, // a change the window system made on its own
    };
    struct Asked
    {
        std::uint32_t sequence; // the placement's request
        QRect device;
    };
    // `sequence`: the last of this client's requests the server had taken
    // when it reported (the event's full sequence number).
    static Echo judge(const Asked &asked, std::uint32_t sequence, QRect reported);

    // False where the windows are not X windows.
    static bool available();
    static bool place(QWidget *window, QRect device);
    // The X screen's size in device pixels, on X with one screen.
    static std::optional<QSize> screenSize();
};

} // namespace platform::qt
