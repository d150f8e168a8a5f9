// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "tests/support/ProgramFixture.h"

#include "about_window/frmAbout.h"

#include "platform/MsgBox.h"

#include <cmath>
#include <string>
#include <vector>

using namespace platform;
using platform::testing::PixelPoint;
using platform::testing::PixelRect;
using platform::testing::PixelSize;
using testsupport::ProgramFixture;

namespace {

constexpr const char *InvalidSeconds = "Please select a valid time in seconds.";
constexpr const char *InvalidFolder = "Please select a valid image folder.";
constexpr Integer TabKey = 9; // the Windows virtual-key code

class MainWindow : public ProgramFixture
{
protected:
    // Every control of the window that can take the focus.
    std::vector<const Control *> focusable()
    {
        Form1 &form = main();
        return { &form.txtFolder, &form.cmdBrowse,    &form.Dir1,      &form.Drive1,  &form.File1,
                 &form.cmdSelect, &form.cmdStartShow, &form.txtChange, &form.cmdAbout };
    }
    const Control *focused() { return platform::testing::focusedControl(main(), focusable()); }
};

TEST_F(MainWindow, ControlsAreWhereTheDesignPutsThem)
{
    Form1 &form = main();
    const struct
    {
        const Control *control;
        double left, top, width, height;
    } rows[] = {
        { &form.Label2, 120, 120, 2175, 255 },         { &form.txtFolder, 120, 480, 4215, 360 },
        { &form.cmdBrowse, 4440, 480, 975, 375 },      { &form.fraBrowse, 0, 960, 5415, 3855 },
        { &form.Dir1, 120, 600, 2655, 3060 },          { &form.Drive1, 120, 120, 2655, 360 },
        { &form.File1, 2880, 120, 2415, 2970 },        { &form.cmdSelect, 2880, 3240, 2415, 375 },
        { &form.cmdStartShow, 1920, 1680, 1695, 375 }, { &form.Label1, 120, 1080, 2295, 375 },
        { &form.txtChange, 2040, 1080, 615, 375 },     { &form.cmdAbout, 4800, 1680, 495, 375 },
    };
    for (const auto &row : rows) {
        EXPECT_EQ(row.control->left(), row.left);
        EXPECT_EQ(row.control->top(), row.top);
        EXPECT_EQ(row.control->width(), row.width);
        EXPECT_EQ(row.control->height(), row.height);
        // 15 twips a pixel, edges rounded.
        const PixelRect pixels = platform::testing::pixelRect(*row.control);
        EXPECT_EQ(pixels.x, std::lround(row.left / 15));
        EXPECT_EQ(pixels.y, std::lround(row.top / 15));
        EXPECT_EQ(pixels.x + pixels.width, std::lround((row.left + row.width) / 15));
    }
}

TEST_F(MainWindow, StartsCompactWithItsDesignedTexts)
{
    Form1 &form = main();
    EXPECT_EQ(form.caption(), "Pelorin");
    EXPECT_EQ(form.height(), 2625);
    EXPECT_EQ(form.width(), 5475 + 90);
    // The client area: 2625 less the title bar and borders.
    EXPECT_EQ(platform::testing::clientSize(form), (PixelSize{ 365, 143 }));
    EXPECT_EQ(form.Label2.caption(), "Select image folder:");
    EXPECT_EQ(platform::testing::shownText(form.Label2), "Select image folder:");
    EXPECT_EQ(form.txtFolder.text(), "");
    EXPECT_TRUE(form.txtFolder.enabled());
    EXPECT_EQ(form.cmdBrowse.caption(), "Browse");
    EXPECT_FALSE(form.fraBrowse.visible());
    EXPECT_EQ(form.cmdSelect.caption(), "Select Folder");
    EXPECT_EQ(form.Label1.caption(), "Seconds per picture:");
    EXPECT_EQ(platform::testing::shownText(form.Label1), "Seconds per picture:");
    EXPECT_EQ(form.txtChange.text(), "2");
    EXPECT_TRUE(form.txtChange.enabled());
    EXPECT_EQ(form.cmdStartShow.caption(), "Start Slide Show");
    EXPECT_EQ(form.cmdAbout.caption(), "?");
    EXPECT_EQ(form.cmdAbout.toolTipText(), "About Pelorin");
    EXPECT_EQ(form.File1.pattern(), "*.gif;*.jpg");
    EXPECT_FALSE(program->showWindowLoaded());
    EXPECT_FALSE(program->aboutWindowLoaded());
}

TEST_F(MainWindow, FocusStartsInTheFolderFieldAndFollowsTheTabOrder)
{
    ASSERT_TRUE(platform::testing::waitFor([&] { return focused() == &main().txtFolder; }))
            << "the folder field never got the focus";

    // With the panel hidden, its controls are out of the cycle.
    Form1 &form = main();
    const std::vector<const Control *> expected
            = { &form.cmdBrowse, &form.cmdStartShow, &form.txtChange, &form.cmdAbout,
                &form.txtFolder };
    std::vector<const Control *> seen;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        platform::testing::pressKey(form, TabKey);
        seen.push_back(focused());
    }
    EXPECT_EQ(seen, expected);
}

// Where the open panel lies over the start button, a click reaches the
// panel, not the button; with the panel closed, the same point is the
// button's.
TEST_F(MainWindow, TheBrowsePanelCoversTheControlsBehindIt)
{
    Form1 &form = main();
    const PixelRect button = platform::testing::pixelRect(form.cmdStartShow);
    const PixelRect panel = platform::testing::pixelRect(form.fraBrowse);
    const PixelRect folders = platform::testing::pixelRect(form.Dir1);
    const PixelRect files = platform::testing::pixelRect(form.File1);
    // Between the panel's two lists, so that the click lands on the panel
    // itself and selects nothing in them.
    const PixelPoint gap{ panel.x + (folders.x + folders.width + files.x) / 2,
                          button.y + button.height / 2 };
    ASSERT_GT(gap.x, button.x);
    ASSERT_LT(gap.x, button.x + button.width);

    form.cmdBrowse_Click();
    platform::testing::clickAt(form, gap);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(form.cmdStartShow.caption(), "Start Slide Show");

    form.cmdBrowse_Click();
    ASSERT_FALSE(form.fraBrowse.visible());
    platform::testing::clickAt(form, gap);
    EXPECT_EQ(messages(), std::vector<std::string>{ InvalidFolder }) << "the button never heard it";
}

struct SecondsCase
{
    const char *text;
    bool accepted;
};

void PrintTo(const SecondsCase &row, std::ostream *out)
{
    *out << '"' << row.text << '"';
}

class SecondsField : public ProgramFixture, public ::testing::WithParamInterface<SecondsCase>
{ };

TEST_P(SecondsField, OnlyAWholePartFrom1To32767StartsAShow)
{
    pictures.jpeg("a.jpg", 40, 30);
    start(pictures.path(), GetParam().text);
    if (GetParam().accepted) {
        EXPECT_TRUE(messages().empty());
        EXPECT_EQ(main().cmdStartShow.caption(), "Stop Slide Show");
    } else {
        EXPECT_EQ(messages(), std::vector<std::string>{ InvalidSeconds });
        EXPECT_EQ(boxes.calls().front().style, vbCritical);
        EXPECT_EQ(boxes.calls().front().title, "Project1");
        EXPECT_EQ(main().cmdStartShow.caption(), "Start Slide Show");
        EXPECT_TRUE(main().txtChange.enabled());
        EXPECT_FALSE(program->showWindowLoaded());
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, SecondsField,
                         ::testing::Values(SecondsCase{ "0.9", false }, SecondsCase{ "1", true },
                                           SecondsCase{ "2.7", true }, SecondsCase{ "-3", false },
                                           SecondsCase{ "abc", false }, SecondsCase{ "", false },
                                           SecondsCase{ " 2 ", true }, SecondsCase{ "1e3", true },
                                           SecondsCase{ "32767", true },
                                           SecondsCase{ "32767.9", true },
                                           SecondsCase{ "32768", false },
                                           SecondsCase{ "1e400", false }));

TEST_F(MainWindow, TheSecondsAreCheckedBeforeTheFolder)
{
    start("", "0");
    EXPECT_EQ(messages(), std::vector<std::string>{ InvalidSeconds });
}

TEST_F(MainWindow, AFolderThatCannotBeReadStartsNothing)
{
    const std::string before = main().File1.path();
    for (const std::string &folder : { std::string(), std::string("  "), pictures.file("none") }) {
        boxes.clear();
        start(folder);
        EXPECT_EQ(messages(), std::vector<std::string>{ InvalidFolder }) << folder;
        EXPECT_EQ(boxes.calls().front().style, vbCritical);
        EXPECT_EQ(main().cmdStartShow.caption(), "Start Slide Show");
        EXPECT_TRUE(main().txtChange.enabled());
        EXPECT_EQ(main().File1.path(), before);
    }
    EXPECT_FALSE(program->showWindowLoaded());
}

TEST_F(MainWindow, AFolderWithoutPicturesStartsNothingSilently)
{
    pictures.write("notes.txt", "x");
    start(pictures.path());
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(main().cmdStartShow.caption(), "Start Slide Show");
    EXPECT_TRUE(main().txtChange.enabled());
    EXPECT_EQ(main().File1.path(), pictures.path());
    EXPECT_FALSE(program->showWindowLoaded());
}

TEST_F(MainWindow, StartOpensTheShowAsACentredSquare)
{
    pictures.jpeg("b.jpg", 40, 30);
    pictures.jpeg("a.jpg", 1920, 1080);
    start(pictures.path());

    EXPECT_EQ(main().cmdStartShow.caption(), "Stop Slide Show");
    EXPECT_FALSE(main().txtChange.enabled());
    EXPECT_EQ(main().File1.listIndex(), 0);
    EXPECT_EQ(main().File1.fileName(), "a.jpg");
    EXPECT_TRUE(show().visible());
    EXPECT_EQ(show().width(), 100);
    EXPECT_EQ(show().height(), 100);
    EXPECT_EQ(show().left(), 7630);
    EXPECT_EQ(show().top(), 5710);
    EXPECT_EQ(show().timer_height, True);
    EXPECT_EQ(show().timer_width, True);
    EXPECT_TRUE(show().tmrOpen.enabled());
    EXPECT_FALSE(show().tmrShow.enabled());
}

TEST_F(MainWindow, TheFirstFitSetsOrientationAndWholeRatio)
{
    const struct
    {
        int width, height;
        Integer widthBigger, ratio;
        double imageWidth, imageHeight;
        const char *placed; // which edge the fit moves
        double position;
    } rows[] = {
        // 1920 by 1080 is 1.78, which rounds to 2; the centring subtracts
        // half the picture's HIMETRIC height from half the window's twips.
        { 1920, 1080, True, 2, 100, 200, "top", 50 - 1080 * 26 / 2.0 },
        { 600, 600, True, 1, 100, 100, "top", 50 - 600 * 26 / 2.0 },
        { 1080, 1920, False, 2, 200, 100, "left", 50 - 1080 * 26 / 2.0 },
        { 900, 600, True, 2, 100, 200, "top", 50 - 600 * 26 / 2.0 },
        { 500, 200, True, 2, 100, 200, "top", 50 - 200 * 26 / 2.0 }, // 2.5 rounds to even
        { 700, 200, True, 4, 100, 400, "top", 50 - 200 * 26 / 2.0 }, // 3.5 rounds to even
    };
    for (const auto &row : rows) {
        testsupport::TempFolder folder;
        folder.jpeg("p.jpg", row.width, row.height);
        start(folder.path());
        SCOPED_TRACE(std::to_string(row.width) + " by " + std::to_string(row.height));
        EXPECT_EQ(show().width_bigger, row.widthBigger);
        EXPECT_EQ(show().target_ratio, row.ratio);
        EXPECT_EQ(show().imgShow.width(), row.imageWidth);
        EXPECT_EQ(show().imgShow.height(), row.imageHeight);
        if (std::string(row.placed) == "top")
            EXPECT_EQ(show().imgShow.top(), row.position);
        else
            EXPECT_EQ(show().imgShow.left(), row.position);
        clickStartStop();
    }
}

TEST_F(MainWindow, ARatioTooLargeForAnIntegerIsHeldAt32767)
{
    pictures.write("line.gif", testsupport::gifBytes(40000, 1));
    start(pictures.path());
    EXPECT_EQ(show().target_ratio, 32767);
    EXPECT_EQ(show().imgShow.height(), 3276700);
    runOpening();
    EXPECT_EQ(show().imgShow.height(), 11520);
}

TEST_F(MainWindow, PicturesThatCannotBeLoadedArePassedOverAtTheStart)
{
    pictures.write("1 text.jpg", "not a picture");
    pictures.write("2 empty.gif", {});
    pictures.jpeg("3 good.jpg", 300, 600);
    pictures.jpeg("4 later.jpg", 600, 300);
    start(pictures.path());

    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(main().File1.fileName(), "3 good.jpg");
    EXPECT_EQ(show().imgShow.picture().height(), 600 * 26);
    EXPECT_EQ(show().width_bigger, False);
    EXPECT_EQ(main().cmdStartShow.caption(), "Stop Slide Show");
}

TEST_F(MainWindow, AFolderOfUnloadablePicturesUndoesTheStart)
{
    pictures.write("a.jpg", "not a picture");
    pictures.write("b.gif", "nor this");
    start(pictures.path());

    EXPECT_EQ(messages(),
              std::vector<std::string>{ "None of the pictures in this folder can be shown." });
    EXPECT_EQ(boxes.calls().front().style, vbCritical);
    expectStopped();
}

TEST_F(MainWindow, StopEndsTheWholeShowEvenDuringTheOpening)
{
    pictures.jpeg("a.jpg", 40, 30);
    pictures.jpeg("b.jpg", 40, 30);
    start(pictures.path());
    for (int tick = 0; tick < 5; ++tick)
        show().tmrOpen_Timer();
    frmShow *window = &show();

    clickStartStop();
    expectStopped();

    // The same window opens again from the square, at the first file.
    main().File1.setListIndex(1);
    clickStartStop();
    EXPECT_EQ(&show(), window);
    EXPECT_EQ(main().File1.listIndex(), 0);
    EXPECT_EQ(show().width(), 100);
    EXPECT_EQ(show().left(), 7630);
    EXPECT_EQ(runOpening(), 16);

    clickStartStop();
    EXPECT_FALSE(show().tmrShow.enabled());
    EXPECT_FALSE(show().tmrOpen.enabled());
}

TEST_F(MainWindow, ClosingEndsTheProgramWithNoWindowLeft)
{
    for (bool opening : { false, true }) {
        SCOPED_TRACE(opening ? "during the opening" : "while showing");
        program = std::make_unique<Program>();
        program->start();
        pictures.jpeg("a.jpg", 40, 30);
        start(pictures.path());
        main().cmdAbout_Click();
        ASSERT_EQ(platform::testing::visibleWindows(), 3);
        if (!opening)
            runOpening();
        exits.clear();
        platform::testing::closeAsUser(main());
        EXPECT_EQ(exits.codes(), std::vector<int>{ 0 });
        EXPECT_FALSE(program->showWindowLoaded());
        EXPECT_FALSE(program->aboutWindowLoaded());
        EXPECT_EQ(platform::testing::visibleWindows(), 0);
        platform::testing::processEvents();
        EXPECT_EQ(platform::testing::visibleWindows(), 0);
    }
}

TEST_F(MainWindow, ClosingBeforeAnyShowLoadsNoOtherWindow)
{
    platform::testing::closeAsUser(main());
    EXPECT_EQ(exits.codes(), std::vector<int>{ 0 });
    EXPECT_FALSE(program->showWindowLoaded());
    EXPECT_FALSE(program->aboutWindowLoaded());
}

// Unloading a window that was never opened must not load it first, only to
// unload it again: its Load would run for nothing.
TEST_F(MainWindow, ClosingBeforeTheOtherWindowsOpenedRunsNoLoadOfTheirs)
{
    const platform::testing::LoadRecorder loads;
    program = std::make_unique<Program>();
    program->start();
    const Form *mainWindow = &main();
    ASSERT_EQ(loads.loaded(), std::vector<const Form *>{ mainWindow });

    platform::testing::closeAsUser(main());
    platform::testing::processEvents();
    EXPECT_EQ(loads.loaded(), std::vector<const Form *>{ mainWindow });
    EXPECT_EQ(exits.codes(), std::vector<int>{ 0 });
    EXPECT_EQ(platform::testing::visibleWindows(), 0);
}

} // namespace
