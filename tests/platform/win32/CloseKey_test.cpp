// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// Alt+F4 through Windows' own handling of the key (DefWindowProc turns it
// into the system menu's Close, which sends WM_CLOSE): on the show it stops
// the show as the stop button does, on the other windows it closes them.
#include "tests/support/ProgramFixture.h"

#include "about_window/frmAbout.h"

#include "platform/KeyCodes.h"

#include <string>
#include <vector>

using namespace platform;
using testsupport::ProgramFixture;

namespace {

constexpr Integer F4Key = 115;

// What a stopped show leaves, to compare one way of stopping with another.
struct Stopped
{
    std::string caption;
    bool secondsEnabled;
    bool opening;
    bool showing;
    bool showVisible;
    double showWidth;
    double showHeight;
    bool showLoaded;
    bool mainVisible;
    std::vector<int> exits;
    std::size_t messages;
    bool operator==(const Stopped &) const = default;
};

void PrintTo(const Stopped &state, std::ostream *out)
{
    *out << "caption \"" << state.caption << "\", seconds " << state.secondsEnabled << ", opening "
         << state.opening << ", showing " << state.showing << ", show visible " << state.showVisible
         << " " << state.showWidth << " by " << state.showHeight << ", loaded " << state.showLoaded
         << ", main visible " << state.mainVisible << ", " << state.exits.size() << " exits, "
         << state.messages << " messages";
}

class CloseKey : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        pictures.jpeg("a.jpg", 400, 300);
        pictures.jpeg("b.jpg", 300, 400);
    }

    Stopped state()
    {
        return { main().cmdStartShow.caption(),
                 main().txtChange.enabled(),
                 show().tmrOpen.enabled(),
                 show().tmrShow.enabled(),
                 show().visible(),
                 show().width().value(),
                 show().height().value(),
                 program->showWindowLoaded(),
                 main().visible(),
                 exits.codes(),
                 boxes.calls().size() };
    }
};

TEST_F(CloseKey, OnTheShowStopsItAsTheStopButtonDoes)
{
    const struct
    {
        const char *name;
        std::function<void()> press;
    } ways[] = {
        { "stop button", [&] { clickStartStop(); } },
        { "Alt+F4", [&] { platform::testing::pressKey(show(), F4Key, platform::testing::Alt); } },
        { "Esc", [&] { platform::testing::pressKey(show(), vbKeyEscape); } },
    };
    std::vector<Stopped> afterOpening;
    std::vector<Stopped> duringOpening;
    for (const auto &way : ways) {
        SCOPED_TRACE(way.name);
        start(pictures.path());
        ASSERT_EQ(runOpening(), 16);
        way.press();
        platform::testing::processEvents();
        expectStopped();
        afterOpening.push_back(state());

        start(pictures.path());
        for (int tick = 0; tick < 3; ++tick)
            show().tmrOpen_Timer();
        ASSERT_TRUE(show().tmrOpen.enabled());
        way.press();
        platform::testing::processEvents();
        expectStopped();
        duringOpening.push_back(state());
    }
    for (std::size_t i = 1; i < afterOpening.size(); ++i) {
        SCOPED_TRACE(ways[i].name);
        EXPECT_EQ(afterOpening[i], afterOpening[0]);
        EXPECT_EQ(duringOpening[i], duringOpening[0]);
    }
    EXPECT_TRUE(main().visible());
    EXPECT_TRUE(exits.codes().empty());
}

TEST_F(CloseKey, ClosesTheAboutWindowAndLeavesTheMainWindow)
{
    main().cmdAbout_Click();
    ASSERT_TRUE(program->aboutWindow().visible());
    platform::testing::pressKey(program->aboutWindow(), F4Key, platform::testing::Alt);
    ASSERT_TRUE(platform::testing::waitFor([&] { return !program->aboutWindowLoaded(); }, 2000));
    EXPECT_TRUE(main().visible());
    EXPECT_TRUE(exits.codes().empty());
    EXPECT_EQ(platform::testing::visibleWindows(), 1);
    // It opens again as new.
    main().cmdAbout_Click();
    EXPECT_TRUE(program->aboutWindow().visible());
}

TEST_F(CloseKey, OnTheMainWindowEndsTheProgramAsItsCloseBoxDoes)
{
    main().cmdAbout_Click();
    start(pictures.path());
    runOpening();
    platform::testing::pressKey(main(), F4Key, platform::testing::Alt);
    platform::testing::processEvents();
    EXPECT_EQ(exits.codes(), std::vector<int>{ 0 });
    EXPECT_FALSE(main().visible());
    EXPECT_FALSE(program->showWindowLoaded());
    EXPECT_FALSE(program->aboutWindowLoaded());
    EXPECT_EQ(platform::testing::visibleWindows(), 0);
}

} // namespace
