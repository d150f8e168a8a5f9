// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "tests/support/ProgramFixture.h"

#include <QKeySequence>
#include <QTest>
#include <QWidget>

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

    void expectStopped()
    {
        EXPECT_EQ(main().cmdStartShow.caption(), "Start Slide Show");
        EXPECT_TRUE(main().txtChange.enabled());
        EXPECT_FALSE(show().visible());
        EXPECT_FALSE(show().tmrOpen.enabled());
        EXPECT_FALSE(show().tmrShow.enabled());
        EXPECT_EQ(show().width(), 100);
        EXPECT_EQ(show().height(), 100);
    }
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

} // namespace
