// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "tests/support/ProgramFixture.h"
#include "tests/support/System.h"

#include "show_window/Ratio.h"

#include <cmath>
#include <filesystem>
#include <random>
#include <tuple>

using namespace platform;
using platform::testing::PixelPoint;
using platform::testing::PixelRect;
using platform::testing::PixelSize;
using testsupport::nativePath;
using testsupport::ProgramFixture;

namespace {

class Opening : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        pictures.jpeg("a.jpg", 400, 300);
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
    EXPECT_EQ(platform::testing::position(show()), (PixelPoint{ 0, 0 }));
    EXPECT_EQ(platform::testing::clientSize(show()), (PixelSize{ 1024, 768 }));
    EXPECT_EQ(platform::testing::pixelRect(show().imgShow), (PixelRect{ 0, 0, 1024, 768 }));
}

TEST(OpeningOnAWiderScreen, ReachesTheWidthExactlyAtTick16)
{
    platform::testing::ScreenOverride screen(16100, 11520);
    platform::testing::MsgBoxRecorder boxes;
    testsupport::TempFolder folder;
    folder.jpeg("a.jpg", 40, 30);
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

namespace {

// A show running on 15360 by 11520 after its opening.
class Advance : public ProgramFixture
{
protected:
    // Starts on the given pictures (name, width, height), runs the opening.
    void startShow(std::initializer_list<std::tuple<const char *, int, int>> files,
                   const std::string &seconds = "1")
    {
        for (const auto &[name, width, height] : files)
            pictures.jpeg(name, width, height);
        start(pictures.path(), seconds);
        ASSERT_EQ(runOpening(), 16);
    }

    struct Frame
    {
        double width, height, left, top;
        Integer widthBigger;
        Integer ratio;
        bool operator==(const Frame &) const = default;
    };
    Frame frame()
    {
        const Image &image = show().imgShow;
        return { image.width().value(), image.height().value(), image.left().value(),
                 image.top().value(),   show().width_bigger,    show().target_ratio };
    }

    std::string current() { return main().File1.fileName(); }
};

// Each forward step fits the picture to the window; a change of
// orientation re-centres it, and the wrap to the first picture keeps the
// frame of the last.
TEST_F(Advance, FitsEachStepAndRecentresOnlyWhenTheOrientationTurns)
{
    startShow({ { "1 four-three.jpg", 400, 300 },
                { "2 three-two.jpg", 600, 400 },
                { "3 two-three.jpg", 400, 600 },
                { "4 three-four.jpg", 300, 400 } });
    EXPECT_EQ(show().width_bigger, True);

    const struct
    {
        const char *file;
        double width, height, left, top;
        Integer widthBigger, ratio;
    } rows[] = {
        { "2 three-two.jpg", 15360, 5760, 0, 0, True, 2 },
        { "3 two-three.jpg", 7680, 11520, 3840, 0, False, 2 },
        { "4 three-four.jpg", 15360, 11520, 3840, 0, False, 1 }, // reaches past the right edge
        { "1 four-three.jpg", 15360, 11520, 3840, 0, False, 1 }, // the wrap keeps the frame
        { "2 three-two.jpg", 15360, 5760, 0, 2880, True, 2 },
    };
    for (const auto &row : rows) {
        show().tmrShow_Timer();
        SCOPED_TRACE(row.file);
        EXPECT_EQ(current(), row.file);
        EXPECT_EQ(show().imgShow.width(), row.width);
        EXPECT_EQ(show().imgShow.height(), row.height);
        EXPECT_EQ(show().imgShow.left(), row.left);
        EXPECT_EQ(show().imgShow.top(), row.top);
        EXPECT_EQ(show().width_bigger, row.widthBigger);
        EXPECT_EQ(show().target_ratio, row.ratio);
        EXPECT_EQ(show().tickCount(), 0);
    }
}

TEST_F(Advance, ChangesAtTheWholeNumberOfSeconds)
{
    for (const char *seconds : { "1", "2.7", "3" }) {
        program = std::make_unique<Program>();
        program->start();
        testsupport::TempFolder folder;
        folder.jpeg("a.jpg", 40, 30);
        folder.jpeg("b.jpg", 40, 30);
        start(folder.path(), seconds);
        runOpening();
        const int expected = static_cast<int>(std::floor(std::stod(seconds)));
        SCOPED_TRACE(seconds);
        for (int tick = 1; tick < expected; ++tick) {
            show().tmrShow_Timer();
            EXPECT_EQ(current(), "a.jpg") << "tick " << tick;
            EXPECT_EQ(show().tickCount(), tick);
        }
        show().tmrShow_Timer();
        EXPECT_EQ(current(), "b.jpg");
        EXPECT_EQ(show().tickCount(), 0);
        program.reset();
    }
}

TEST_F(Advance, AListOfOneEntryWrapsWithoutAFit)
{
    startShow({ { "only.jpg", 900, 300 } });
    for (int change = 0; change < 3; ++change) {
        show().tmrShow_Timer();
        EXPECT_EQ(current(), "only.jpg");
        // Stretched over the whole window as the opening left it.
        EXPECT_EQ(show().imgShow.width(), 15360);
        EXPECT_EQ(show().imgShow.height(), 11520);
        EXPECT_EQ(show().imgShow.left(), 0);
        EXPECT_EQ(show().imgShow.top(), 0);
        EXPECT_EQ(show().tickCount(), 0);
    }
}

TEST_F(Advance, ASquareAfterAPortraitFillsTheWindowAtTheCorner)
{
    startShow({ { "1.jpg", 400, 300 }, { "2.jpg", 300, 600 }, { "3.jpg", 500, 500 } });
    show().tmrShow_Timer();
    EXPECT_EQ(show().imgShow.left(), 3840);
    show().tmrShow_Timer();
    EXPECT_EQ(show().width_bigger, True);
    EXPECT_EQ(show().target_ratio, 1);
    EXPECT_EQ(show().imgShow.width(), 15360);
    EXPECT_EQ(show().imgShow.height(), 11520);
    EXPECT_EQ(show().imgShow.left(), 0);
    EXPECT_EQ(show().imgShow.top(), 0);
}

TEST_F(Advance, TwoPortraitsInARowKeepTheFirstsPlace)
{
    startShow({ { "1.jpg", 400, 300 }, { "2.jpg", 400, 600 }, { "3.jpg", 200, 600 } });
    show().tmrShow_Timer();
    EXPECT_EQ(show().imgShow.width(), 7680);
    EXPECT_EQ(show().imgShow.left(), 3840);
    show().tmrShow_Timer();
    EXPECT_EQ(show().target_ratio, 3);
    EXPECT_EQ(show().imgShow.width(), 5120);
    EXPECT_EQ(show().imgShow.left(), 3840);
    EXPECT_EQ(show().imgShow.top(), 0);
}

TEST_F(Advance, FitsToTheSmallSquareWhenTheWindowIsOne)
{
    startShow({ { "1.jpg", 400, 300 }, { "2.jpg", 400, 600 }, { "3.jpg", 900, 300 } });
    show().setWidth(5000);
    show().setHeight(5000);
    show().setLeft(5180);
    show().setTop(3260);
    show().tmrShow_Timer();
    EXPECT_EQ(show().imgShow.width(), 2500);
    EXPECT_EQ(show().imgShow.height(), 5000);
    EXPECT_EQ(show().imgShow.left(), 1250);
    EXPECT_EQ(show().imgShow.top(), 0);
    show().tmrShow_Timer();
    EXPECT_EQ(show().target_ratio, 3);
    EXPECT_EQ(show().imgShow.width(), 5000);
    EXPECT_EQ(show().imgShow.height(), Single(5000.0 / 3));
    EXPECT_EQ(show().imgShow.left(), 0);
    EXPECT_EQ(show().imgShow.top(), 2500 - Single(5000.0 / 3).value() / 2);
}

TEST_F(Advance, AFileDeletedDuringTheShowIsPassedOver)
{
    startShow({ { "1.jpg", 400, 300 }, { "2.jpg", 400, 600 }, { "3.jpg", 600, 400 } });
    ASSERT_TRUE(std::filesystem::remove(nativePath(pictures.file("2.jpg"))));
    show().tmrShow_Timer();
    EXPECT_EQ(current(), "3.jpg");
    EXPECT_EQ(show().imgShow.picture().width(), 600 * 26);
    EXPECT_EQ(show().imgShow.height(), 5760); // fitted
    EXPECT_EQ(show().tickCount(), 0);
    EXPECT_TRUE(messages().empty());
}

TEST_F(Advance, AnUnloadableFirstEntryAtTheWrapGoesOnWithAForwardStep)
{
    startShow({ { "1.jpg", 400, 300 }, { "2.jpg", 400, 600 }, { "3.jpg", 600, 400 } });
    show().tmrShow_Timer();
    show().tmrShow_Timer();
    pictures.write("1.jpg", "no longer a picture");
    show().tmrShow_Timer(); // the wrap fails on 1.jpg, so 2.jpg follows, fitted
    EXPECT_EQ(current(), "2.jpg");
    EXPECT_EQ(show().width_bigger, False);
    EXPECT_EQ(show().imgShow.width(), 7680);
    EXPECT_EQ(show().imgShow.left(), 3840);
}

TEST_F(Advance, WhenNothingLoadsTheCurrentPictureStays)
{
    startShow({ { "1.jpg", 400, 300 }, { "2.jpg", 400, 600 } });
    const Picture shown = show().imgShow.picture();
    const Frame before = frame();
    for (const char *name : { "1.jpg", "2.jpg" })
        ASSERT_TRUE(std::filesystem::remove(nativePath(pictures.file(name))));
    for (int tick = 0; tick < 3; ++tick) {
        show().tmrShow_Timer();
        EXPECT_EQ(show().imgShow.picture().width(), shown.width());
        EXPECT_TRUE(frame() == before);
        EXPECT_EQ(show().tickCount(), 0);
        EXPECT_TRUE(show().tmrShow.enabled());
    }
    EXPECT_TRUE(messages().empty());
}

TEST_F(Advance, AnEmptyPlayListLeavesTheCurrentPicture)
{
    startShow({ { "1.jpg", 400, 300 }, { "2.jpg", 400, 600 } });
    testsupport::TempFolder empty;
    main().File1.setPath(empty.path()); // what browsing to that folder does
    const Frame before = frame();
    show().tmrShow_Timer();
    EXPECT_EQ(main().File1.listCount(), 0);
    EXPECT_EQ(main().File1.listIndex(), -1);
    EXPECT_TRUE(frame() == before);
    EXPECT_EQ(show().imgShow.picture().width(), 400 * 26);
    EXPECT_EQ(show().tickCount(), 0);
}

TEST_F(Advance, AChangeOfFolderPlaysTheNewFolderFromItsFirstPicture)
{
    startShow({ { "1.jpg", 400, 300 }, { "2.jpg", 400, 600 } });
    testsupport::TempFolder other;
    other.jpeg("x.jpg", 300, 900);
    other.jpeg("y.jpg", 900, 300);
    main().File1.setPath(other.path());
    show().tmrShow_Timer();
    EXPECT_EQ(main().File1.path(), other.path());
    EXPECT_EQ(current(), "x.jpg");
    EXPECT_EQ(show().target_ratio, 3);
}

} // namespace

namespace {

struct Geometry
{
    double width, height, left, top;
    bool operator==(const Geometry &) const = default;
};

void PrintTo(const Geometry &g, std::ostream *out)
{
    *out << g.width << " by " << g.height << " at " << g.left << ", " << g.top;
}

const Geometry FullScreen{ 15360, 11520, 0, 0 };
const Geometry CentredSquare{ 5000, 5000, 5180, 3260 };

class ShowWindow : public ProgramFixture
{
protected:
    Geometry window()
    {
        return { show().width().value(), show().height().value(), show().left().value(),
                 show().top().value() };
    }
};

class Toggle : public ShowWindow
{
protected:
    void SetUp() override
    {
        ShowWindow::SetUp();
        pictures.jpeg("a.jpg", 400, 300);
        pictures.jpeg("b.jpg", 300, 400);
        start(pictures.path(), "2");
    }
};

TEST_F(Toggle, SwitchesBetweenFullScreenAndTheCentredSquare)
{
    runOpening();
    for (const Geometry &expected : { CentredSquare, FullScreen, CentredSquare, FullScreen }) {
        show().imgShow_Click();
        EXPECT_EQ(window(), expected);
    }
    // A click on the window around the picture does the same.
    show().Form_Click();
    EXPECT_EQ(window(), CentredSquare);
    // The image keeps its size and place until the next fit.
    EXPECT_EQ(show().imgShow.width(), 15360);
    EXPECT_EQ(show().imgShow.height(), 11520);
}

TEST_F(Toggle, OnASmallScreenEveryClickMakesTheWindowFullScreen)
{
    platform::testing::ScreenOverride small(4800, 6000);
    program = std::make_unique<Program>();
    program->start();
    start(pictures.path(), "2");
    runOpening();
    EXPECT_EQ(window(), (Geometry{ 4800, 6000, 0, 0 }));
    for (int click = 0; click < 3; ++click) {
        show().imgShow_Click();
        EXPECT_EQ(window(), (Geometry{ 4800, 6000, 0, 0 }));
    }
}

TEST_F(Toggle, AClickEarlyInTheOpeningMakesItFullScreenAndTheNextTickEndsIt)
{
    for (int tick = 0; tick < 3; ++tick) // 3100 twips a side
        show().tmrOpen_Timer();
    show().imgShow_Click();
    EXPECT_EQ(window(), FullScreen);
    show().tmrOpen_Timer();
    EXPECT_EQ(window(), FullScreen);
    EXPECT_FALSE(show().tmrOpen.enabled());
    EXPECT_TRUE(show().tmrShow.enabled());
}

TEST_F(Toggle, AClickAfterTheHeightHasFinishedEndsTheOpeningAWideStrip)
{
    for (int tick = 0; tick < 12; ++tick)
        show().tmrOpen_Timer();
    ASSERT_EQ(show().timer_height, False);
    show().imgShow_Click();
    EXPECT_EQ(window(), CentredSquare);
    runOpening();
    EXPECT_EQ(window(), (Geometry{ 15360, 5000, 0, 3260 }));
}

TEST_F(Toggle, LeavesTheTickCountAndThePictureAlone)
{
    runOpening();
    show().tmrShow_Timer();
    ASSERT_EQ(show().tickCount(), 1);
    show().imgShow_Click();
    EXPECT_EQ(show().tickCount(), 1);
    EXPECT_EQ(main().File1.fileName(), "a.jpg");
    show().tmrShow_Timer();
    EXPECT_EQ(main().File1.fileName(), "b.jpg"); // changes at the same tick as without the click
}

TEST_F(Toggle, ClosingTheShowWindowStopsTheShow)
{
    runOpening();
    platform::testing::closeAsUser(show());
    expectStopped();
    EXPECT_TRUE(program->showWindowLoaded());

    // And a new start works as after the stop button.
    clickStartStop();
    EXPECT_EQ(main().cmdStartShow.caption(), "Stop Slide Show");
    EXPECT_EQ(runOpening(), 16);
}

// The user's clicks, through the window system: a portrait picture half
// the screen wide, centred, leaves a band of bare window on either side.
class RealClick : public ShowWindow
{
protected:
    void SetUp() override
    {
        ShowWindow::SetUp();
        pictures.jpeg("1.jpg", 400, 300);
        pictures.jpeg("2.jpg", 200, 400);
        start(pictures.path(), "1");
        ASSERT_EQ(runOpening(), 16);
        show().tmrShow_Timer();
        ASSERT_EQ(main().File1.fileName(), "2.jpg");
    }
};

TEST_F(RealClick, OnTheBareWindowBesideThePictureSwitchesIt)
{
    const PixelRect image = platform::testing::pixelRect(show().imgShow);
    ASSERT_EQ(image, (PixelRect{ 256, 0, 512, 768 }));
    // Left of the picture, and inside the square too.
    const PixelPoint bare{ image.x / 2, image.x / 2 };
    for (const Geometry &expected : { CentredSquare, FullScreen, CentredSquare, FullScreen }) {
        platform::testing::clickAt(show(), bare);
        EXPECT_EQ(window(), expected);
        EXPECT_EQ(platform::testing::pixelRect(show().imgShow), image) << "the picture moved";
    }
    EXPECT_EQ(main().File1.fileName(), "2.jpg");
    EXPECT_EQ(show().tickCount(), 0);
}

TEST_F(RealClick, OnThePictureSwitchesIt)
{
    for (const Geometry &expected : { CentredSquare, FullScreen, CentredSquare, FullScreen }) {
        platform::testing::click(show().imgShow);
        EXPECT_EQ(window(), expected);
    }
    // Where the picture lies in the square as at full screen.
    const PixelPoint onThePicture{ 300, 100 };
    for (const Geometry &expected : { CentredSquare, FullScreen }) {
        platform::testing::clickAt(show(), onThePicture);
        EXPECT_EQ(window(), expected);
    }
    EXPECT_EQ(main().File1.fileName(), "2.jpg");
}

} // namespace

namespace {

// Any picture on any window: the fit never fails, gives the window's full
// side along the picture's longer side, never more than the window on the
// other, and re-centres exactly when the orientation changes.
TEST(FitProperties, HoldForAnyPictureAndWindow)
{
    platform::testing::MsgBoxRecorder boxes;
    Program program;
    frmShow &show = program.showWindow();
    std::mt19937 random(20261208);
    auto side = [&](int most) {
        // Mostly ordinary sizes, sometimes extreme ones.
        std::uniform_int_distribution<int> pick(0, 9);
        if (pick(random) == 0)
            return std::uniform_int_distribution<int>(1, 3)(random) == 1 ? 1 : most;
        return std::uniform_int_distribution<int>(1, most)(random);
    };
    const int trials = testsupport::longRun(20000);
    for (int trial = 0; trial < trials; ++trial) {
        const int pictureWidth = side(65535);
        const int pictureHeight = side(65535);
        const double windowWidth = side(30000);
        const double windowHeight = side(30000);
        show.setWidth(windowWidth);
        show.setHeight(windowHeight);
        show.imgShow.move(side(30000) - 15000, side(30000) - 15000, 100, 100);
        const Single leftBefore = show.imgShow.left();
        const Single topBefore = show.imgShow.top();
        const Integer orientationBefore
                = std::uniform_int_distribution<int>(0, 1)(random) ? True : False;
        show.width_bigger = orientationBefore;
        show.imgShow.setPicture(platform::testing::pictureOfSize(pictureWidth, pictureHeight));

        ASSERT_NO_THROW(show.fit()) << pictureWidth << "x" << pictureHeight;
        SCOPED_TRACE(std::to_string(pictureWidth) + "x" + std::to_string(pictureHeight) + " on "
                     + std::to_string(windowWidth) + "x" + std::to_string(windowHeight));
        const bool portrait = pictureHeight > pictureWidth;
        ASSERT_GE(show.target_ratio, 1);
        ASSERT_EQ(show.width_bigger, portrait ? False : True);
        const Single full = portrait ? show.imgShow.height() : show.imgShow.width();
        const Single other = portrait ? show.imgShow.width() : show.imgShow.height();
        ASSERT_EQ(full, portrait ? windowHeight : windowWidth);
        ASSERT_LE(other, portrait ? windowWidth : windowHeight);
        ASSERT_GT(other, 0);
        const bool turned = orientationBefore != show.width_bigger;
        if (!turned) {
            ASSERT_EQ(show.imgShow.left(), leftBefore);
            ASSERT_EQ(show.imgShow.top(), topBefore);
        } else if (portrait) {
            ASSERT_EQ(show.imgShow.top(), 0);
            ASSERT_GE(show.imgShow.left(), 0);
            ASSERT_LE(show.imgShow.left() + show.imgShow.width(), Single(windowWidth) + 1);
        } else {
            ASSERT_EQ(show.imgShow.left(), 0);
            ASSERT_GE(show.imgShow.top(), 0);
            ASSERT_LE(show.imgShow.top() + show.imgShow.height(), Single(windowHeight) + 1);
        }
    }
}

} // namespace
