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

#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

using namespace platform;

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
                int after = 0;
                button.onClick([&] {
                    ++after;
                    raise(ErrorNumber::Overflow);
                });
                auto *push = static_cast<QPushButton *>(platform::testing::widgetOf(button));
                push->click();
                push->click(); // nothing runs once the program is ending
                const bool shown = boxes.calls().size() == 1
                        && boxes.calls()[0].prompt == "Run-time error '6':\n\nOverflow"
                        && boxes.calls()[0].style == vbCritical
                        && boxes.calls()[0].title == "Project1" && after == 1;
                std::exit(shown ? Application::exec() : 99);
            },
            ::testing::ExitedWithCode(1), "");
}

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
    const QWidget *widget = platform::testing::windowOf(window);
    EXPECT_EQ(widget->size(), QSize(7, 509));
    EXPECT_EQ(widget->pos(), QPoint(-33, 381));
    EXPECT_THROW(window.setWidth(-1), RuntimeError);
}

TEST(FormGeometry, ABorderedFormsClientAreaIsItsOuterSizeLessTheDesignedFrame)
{
    Window window;
    EXPECT_EQ(window.width(), 3090);
    EXPECT_EQ(window.height(), 1980);
    window.setHeight(2625);
    EXPECT_EQ(platform::testing::windowOf(window)->size(), QSize(200, 143));
}

TEST(FormGeometry, AMoveByTheWindowSystemBecomesTheFormsPosition)
{
    Window window(BorderStyle::None);
    window.setLeft(1500);
    window.setTop(1500);
    window.show();
    platform::testing::windowOf(window)->move(40, 50);
    QCoreApplication::processEvents();
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

TEST(Timers, FireOnTheirScheduleAndNeverReenterAHandler)
{
    Timer timer;
    EXPECT_THROW(timer.setInterval(-1), RuntimeError);
    timer.setInterval(5);
    int ticks = 0;
    int nested = 0;
    timer.onTimer([&] {
        ++ticks;
        if (ticks == 1) {
            // A modal message box turns the event loop inside the handler;
            // the timer's ticks meanwhile are dropped.
            QTest::qWait(40);
            nested = ticks;
        }
    });
    EXPECT_FALSE(timer.enabled());
    timer.setEnabled(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, 5000));
    EXPECT_EQ(nested, 1);
    timer.setEnabled(false);
    const int stopped = ticks;
    QTest::qWait(30);
    EXPECT_EQ(ticks, stopped);
}

} // namespace
