// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "tests/support/ProgramFixture.h"

#include <QKeySequence>
#include <QTest>
#include <QWidget>
#include <QWindow>

using namespace platform;
using testsupport::ProgramFixture;

namespace {

// A show on the full 15360 by 11520 screen after its opening.
class RunningShow : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        pictures.jpeg(QStringLiteral("a.jpg"), 400, 300);
        pictures.jpeg(QStringLiteral("b.jpg"), 300, 400);
        start(pictures.path());
        ASSERT_EQ(runOpening(), 16);
    }

    QWidget *window() { return platform::testing::windowOf(show()); }
    QWidget *image() { return platform::testing::widgetOf(show().imgShow); }
};

using EscKey = RunningShow;

TEST_F(EscKey, StopsTheShowAsTheCloseKeyDoes)
{
    QTest::keyClick(window(), Qt::Key_Escape);
    expectStopped();
    EXPECT_TRUE(program->showWindowLoaded());
    // The next start opens from the small square again.
    clickStartStop();
    EXPECT_EQ(main().cmdStartShow.caption(), "Stop Slide Show");
    EXPECT_EQ(runOpening(), 16);
    QTest::keyClick(window(), Qt::Key_Escape);
    expectStopped();
}

TEST_F(EscKey, DuringTheOpeningStopsTheWholeShow)
{
    clickStartStop();
    clickStartStop();
    show().tmrOpen_Timer();
    ASSERT_TRUE(show().tmrOpen.enabled());
    QTest::keyClick(window(), Qt::Key_Escape);
    expectStopped();
}

TEST_F(EscKey, OtherKeysLeaveTheShowRunning)
{
    const struct
    {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } keys[] = {
        { Qt::Key_Space, Qt::NoModifier },  { Qt::Key_Return, Qt::NoModifier },
        { Qt::Key_Q, Qt::NoModifier },      { Qt::Key_F4, Qt::AltModifier },
        { Qt::Key_Left, Qt::NoModifier },   { Qt::Key_Backspace, Qt::NoModifier },
        { Qt::Key_Escape, Qt::NoModifier }, // the last, to see the handler is there
    };
    for (const auto &[key, modifiers] : keys) {
        SCOPED_TRACE(QKeySequence(key).toString().toStdString());
        const bool escape = key == Qt::Key_Escape;
        QTest::keyClick(window(), key, modifiers);
        EXPECT_EQ(show().visible(), !escape);
        EXPECT_EQ(main().cmdStartShow.caption(), escape ? "Start Slide Show" : "Stop Slide Show");
        EXPECT_EQ(show().tmrShow.enabled(), !escape);
    }
}

using IdlePointer = RunningShow;

TEST_F(IdlePointer, WaitsThreeSecondsOnOneSingleShotTimer)
{
    const auto timer = platform::testing::idlePointerTimer(show());
    EXPECT_TRUE(timer.active);
    EXPECT_TRUE(timer.singleShot);
    EXPECT_EQ(timer.interval, 3000);
}

TEST_F(IdlePointer, HidesOverTheFullScreenShowAndComesBackWhenTheMouseMoves)
{
    ASSERT_NE(window()->windowHandle(), nullptr);
    for (const QPoint where : { QPoint(100, 100), QPoint(900, 700), QPoint(512, 384) }) {
        EXPECT_EQ(window()->cursor().shape(), Qt::ArrowCursor);
        platform::testing::firePointerIdle(show());
        // Over the window and over the picture on it.
        EXPECT_EQ(window()->cursor().shape(), Qt::BlankCursor);
        EXPECT_EQ(image()->cursor().shape(), Qt::BlankCursor);

        QTest::mouseMove(window()->windowHandle(), where);
        EXPECT_EQ(window()->cursor().shape(), Qt::ArrowCursor);
        EXPECT_EQ(image()->cursor().shape(), Qt::ArrowCursor);
        // Movement starts the wait again.
        EXPECT_TRUE(platform::testing::idlePointerTimer(show()).active);
    }
}

TEST_F(IdlePointer, StaysOverTheSquareAndComesBackWhenTheShowSwitchesToIt)
{
    show().imgShow_Click();
    ASSERT_EQ(show().width(), SquareSide);
    platform::testing::firePointerIdle(show());
    EXPECT_EQ(window()->cursor().shape(), Qt::ArrowCursor);

    // Back at full screen the wait starts again without a movement.
    show().imgShow_Click();
    ASSERT_EQ(show().width(), 15360);
    EXPECT_TRUE(platform::testing::idlePointerTimer(show()).active);
    platform::testing::firePointerIdle(show());
    EXPECT_EQ(window()->cursor().shape(), Qt::BlankCursor);

    // Hidden, then switched to the square: the pointer is needed at once.
    show().imgShow_Click();
    EXPECT_EQ(window()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(IdlePointer, StaysWhileTheWindowIsStillGrowing)
{
    clickStartStop();
    clickStartStop();
    for (int tick = 0; tick < 15; ++tick) {
        show().tmrOpen_Timer();
        platform::testing::firePointerIdle(show());
        ASSERT_EQ(window()->cursor().shape(), Qt::ArrowCursor) << "tick " << tick + 1;
    }
    show().tmrOpen_Timer();
    platform::testing::firePointerIdle(show());
    EXPECT_EQ(window()->cursor().shape(), Qt::BlankCursor);
}

TEST_F(IdlePointer, ComesBackAndStopsWaitingWhenTheShowStops)
{
    platform::testing::firePointerIdle(show());
    ASSERT_EQ(window()->cursor().shape(), Qt::BlankCursor);
    clickStartStop();
    EXPECT_EQ(window()->cursor().shape(), Qt::ArrowCursor);
    EXPECT_FALSE(platform::testing::idlePointerTimer(show()).active);
    // A hidden window keeps the pointer whatever its size.
    show().setWidth(15360);
    show().setHeight(11520);
    platform::testing::firePointerIdle(show());
    EXPECT_EQ(window()->cursor().shape(), Qt::ArrowCursor);
}

TEST(IdlePointerElsewhere, TheMainWindowNeverHidesThePointer)
{
    platform::testing::MsgBoxRecorder boxes;
    Program program;
    program.start();
    EXPECT_FALSE(program.mainWindow().hideIdlePointer());
    EXPECT_TRUE(program.showWindow().hideIdlePointer());
    EXPECT_TRUE(program.showWindow().keepScreenAwake());
    EXPECT_FALSE(program.mainWindow().keepScreenAwake());
}

} // namespace
