// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "tests/support/ProgramFixture.h"

#include "platform/KeyCodes.h"

#include <string>

using namespace platform;
using platform::testing::PixelPoint;
using testsupport::ProgramFixture;

namespace {

// A show on the full 15360 by 11520 screen after its opening.
class RunningShow : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        pictures.jpeg("a.jpg", 400, 300);
        pictures.jpeg("b.jpg", 300, 400);
        start(pictures.path());
        ASSERT_EQ(runOpening(), 16);
    }

    bool pointerHidden() { return platform::testing::pointerHidden(show()); }
    bool waiting() { return platform::testing::idlePointerWaiting(show()); }
};

using EscKey = RunningShow;

TEST_F(EscKey, StopsTheShowAsTheCloseKeyDoes)
{
    platform::testing::pressKey(show(), vbKeyEscape);
    expectStopped();
    EXPECT_TRUE(program->showWindowLoaded());
    // The next start opens from the small square again.
    clickStartStop();
    EXPECT_EQ(main().cmdStartShow.caption(), "Stop Slide Show");
    EXPECT_EQ(runOpening(), 16);
    platform::testing::pressKey(show(), vbKeyEscape);
    expectStopped();
}

TEST_F(EscKey, DuringTheOpeningStopsTheWholeShow)
{
    clickStartStop();
    clickStartStop();
    show().tmrOpen_Timer();
    ASSERT_TRUE(show().tmrOpen.enabled());
    platform::testing::pressKey(show(), vbKeyEscape);
    expectStopped();
}

TEST_F(EscKey, OtherKeysLeaveTheShowRunning)
{
    // Windows virtual-key codes.
    const struct
    {
        const char *name;
        Integer key;
        unsigned modifiers;
    } keys[] = {
        { "Space", 32, platform::testing::NoModifier },
        { "Return", 13, platform::testing::NoModifier },
        { "Q", 'Q', platform::testing::NoModifier },
        // Not Alt+F4: that is the close key, which stops the show as Esc does.
        { "Alt+F5", 116, platform::testing::Alt },
        { "Left", 37, platform::testing::NoModifier },
        { "Backspace", 8, platform::testing::NoModifier },
        // The last, to see the handler is there.
        { "Escape", vbKeyEscape, platform::testing::NoModifier },
    };
    for (const auto &[name, key, modifiers] : keys) {
        SCOPED_TRACE(name);
        const bool escape = key == vbKeyEscape;
        platform::testing::pressKey(show(), key, modifiers);
        EXPECT_EQ(show().visible(), !escape);
        EXPECT_EQ(main().cmdStartShow.caption(), escape ? "Start Slide Show" : "Stop Slide Show");
        EXPECT_EQ(show().tmrShow.enabled(), !escape);
    }
}

using IdlePointer = RunningShow;

// One wake-up three seconds after the last movement, and nothing after it:
// no wait runs while the mouse is still and the pointer is gone.
TEST_F(IdlePointer, HidesAfterThreeStillSecondsWithASingleWakeUp)
{
    platform::testing::moveMouse(show(), { 200, 200 });
    EXPECT_EQ(platform::testing::idlePointerWaitMilliseconds(show()), 3000);
    EXPECT_FALSE(pointerHidden());
    platform::testing::firePointerIdle(show());
    EXPECT_TRUE(pointerHidden());
    EXPECT_FALSE(waiting());
    EXPECT_EQ(platform::testing::idlePointerWaitMilliseconds(show()), 0);
}

TEST_F(IdlePointer, HidesOverTheFullScreenShowAndComesBackWhenTheMouseMoves)
{
    for (const PixelPoint where :
         { PixelPoint{ 100, 100 }, PixelPoint{ 900, 700 }, PixelPoint{ 512, 384 } }) {
        EXPECT_FALSE(pointerHidden());
        platform::testing::firePointerIdle(show());
        EXPECT_TRUE(pointerHidden());
        EXPECT_FALSE(waiting());

        platform::testing::moveMouse(show(), where);
        EXPECT_FALSE(pointerHidden());
        // Movement starts the wait again.
        EXPECT_TRUE(waiting());
    }
}

TEST_F(IdlePointer, StaysOverTheSquareAndComesBackWhenTheShowSwitchesToIt)
{
    show().imgShow_Click();
    ASSERT_EQ(show().width(), SquareSide);
    platform::testing::firePointerIdle(show());
    EXPECT_FALSE(pointerHidden());

    // Back at full screen the wait starts again without a movement.
    show().imgShow_Click();
    ASSERT_EQ(show().width(), 15360);
    EXPECT_TRUE(waiting());
    platform::testing::firePointerIdle(show());
    EXPECT_TRUE(pointerHidden());

    // Hidden, then switched to the square: the pointer is needed at once.
    show().imgShow_Click();
    EXPECT_FALSE(pointerHidden());
}

TEST_F(IdlePointer, StaysWhileTheWindowIsStillGrowing)
{
    clickStartStop();
    clickStartStop();
    for (int tick = 0; tick < 15; ++tick) {
        show().tmrOpen_Timer();
        platform::testing::firePointerIdle(show());
        ASSERT_FALSE(pointerHidden()) << "tick " << tick + 1;
    }
    show().tmrOpen_Timer();
    platform::testing::firePointerIdle(show());
    EXPECT_TRUE(pointerHidden());
}

TEST_F(IdlePointer, ComesBackAndStopsWaitingWhenTheShowStops)
{
    platform::testing::firePointerIdle(show());
    ASSERT_TRUE(pointerHidden());
    clickStartStop();
    EXPECT_FALSE(pointerHidden());
    EXPECT_FALSE(waiting());
    // A hidden window keeps the pointer whatever its size.
    show().setWidth(15360);
    show().setHeight(11520);
    platform::testing::firePointerIdle(show());
    EXPECT_FALSE(pointerHidden());
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
