// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>

class QObject;

namespace platform {

namespace detail {
struct Access;
}

// Fires its handler every interval while enabled, on the user-interface
// thread, at whole intervals from when it was enabled: neither the
// handlers' running time nor a moment the program is held up shifts the
// ticks after it (ticks missed meanwhile are let go). A tick that comes
// while another handler runs is dropped.
class Timer
{
public:
    Timer();
    ~Timer();
    Timer(const Timer &) = delete;
    Timer &operator=(const Timer &) = delete;

    int interval() const;
    // Invalid property value for a negative interval; 0 stops the ticks.
    void setInterval(int milliseconds);
    bool enabled() const { return isEnabled; }
    // Enabling a timer that is already enabled leaves its schedule alone.
    void setEnabled(bool value);
    void onTimer(std::function<void()> handler);

private:
    friend struct detail::Access;
    QObject *qtimer() const;
    void update();

    struct Private;
    std::unique_ptr<Private> d;
    bool isEnabled = false;
};

} // namespace platform
