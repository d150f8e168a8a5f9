// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Timer.h"

#include "platform/RuntimeError.h"
#include "platform/backend/Timers.h"
#include "platform/detail/Dispatch.h"
#include "platform/detail/Schedule.h"

#include <algorithm>
#include <vector>

namespace platform {

namespace {

// Every timer that exists, so that an error ending the program can stop
// them all. One thread makes and ends timers, as it runs every handler.
std::vector<Timer *> &allTimers()
{
    static std::vector<Timer *> timers;
    return timers;
}

} // namespace

namespace detail {

void stopAllTimers()
{
    for (Timer *timer : allTimers())
        timer->setEnabled(false);
}

} // namespace detail

Timer::Timer() : peer(backend::createTimer([this] { fire(); }))
{
    allTimers().push_back(this);
}

Timer::~Timer()
{
    std::erase(allTimers(), this);
}

void Timer::setInterval(int value)
{
    if (value < 0)
        raise(ErrorNumber::InvalidPropertyValue);
    if (value == milliseconds)
        return;
    milliseconds = value;
    peer->stop();
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
    if (isEnabled && milliseconds > 0) {
        if (!peer->active()) {
            start = std::chrono::steady_clock::now();
            tick = 1;
            peer->start(milliseconds);
        }
    } else {
        peer->stop();
    }
}

// The next tick is set before the handler runs, so however long it takes,
// the ticks keep to whole intervals from the start.
void Timer::fire()
{
    const std::int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now() - start)
                                     .count();
    tick = detail::nextTick(tick, milliseconds, now);
    peer->start(static_cast<int>(tick * milliseconds - now));
    deliver();
}

// A tick that comes while this timer's own handler still runs (it waits in
// a message box) is let go: no handler is ever re-entered.
void Timer::deliver()
{
    if (running)
        return;
    struct Running
    {
        bool &flag;
        explicit Running(bool &flag) : flag(flag) { flag = true; }
        ~Running() { flag = false; }
        Running(const Running &) = delete;
        Running &operator=(const Running &) = delete;
    } guard(running);
    detail::dispatch(handler);
}

void Timer::onTimer(std::function<void()> value)
{
    handler = std::move(value);
}

} // namespace platform
