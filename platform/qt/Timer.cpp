// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/qt/Timer.h"

namespace platform::qt {

Timer::Timer(std::function<void()> timeout)
{
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &timer, std::move(timeout));
}

} // namespace platform::qt

namespace platform::backend {

std::unique_ptr<TimerPeer> createTimer(std::function<void()> timeout)
{
    return std::make_unique<qt::Timer>(std::move(timeout));
}

} // namespace platform::backend
