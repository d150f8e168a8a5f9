// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Timer.h"

#include "platform/RuntimeError.h"
#include "platform/detail/Dispatch.h"
#include "platform/detail/Schedule.h"

#include <QElapsedTimer>
#include <QTimer>

namespace platform {

struct Timer::Private
{
    QTimer timer;
    // Since the timer was enabled, and the tick that is due next.
    QElapsedTimer clock;
    std::int64_t tick = 0;
    int interval = 0;
    std::function<void()> handler;

    // The next tick is set before the handler runs, so however long it
    // takes, the ticks keep to whole intervals from the start.
    void scheduleNext()
    {
        const std::int64_t now = clock.elapsed();
        tick = detail::nextTick(tick, interval, now);
        timer.start(static_cast<int>(tick * interval - now));
    }
};

Timer::Timer() : d(std::make_unique<Private>())
{
    d->timer.setTimerType(Qt::PreciseTimer);
    d->timer.setSingleShot(true);
    QObject::connect(&d->timer, &QTimer::timeout, &d->timer, [this] {
        d->scheduleNext();
        detail::dispatchTick(d->handler);
    });
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
        if (!d->timer.isActive()) {
            d->clock.start();
            d->tick = 1;
            d->timer.start(d->interval);
        }
    } else {
        d->timer.stop();
    }
}

QObject *Timer::qtimer() const
{
    return &d->timer;
}

void Timer::onTimer(std::function<void()> handler)
{
    d->handler = std::move(handler);
}

} // namespace platform
