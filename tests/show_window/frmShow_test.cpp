// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "tests/support/ProgramFixture.h"

#include "show_window/Ratio.h"

#include <QWidget>

using namespace platform;
using testsupport::ProgramFixture;

namespace {

class Opening : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        pictures.jpeg(QStringLiteral("a.jpg"), 400, 300);
        start(pictures.path());
    }
};

TEST_F(Opening, GrowsTickByTickToTheFullScreen)
{
    // Width, height, left and top after each tick on 15360 by 11520.
    for (int tick = 1; tick <= 16; ++tick) {
        show().tmrOpen_Timer();
        SCOPED_TRACE("tick " + std::to_string(tick));
        const double side = 100 + 1000.0 * tick;
        const bool heightDone = tick >= 12;
        const bool widthDone = tick >= 16;
        EXPECT_EQ(show().width(), widthDone ? 15360 : side);
        EXPECT_EQ(show().left(), widthDone ? 0 : 7630 - 500.0 * tick);
        EXPECT_EQ(show().height(), heightDone ? 11520 : side);
        EXPECT_EQ(show().top(), heightDone ? 0 : 5710 - 500.0 * tick);
        EXPECT_EQ(show().timer_height, heightDone ? False : True);
        EXPECT_EQ(show().timer_width, widthDone ? False : True);
        EXPECT_EQ(show().tmrOpen.enabled(), !widthDone);
        EXPECT_EQ(show().tmrShow.enabled(), widthDone);
        // The picture is stretched over the whole window at every tick.
        EXPECT_EQ(show().imgShow.width(), show().width());
        EXPECT_EQ(show().imgShow.height(), show().height());
        EXPECT_EQ(show().imgShow.left(), 0);
        EXPECT_EQ(show().imgShow.top(), 0);
    }
    EXPECT_EQ(show().tickCount(), 0);
    EXPECT_EQ(platform::testing::windowOf(show())->geometry(), QRect(0, 0, 1024, 768));
}

TEST(OpeningOnAWiderScreen, ReachesTheWidthExactlyAtTick16)
{
    platform::testing::ScreenOverride screen(16100, 11520);
    platform::testing::MsgBoxRecorder boxes;
    testsupport::TempFolder folder;
    folder.jpeg(QStringLiteral("a.jpg"), 40, 30);
    Program program;
    program.start();
    program.mainWindow().txtFolder.setText(folder.path());
    program.mainWindow().cmdStartShow_Click();
    frmShow &show = program.showWindow();
    EXPECT_EQ(show.left(), 8000);
    for (int tick = 1; tick <= 15; ++tick)
        show.tmrOpen_Timer();
    EXPECT_EQ(show.timer_width, True);
    show.tmrOpen_Timer();
    EXPECT_EQ(show.width(), 16100);
    EXPECT_EQ(show.left(), 0);
    EXPECT_EQ(show.timer_width, False);
    EXPECT_FALSE(show.tmrOpen.enabled());
}

TEST(Ratio, RoundsHalfToEvenAndHoldsAtTheIntegerLimit)
{
    const struct
    {
        Long longer, shorter;
        Integer expected;
    } rows[] = { { 4, 3, 1 },           { 3, 2, 2 },
                 { 5, 2, 2 },           { 7, 2, 4 },
                 { 1920, 1080, 2 },     { 1, 1, 1 },
                 { 65534, 2, 32767 },   { 65535, 2, 32767 },
                 { 851968, 26, 32767 }, { 2147483647, 1, 32767 } };
    for (const auto &row : rows)
        EXPECT_EQ(wholeRatio(row.longer, row.shorter), row.expected)
                << row.longer << "/" << row.shorter;
}

} // namespace
