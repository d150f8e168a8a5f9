// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

// A single wake-up on the user-interface thread, as precise as the toolkit
// can make it; the runtime's timers keep their schedule with it.

#include <functional>
#include <memory>

namespace platform::backend {

class TimerPeer
{
public:
    virtual ~TimerPeer() = default;
    // Fires once, `milliseconds` from now; a start while active restarts.
    virtual void start(int milliseconds) = 0;
    virtual void stop() = 0;
    virtual bool active() const = 0;
};

std::unique_ptr<TimerPeer> createTimer(std::function<void()> timeout);

} // namespace platform::backend
