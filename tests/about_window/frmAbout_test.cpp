// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "tests/support/ProgramFixture.h"

#include "about_window/frmAbout.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace platform;
using platform::testing::PixelRect;
using platform::testing::PixelSize;
using testsupport::ProgramFixture;

namespace {

class AboutWindow : public ProgramFixture
{
protected:
    platform::testing::ShellRecorder shell;
};

TEST_F(AboutWindow, IsLaidOutAsDesigned)
{
    main().cmdAbout_Click();
    frmAbout &about = program->aboutWindow();
    EXPECT_TRUE(about.visible());
    EXPECT_EQ(about.caption(), "About Pelorin");
    EXPECT_EQ(about.width(), 4695 + 90);
    EXPECT_EQ(about.height(), 3120 + 480);
    EXPECT_EQ(platform::testing::clientSize(about), (PixelSize{ 313, 208 }));

    EXPECT_EQ(about.lblLink.caption(), MakerAddress);
    EXPECT_EQ(platform::testing::shownText(about.lblLink), MakerAddress);
    EXPECT_EQ(platform::testing::pixelRect(about.lblAbout), (PixelRect{ 16, 8, 281, 113 }));
    EXPECT_EQ(platform::testing::pixelRect(about.lblLink), (PixelRect{ 16, 128, 281, 33 }));
    EXPECT_EQ(platform::testing::pixelRect(about.Label1), (PixelRect{ 16, 168, 273, 17 }));
}

TEST_F(AboutWindow, TheTextHasItsBlankLinesAndEndsAtTheLink)
{
    main().cmdAbout_Click();
    const std::string text = program->aboutWindow().lblAbout.caption();
    const std::string help = "If you have any questions, queries or need help please go to:";
    ASSERT_GE(text.size(), help.size());
    EXPECT_EQ(text.substr(text.size() - help.size()), help);
    EXPECT_EQ(text.rfind("Pelorin is an application built by", 0), 0U);
    // Three texts, two blank lines, nothing else.
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find("\r\n\r\n", from)) != std::string::npos; from = at + 4)
        parts.push_back(text.substr(from, at - from));
    parts.push_back(text.substr(from));
    ASSERT_EQ(parts.size(), 3U);
    for (const std::string &part : parts) {
        EXPECT_FALSE(part.empty());
        EXPECT_EQ(part.find('\r'), std::string::npos);
        EXPECT_EQ(part.find('\n'), std::string::npos);
    }
    // On screen a CR LF pair is one line break.
    const std::string shown = platform::testing::shownText(program->aboutWindow().lblAbout);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 4);
    EXPECT_EQ(shown.find('\r'), std::string::npos);
    EXPECT_EQ(shown.substr(shown.size() - help.size()), help);
}

TEST_F(AboutWindow, OpensOnceAndKeepsItsTextUntilClosed)
{
    main().cmdAbout_Click();
    frmAbout *first = &program->aboutWindow();
    const std::string text = first->lblAbout.caption();
    first->lblAbout.setCaption("changed since it was loaded");
    main().cmdAbout_Click();
    EXPECT_EQ(&program->aboutWindow(), first);
    EXPECT_EQ(first->lblAbout.caption(), "changed since it was loaded"); // no second Load

    platform::testing::closeAsUser(*first);
    EXPECT_FALSE(program->aboutWindowLoaded());
    // The window closed goes once its close is over; nothing of it is left.
    platform::testing::processEvents();
    EXPECT_EQ(platform::testing::visibleWindows(), 1);
    main().cmdAbout_Click();
    EXPECT_EQ(program->aboutWindow().lblAbout.caption(), text);
    EXPECT_TRUE(program->aboutWindow().visible());
}

TEST_F(AboutWindow, TheLinkOpensTheAddressWithItsQuery)
{
    main().cmdAbout_Click();
    frmAbout &about = program->aboutWindow();
    platform::testing::click(about.lblLink);
    ASSERT_EQ(shell.calls().size(), 1U);
    const auto &call = shell.calls().front();
    EXPECT_EQ(call.hwnd, about.hWnd());
    EXPECT_EQ(call.operation, "Open");
    EXPECT_EQ(call.file, "https://www.example.com/?referrer=pelorin-developers&origin=Pelorin");
    EXPECT_EQ(call.parameters, "");
    EXPECT_EQ(call.directory, "");
    EXPECT_EQ(call.showCommand, 1);

    // The other labels and the window itself do nothing.
    platform::testing::click(about.lblAbout);
    platform::testing::click(about.Label1);
    platform::testing::clickAt(about, { 5, 200 });
    EXPECT_EQ(shell.calls().size(), 1U);
    EXPECT_TRUE(about.visible());
}

TEST_F(AboutWindow, ClosingTheMainWindowClosesItToo)
{
    main().cmdAbout_Click();
    platform::testing::closeAsUser(main());
    EXPECT_FALSE(program->aboutWindowLoaded());
    EXPECT_EQ(exits.codes(), std::vector<int>{ 0 });
    EXPECT_EQ(platform::testing::visibleWindows(), 0);
}

} // namespace
