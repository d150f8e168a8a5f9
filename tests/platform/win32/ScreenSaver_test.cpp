// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// While a show is on screen, Windows is told the display and the system are
// needed (SetThreadExecutionState), once, and told it no more however the
// show ends.
#include "tests/support/ProgramFixture.h"

#include "platform/KeyCodes.h"
#include "platform/win32/Desktop.h"

#include <string>
#include <vector>

using namespace platform;
using testsupport::ProgramFixture;

namespace {

constexpr EXECUTION_STATE Held = ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED;
constexpr EXECUTION_STATE Released = ES_CONTINUOUS;
constexpr Integer F4Key = 115;

// The execution states asked for, instead of the system, while it lives.
class ExecutionStates
{
public:
    ExecutionStates()
        : previous(win32::setExecutionStateHook(
                [this](EXECUTION_STATE state) { asked.push_back(state); }))
    { }
    ~ExecutionStates() { win32::setExecutionStateHook(std::move(previous)); }
    ExecutionStates(const ExecutionStates &) = delete;
    ExecutionStates &operator=(const ExecutionStates &) = delete;

    std::vector<EXECUTION_STATE> asked;

private:
    win32::ExecutionStateHook previous;
};

enum class Ending { StopButton, Escape, AltF4, MainWindowClosed };

std::string nameOf(const ::testing::TestParamInfo<Ending> &info)
{
    switch (info.param) {
    case Ending::StopButton:
        return "StopButton";
    case Ending::Escape:
        return "Escape";
    case Ending::AltF4:
        return "AltF4";
    case Ending::MainWindowClosed:
        return "MainWindowClosed";
    }
    return "Unknown";
}

class ScreenSaver : public ProgramFixture, public ::testing::WithParamInterface<Ending>
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        pictures.jpeg("a.jpg", 400, 300);
        pictures.jpeg("b.jpg", 300, 400);
    }

    void end(Ending how)
    {
        switch (how) {
        case Ending::StopButton:
            clickStartStop();
            break;
        case Ending::Escape:
            platform::testing::pressKey(show(), vbKeyEscape);
            break;
        case Ending::AltF4:
            platform::testing::pressKey(show(), F4Key, platform::testing::Alt);
            break;
        case Ending::MainWindowClosed:
            platform::testing::closeAsUser(main());
            break;
        }
        platform::testing::processEvents();
    }

    // Declared before the program's fixture ends: the show window's own
    // release, when it is unloaded, is heard too.
    ExecutionStates states;
};

TEST_P(ScreenSaver, IsHeldOnceWhileAShowIsOnScreenAndLetGoHoweverItEnds)
{
    EXPECT_TRUE(states.asked.empty());
    start(pictures.path());
    ASSERT_TRUE(show().visible());
    EXPECT_EQ(states.asked, std::vector<EXECUTION_STATE>{ Held });
    runOpening();
    // The square and back to the whole screen: the same show, the same hold.
    for (int click = 0; click < 2; ++click) {
        platform::testing::click(show().imgShow);
        EXPECT_EQ(show().width(), click == 0 ? 5000 : 15360);
    }
    show().tmrShow_Timer();
    EXPECT_EQ(states.asked, std::vector<EXECUTION_STATE>{ Held });

    end(GetParam());
    EXPECT_EQ(states.asked, (std::vector<EXECUTION_STATE>{ Held, Released }));
    if (GetParam() == Ending::MainWindowClosed) {
        EXPECT_EQ(exits.codes(), std::vector<int>{ 0 });
        EXPECT_FALSE(program->showWindowLoaded());
        return;
    }
    EXPECT_FALSE(show().visible());

    // The next show holds again.
    clickStartStop();
    runOpening();
    EXPECT_EQ(states.asked, (std::vector<EXECUTION_STATE>{ Held, Released, Held }));
    clickStartStop();
    EXPECT_EQ(states.asked, (std::vector<EXECUTION_STATE>{ Held, Released, Held, Released }));
}

INSTANTIATE_TEST_SUITE_P(Endings, ScreenSaver,
                         ::testing::Values(Ending::StopButton, Ending::Escape, Ending::AltF4,
                                           Ending::MainWindowClosed),
                         nameOf);

} // namespace
