// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/backend/Timers.h"
#include "platform/backend/Windows.h"

#include <memory>

namespace platform::detail {

// Hides the mouse pointer over a window that covers the whole screen once
// the mouse has not moved for a while, and shows it again at the next
// movement. One single wake-up, restarted by each movement: nothing runs
// while the mouse is still.
class IdlePointer
{
public:
    static constexpr int IdleMilliseconds = 3000;

    explicit IdlePointer(backend::WindowPeer &window);
    // The pointer comes back with the window's idle pointer.
    ~IdlePointer();
    IdlePointer(const IdlePointer &) = delete;
    IdlePointer &operator=(const IdlePointer &) = delete;

    // What the window does; the form passes it on.
    void shown();
    void hidden();
    void geometryChanged();
    void moved();

    // The wait ran out: the pointer goes if the window covers the screen.
    void idle();
    bool waiting() const { return timer->active(); }
    // How long the wait under way was set for; 0 when none is.
    int waitMilliseconds() const { return timer->active() ? armedFor : 0; }
    bool pointerHidden() const { return hiddenNow; }

private:
    bool coversScreen() const;
    void showPointer();
    void wait();

    backend::WindowPeer &window;
    std::unique_ptr<backend::TimerPeer> timer;
    bool hiddenNow = false;
    int armedFor = 0;
};

} // namespace platform::detail
