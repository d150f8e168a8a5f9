// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Application.h"
#include "platform/CommandButton.h"
#include "platform/Form.h"
#include "platform/MsgBox.h"
#include "platform/RuntimeError.h"
#include "platform/Testing.h"
#include "platform/Timer.h"
#include "platform/detail/Schedule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>

using namespace platform;
using platform::testing::PixelPoint;
using platform::testing::PixelSize;

namespace {

class Window : public Form
{
public:
    explicit Window(BorderStyle style = BorderStyle::FixedSingle) : Form(style, 3000, 1500) { }
};

TEST(Dispatcher, AnUncaughtRuntimeErrorShowsTheRuntimesMessageAndEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
            {
                platform::testing::MsgBoxRecorder boxes;
                Window window;
                CommandButton button(window);
                button.move(120, 120, 1200, 375);
                int after = 0;
                button.onClick([&] {
                    ++after;
                    raise(ErrorNumber::Overflow);
                });
                window.show();
                platform::testing::click(button);
                platform::testing::click(button); // nothing runs once the program is ending
                const bool shown = boxes.calls().size() == 1
                        && boxes.calls()[0].prompt == "Run-time error '6':\n\nOverflow"
                        && boxes.calls()[0].style == vbCritical
                        && boxes.calls()[0].title == "Project1" && after == 1;
                std::exit(shown ? Application::exec() : 99);
            },
            ::testing::ExitedWithCode(1), "");
}

// The error's message is the last thing the program shows: a timer still
// ticking behind it would run the program's code under a box that says it
// has ended.
TEST(Dispatcher, TheRuntimeErrorsMessageSwitchesEveryTimerOffFirst)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
            {
                Window window;
                CommandButton button(window);
                button.move(120, 120, 1200, 375);
                button.onClick([] { raise(ErrorNumber::DivisionByZero); });
                Timer ticking;
                int ticks = 0;
                ticking.setInterval(5);
                ticking.onTimer([&] { ++ticks; });
                ticking.setEnabled(true);
                int ticksBehindTheBox = -1;
                bool enabledBehindTheBox = true;
                platform::testing::MsgBoxRecorder boxes([&] {
                    const int before = ticks;
                    // Twenty intervals: a timer left running would tick.
                    platform::testing::waitFor([&] { return ticks > before; }, 100);
                    ticksBehindTheBox = ticks - before;
                    enabledBehindTheBox = ticking.enabled();
                });
                window.show();
                // It did tick before the error.
                if (!platform::testing::waitFor([&] { return ticks >= 3; }))
                    std::exit(98);
                platform::testing::click(button);
                const bool stopped = boxes.calls().size() == 1
                        && boxes.calls()[0].prompt == "Run-time error '11':\n\nDivision by zero"
                        && ticksBehindTheBox == 0 && !enabledBehindTheBox;
                std::exit(stopped ? Application::exec() : 99);
            },
            ::testing::ExitedWithCode(1), "");
}

// A placed borderless window goes by its edges: -500.25 and -400.25 twips
// are -33 and -27 pixels, 5710 and 13340.5 are 381 and 889.
TEST(FormGeometry, ReadsBackExactlyAsSetAndPushesWholePixels)
{
    Window window(BorderStyle::None);
    window.setWidth(100);
    window.setHeight(7630.5);
    window.setLeft(-500.25);
    window.setTop(5710);
    EXPECT_EQ(window.width(), 100);
    EXPECT_EQ(window.height(), 7630.5);
    EXPECT_EQ(window.left(), -500.25);
    EXPECT_EQ(window.top(), 5710);
    EXPECT_EQ(platform::testing::clientSize(window), (PixelSize{ 6, 508 }));
    EXPECT_EQ(platform::testing::position(window), (PixelPoint{ -33, 381 }));
    EXPECT_THROW(window.setWidth(-1), RuntimeError);
    EXPECT_EQ(window.width(), 100);
}

TEST(FormGeometry, ABorderedFormsClientAreaIsItsOuterSizeLessTheDesignedFrame)
{
    Window window;
    EXPECT_EQ(window.width(), 3090);
    EXPECT_EQ(window.height(), 1980);
    EXPECT_EQ(platform::testing::clientSize(window), (PixelSize{ 200, 100 }));
    window.setHeight(2625);
    EXPECT_EQ(platform::testing::clientSize(window), (PixelSize{ 200, 143 }));
}

TEST(FormGeometry, AMoveByTheWindowSystemBecomesTheFormsPosition)
{
    Window window(BorderStyle::None);
    window.setLeft(1500);
    window.setTop(1500);
    window.show();
    platform::testing::moveAsUser(window, { 40, 50 });
    EXPECT_EQ(platform::testing::position(window), (PixelPoint{ 40, 50 }));
    EXPECT_EQ(window.left(), 600);
    EXPECT_EQ(window.top(), 750);
}

TEST(Timers, KeepToWholeIntervalsFromTheirStart)
{
    const struct
    {
        std::int64_t tick, now, next;
    } rows[] = {
        { 1, 1000, 2 }, // on time
        { 1, 1003, 2 }, // a few milliseconds late: the next stays at 2000
        { 3, 3990, 4 }, // late by most of an interval: still due at 4000
        { 3, 4000, 5 }, // woke exactly when the next was due: that one is let go
        { 3, 4200, 5 }, // held up past the next: back onto the schedule at 5000
        { 3, 9999, 10 }, // held up for seconds: the missed ticks are let go
    };
    for (const auto &row : rows)
        EXPECT_EQ(detail::nextTick(row.tick, 1000, row.now), row.next)
                << row.tick << " at " << row.now;
}

// Counts a timer's ticks and how deep its handler is entered.
struct Counted
{
    explicit Counted(int interval, std::function<void(int tick)> inside = {})
    {
        timer.setInterval(interval);
        timer.onTimer([this, inside = std::move(inside)] {
            ++ticks;
            ++depth;
            deepest = std::max(deepest, depth);
            if (inside)
                inside(ticks);
            --depth;
        });
    }
    Timer timer;
    int ticks = 0;
    int depth = 0;
    int deepest = 0;
};

TEST(Timers, FireOnTheirScheduleAndNeverReenterAHandler)
{
    // The other timer is the clock: while it ticks, time passes for the
    // first as well.
    Counted clock(5);
    Counted counted(5, [&](int tick) {
        if (tick == 1) {
            // A modal message box turns the event loop inside the handler;
            // the timer's ticks meanwhile are dropped.
            const int start = clock.ticks;
            EXPECT_TRUE(platform::testing::waitFor([&] { return clock.ticks >= start + 8; }));
        }
    });
    EXPECT_THROW(counted.timer.setInterval(-1), RuntimeError);
    EXPECT_EQ(counted.timer.interval(), 5);
    EXPECT_FALSE(counted.timer.enabled());
    counted.timer.setEnabled(true);
    clock.timer.setEnabled(true);
    EXPECT_TRUE(platform::testing::waitFor([&] { return counted.ticks >= 3; }, 5000));
    EXPECT_EQ(counted.deepest, 1);
    counted.timer.setEnabled(false);
    const int stopped = counted.ticks;
    const int start = clock.ticks;
    EXPECT_TRUE(platform::testing::waitFor([&] { return clock.ticks >= start + 6; }));
    EXPECT_EQ(counted.ticks, stopped);
}

TEST(Timers, AnIntervalOfZeroStopsTheTicks)
{
    Counted clock(5);
    Counted counted(5);
    counted.timer.setEnabled(true);
    clock.timer.setEnabled(true);
    ASSERT_TRUE(platform::testing::waitFor([&] { return counted.ticks >= 1; }));
    counted.timer.setInterval(0);
    EXPECT_TRUE(counted.timer.enabled());
    const int stopped = counted.ticks;
    const int start = clock.ticks;
    EXPECT_TRUE(platform::testing::waitFor([&] { return clock.ticks >= start + 6; }));
    EXPECT_EQ(counted.ticks, stopped);
    // An interval again, and it ticks on.
    counted.timer.setInterval(5);
    EXPECT_TRUE(platform::testing::waitFor([&] { return counted.ticks > stopped; }));
}

// A message box of the program holds up the handler that opened it, not
// the program: the other timers keep ticking while the user reads it.
TEST(Timers, TickWhileAMessageBoxOfTheProgramIsOpen)
{
    Window window;
    CommandButton button(window);
    button.move(120, 120, 1200, 375);
    Counted clock(5);
    int clockTicksInBox = 0;
    int openerTicksInBox = -1;
    const Counted *openerShown = nullptr;
    platform::testing::MsgBoxRecorder boxes([&] {
        const int start = clock.ticks;
        const int opener = openerShown ? openerShown->ticks : 0;
        EXPECT_TRUE(platform::testing::waitFor([&] { return clock.ticks >= start + 5; }));
        clockTicksInBox = clock.ticks - start;
        if (openerShown)
            openerTicksInBox = openerShown->ticks - opener;
    });
    clock.timer.setEnabled(true);

    // Opened by a timer's handler: that timer's ticks are dropped while the
    // box is open, and it ticks on once it is closed.
    Counted opener(5, [](int tick) {
        if (tick == 1)
            MsgBox("Reading");
    });
    openerShown = &opener;
    opener.timer.setEnabled(true);
    ASSERT_TRUE(platform::testing::waitFor([&] { return opener.ticks >= 3; }));
    ASSERT_EQ(boxes.calls().size(), 1U);
    EXPECT_EQ(boxes.calls()[0].prompt, "Reading");
    EXPECT_GE(clockTicksInBox, 5);
    EXPECT_EQ(openerTicksInBox, 0);
    EXPECT_EQ(opener.deepest, 1);
    opener.timer.setEnabled(false);
    openerShown = nullptr;

    // Opened by a click: the same.
    int clicks = 0;
    button.onClick([&] {
        ++clicks;
        MsgBox("Clicked");
    });
    window.show();
    clockTicksInBox = 0;
    platform::testing::click(button);
    ASSERT_EQ(boxes.calls().size(), 2U);
    EXPECT_EQ(boxes.calls()[1].prompt, "Clicked");
    EXPECT_GE(clockTicksInBox, 5);
    EXPECT_EQ(clicks, 1);
}

} // namespace
