// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// The end of the Windows session, as Windows tells it: WM_QUERYENDSESSION
// and WM_ENDSESSION sent to every top-level window, the program's hidden
// one among them. The program ends as when its main window is closed.
#include "tests/platform/win32/Win32Test.h"
#include "tests/support/ProgramFixture.h"

#include "about_window/frmAbout.h"

#include "platform/Application.h"

#include <optional>
#include <string>
#include <vector>

using namespace platform;
using testsupport::ProgramFixture;

namespace {

class SessionEnd : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        Application::onSessionEnd([this] { program->sessionEnded(); });
        pictures.jpeg("a.jpg", 400, 300);
        const std::vector<HWND> found = win32test::threadWindows(L"PelorinApp");
        ASSERT_EQ(found.size(), 1U);
        app = found.front();
    }

    void TearDown() override
    {
        Application::onSessionEnd([] {});
        ProgramFixture::TearDown();
    }

    // A show on screen and the about window open: everything a session's
    // end has to close.
    void openEverything()
    {
        start(pictures.path());
        runOpening();
        main().cmdAbout_Click();
        ASSERT_TRUE(show().visible());
        ASSERT_TRUE(program->aboutWindow().visible());
    }

    HWND app = nullptr;
};

TEST_F(SessionEnd, TheQueryIsAnsweredYesAndChangesNothing)
{
    openEverything();
    EXPECT_EQ(SendMessageW(app, WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_EQ(SendMessageW(app, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    // Another program said no: the session goes on.
    EXPECT_EQ(SendMessageW(app, WM_ENDSESSION, FALSE, 0), 0);
    platform::testing::processEvents();
    EXPECT_TRUE(exits.codes().empty());
    EXPECT_TRUE(main().visible());
    EXPECT_TRUE(show().visible());
    EXPECT_EQ(main().cmdStartShow.caption(), "Stop Slide Show");
}

// The process may be ended as soon as WM_ENDSESSION has been answered: the
// program has ended by then.
TEST_F(SessionEnd, EndsTheProgramAsClosingTheMainWindowDoes)
{
    openEverything();
    EXPECT_EQ(SendMessageW(app, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    SendMessageW(app, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(exits.codes(), std::vector<int>{ 0 });
    EXPECT_FALSE(main().visible());
    EXPECT_FALSE(program->showWindowLoaded());
    EXPECT_FALSE(program->aboutWindowLoaded());
    EXPECT_EQ(platform::testing::visibleWindows(), 0);
}

// The user has a message box open when the session ends: Windows may end
// the process as soon as WM_ENDSESSION is answered, with the handler that
// opened the box still waiting in it, so the program cannot wait for it.
TEST_F(SessionEnd, EndsTheProgramBeforeAnsweringWhileAMessageBoxIsOpen)
{
    openEverything();
    main().cmdStartShow_Click();
    ASSERT_EQ(main().cmdStartShow.caption(), "Start Slide Show");
    struct Seen
    {
        std::vector<int> exits;
        bool mainVisible = true;
        bool showLoaded = true;
        bool aboutLoaded = true;
    };
    std::optional<Seen> seen;
    platform::testing::MsgBoxRecorder box([&] {
        SendMessageW(app, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        seen = Seen{ exits.codes(), main().visible(), program->showWindowLoaded(),
                     program->aboutWindowLoaded() };
    });
    main().txtChange.setText("not a number");
    // Through the button, so that its handler runs as the user's click's
    // does and waits in the box.
    platform::testing::click(main().cmdStartShow);
    ASSERT_EQ(box.calls().size(), 1U);
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->exits, std::vector<int>{ 0 });
    EXPECT_FALSE(seen->mainVisible);
    EXPECT_FALSE(seen->showLoaded);
    EXPECT_FALSE(seen->aboutLoaded);
}

TEST_F(SessionEnd, LeavesWhatTheCloseBoxLeaves)
{
    openEverything();
    SendMessageW(app, WM_ENDSESSION, TRUE, 0);
    platform::testing::processEvents();
    const std::vector<int> bySession = exits.codes();
    const bool mainBySession = main().visible();
    const bool showBySession = program->showWindowLoaded();
    const bool aboutBySession = program->aboutWindowLoaded();
    const int windowsBySession = platform::testing::visibleWindows();

    // The same program again, closed by the user.
    exits.clear();
    program = std::make_unique<Program>();
    program->start();
    openEverything();
    platform::testing::closeAsUser(main());
    platform::testing::processEvents();
    EXPECT_EQ(bySession, exits.codes());
    EXPECT_EQ(mainBySession, main().visible());
    EXPECT_EQ(showBySession, program->showWindowLoaded());
    EXPECT_EQ(aboutBySession, program->aboutWindowLoaded());
    EXPECT_EQ(windowsBySession, platform::testing::visibleWindows());
}

} // namespace
