// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

namespace backend {
class TimerPeer;
}
namespace detail {
struct Access;
}

// Fires its handler every interval while enabled, on the user-interface
// thread, at whole intervals from when it was enabled: neither the
// handlers' running time nor a moment the program is held up shifts the
// ticks after it (ticks missed meanwhile are let go). A tick never
// re-enters its own handler; it does run while another handler waits in a
// message box.
class Timer
{
public:
    Timer();
    ~Timer();
    Timer(const Timer &) = delete;
    Timer &operator=(const Timer &) = delete;

    int interval() const { return milliseconds; }
    // Invalid property value for a negative interval; 0 stops the ticks.
    void setInterval(int milliseconds);
    bool enabled() const { return isEnabled; }
    // Enabling a timer that is already enabled leaves its schedule alone.
    void setEnabled(bool value);
    void onTimer(std::function<void()> handler);

private:
    friend struct detail::Access;
    void update();
    void fire();
    void deliver();

    std::unique_ptr<backend::TimerPeer> peer;
    std::function<void()> handler;
    int milliseconds = 0;
    bool isEnabled = false;
    bool running = false;
    // Since the timer was enabled, and the tick that is due next.
    std::chrono::steady_clock::time_point start;
    std::int64_t tick = 0;
};

} // namespace platform
