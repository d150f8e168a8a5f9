// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Timer.h"

#include "platform/RuntimeError.h"
#include "platform/detail/Dispatch.h"

#include <QTimer>

namespace platform {

struct Timer::Private
{
    QTimer timer;
    int interval = 0;
    std::function<void()> handler;
};

Timer::Timer() : d(std::make_unique<Private>())
{
    // Precise timers are scheduled from their previous due time, so the
    // ticks keep their cadence however long each handler takes.
    d->timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&d->timer, &QTimer::timeout, &d->timer,
                     [this] { detail::dispatchTick(d->handler); });
}

Timer::~Timer() = default;

int Timer::interval() const
{
    return d->interval;
}

void Timer::setInterval(int milliseconds)
{
    if (milliseconds < 0)
        raise(ErrorNumber::InvalidPropertyValue);
    if (milliseconds == d->interval)
        return;
    d->interval = milliseconds;
    d->timer.stop();
    update();
}

void Timer::setEnabled(bool value)
{
    if (value == isEnabled)
        return;
    isEnabled = value;
    update();
}

void Timer::update()
{
    if (isEnabled && d->interval > 0) {
        if (!d->timer.isActive())
            d->timer.start(d->interval);
    } else {
        d->timer.stop();
    }
}

void Timer::onTimer(std::function<void()> handler)
{
    d->handler = std::move(handler);
}

} // namespace platform
