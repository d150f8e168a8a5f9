// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/IdlePointer.h"

#include "platform/detail/ScreenSize.h"

namespace platform::detail {

IdlePointer::IdlePointer(backend::WindowPeer &window)
    : window(window), timer(backend::createTimer([this] { idle(); }))
{ }

IdlePointer::~IdlePointer()
{
    showPointer();
}

void IdlePointer::shown()
{
    wait();
}

void IdlePointer::hidden()
{
    timer->stop();
    showPointer();
}

// Switched down to a window that leaves part of the screen bare, the
// pointer is needed again; back at full screen, it goes after the same
// wait as after a movement.
void IdlePointer::geometryChanged()
{
    if (!window.visible())
        return;
    if (!coversScreen())
        showPointer();
    else if (!hiddenNow)
        wait();
}

void IdlePointer::moved()
{
    showPointer();
    wait();
}

void IdlePointer::idle()
{
    timer->stop();
    if (hiddenNow || !window.visible() || !coversScreen())
        return;
    window.setPointerHidden(true);
    hiddenNow = true;
}

void IdlePointer::wait()
{
    armedFor = IdleMilliseconds;
    timer->start(IdleMilliseconds);
}

bool IdlePointer::coversScreen() const
{
    const PixelPoint at = window.position();
    const PixelSize size = window.clientSize();
    const PixelSize screen = screenPixels();
    return PixelRect{ at.x, at.y, size.width, size.height }.contains(
            { 0, 0, screen.width, screen.height });
}

void IdlePointer::showPointer()
{
    if (!hiddenNow)
        return;
    window.setPointerHidden(false);
    hiddenNow = false;
}

} // namespace platform::detail
