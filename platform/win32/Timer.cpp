// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/backend/Timers.h"

#include "platform/win32/App.h"

namespace platform::win32 {

namespace {

// A single wake-up through SetTimer on the program's hidden window: on the
// user-interface thread, and delivered by every modal loop too, a message
// box's included.
class Timer : public backend::TimerPeer
{
public:
    explicit Timer(std::function<void()> timeout) : timeout(std::move(timeout)) { }
    ~Timer() override { stopTimer(id); }
    Timer(const Timer &) = delete;
    Timer &operator=(const Timer &) = delete;

    void start(int milliseconds) override
    {
        running = true;
        startTimer(id, milliseconds, [this] {
            running = false;
            timeout();
        });
    }
    void stop() override
    {
        running = false;
        stopTimer(id);
    }
    bool active() const override { return running; }

private:
    std::function<void()> timeout;
    UINT_PTR id = newTimerId();
    bool running = false;
};

} // namespace

} // namespace platform::win32

namespace platform::backend {

std::unique_ptr<TimerPeer> createTimer(std::function<void()> timeout)
{
    return std::make_unique<win32::Timer>(std::move(timeout));
}

} // namespace platform::backend
