// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/backend/Timers.h"

#include <QTimer>

namespace platform::qt {

// One precise single-shot QTimer: its timeout is the wake-up.
class Timer : public backend::TimerPeer
{
public:
    explicit Timer(std::function<void()> timeout);

    void start(int milliseconds) override { timer.start(milliseconds); }
    void stop() override { timer.stop(); }
    bool active() const override { return timer.isActive(); }
    // What the wake-ups arrive at, for probes that watch the events.
    QObject *object() { return &timer; }

private:
    QTimer timer;
};

} // namespace platform::qt
