// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "tests/support/ProgramFixture.h"

#include "about_window/frmAbout.h"

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>

using namespace platform;
using testsupport::ProgramFixture;

namespace {

QWidget *widget(const Control &control)
{
    return platform::testing::widgetOf(control);
}

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
    EXPECT_EQ(platform::testing::windowOf(about)->size(), QSize(313, 208));

    const QLabel *link = static_cast<QLabel *>(widget(about.lblLink));
    EXPECT_EQ(about.lblLink.caption(), MakerAddress);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_TRUE(link->font().bold());
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->font().pixelSize(), 13);
    EXPECT_TRUE(link->alignment() & Qt::AlignHCenter);
    EXPECT_EQ(QFontInfo(widget(about.lblAbout)->font()).family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(widget(about.lblAbout)->geometry(), QRect(16, 8, 281, 113));
    EXPECT_EQ(widget(about.Label1)->geometry(), QRect(16, 168, 273, 17));
    // The address fits on its label.
    EXPECT_LE(link->fontMetrics().horizontalAdvance(link->text()), link->width());
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
    EXPECT_EQ(static_cast<QLabel *>(widget(program->aboutWindow().lblAbout))
                      ->text()
                      .count(QLatin1Char('\n')),
              4);
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

    platform::testing::windowOf(*first)->close();
    EXPECT_FALSE(program->aboutWindowLoaded());
    main().cmdAbout_Click();
    EXPECT_EQ(program->aboutWindow().lblAbout.caption(), text);
    EXPECT_TRUE(program->aboutWindow().visible());
}

TEST_F(AboutWindow, TheLinkOpensTheAddressWithItsQuery)
{
    main().cmdAbout_Click();
    frmAbout &about = program->aboutWindow();
    QWidget *link = widget(about.lblLink);
    QTest::mouseClick(link, Qt::LeftButton);
    ASSERT_EQ(shell.calls().size(), 1U);
    const auto &call = shell.calls().front();
    EXPECT_EQ(call.hwnd, about.hWnd());
    EXPECT_EQ(call.operation, "Open");
    EXPECT_EQ(call.file, "https://www.example.com/?referrer=pelorin-developers&origin=Pelorin");
    EXPECT_EQ(call.parameters, "");
    EXPECT_EQ(call.directory, "");
    EXPECT_EQ(call.showCommand, 1);

    // The other labels and the window itself do nothing.
    QTest::mouseClick(widget(about.lblAbout), Qt::LeftButton);
    QTest::mouseClick(widget(about.Label1), Qt::LeftButton);
    QTest::mouseClick(platform::testing::windowOf(about), Qt::LeftButton, {}, QPoint(5, 200));
    EXPECT_EQ(shell.calls().size(), 1U);
    EXPECT_TRUE(about.visible());
}

TEST_F(AboutWindow, ClosingTheMainWindowClosesItToo)
{
    main().cmdAbout_Click();
    platform::testing::windowOf(main())->close();
    EXPECT_FALSE(program->aboutWindowLoaded());
    EXPECT_EQ(program->exitCode(), 0);
}

} // namespace
