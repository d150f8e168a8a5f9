// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "tests/support/ProgramFixture.h"

#include "platform/MsgBox.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

using namespace platform;
using testsupport::nativePath;
using testsupport::ProgramFixture;

namespace {

constexpr const char *InvalidFolder = "Please select a valid image folder.";
// Windows virtual-key codes.
constexpr Integer TabKey = 9;
constexpr Integer SpaceKey = 32;

class FolderChooser : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        day1 = pictures.folder("trip/day 1");
        day2 = pictures.folder("trip/day 2");
        pictures.jpeg("trip/day 1/b.jpg", 40, 30);
        pictures.jpeg("trip/day 1/a.JPG", 40, 30);
        pictures.write("trip/day 1/notes.txt", "x");
        pictures.jpeg("trip/day 2/c.jpg", 40, 30);
        trip = pictures.file("trip");
    }

    std::vector<std::string> listed() { return testsupport::entries(main().File1); }

    std::string trip, day1, day2;
};

TEST_F(FolderChooser, BrowseOpensThePanelAndCancelClosesItWithoutTakingTheFolder)
{
    main().txtFolder.setText("typed");
    main().cmdBrowse_Click();
    EXPECT_TRUE(main().fraBrowse.visible());
    EXPECT_EQ(main().height(), 5210);
    EXPECT_EQ(platform::testing::clientSize(main()).height, 315);
    EXPECT_FALSE(main().txtFolder.enabled());
    EXPECT_EQ(main().cmdBrowse.caption(), "Cancel");

    main().Dir1.setPath(day1);
    EXPECT_EQ(main().File1.path(), day1);
    EXPECT_EQ(listed(), (std::vector<std::string>{ "a.JPG", "b.jpg" }));
    EXPECT_EQ(platform::testing::shownEntries(main().File1),
              (std::vector<std::string>{ "a.JPG", "b.jpg" }));

    main().cmdBrowse_Click();
    EXPECT_FALSE(main().fraBrowse.visible());
    EXPECT_EQ(main().height(), 2625);
    EXPECT_EQ(platform::testing::clientSize(main()).height, 143);
    EXPECT_TRUE(main().txtFolder.enabled());
    EXPECT_EQ(main().cmdBrowse.caption(), "Browse");
    EXPECT_EQ(main().txtFolder.text(), "typed");
    // The file list keeps the browsed folder until a show starts.
    EXPECT_EQ(main().File1.path(), day1);

    // The lists keep their place between openings.
    main().cmdBrowse_Click();
    EXPECT_EQ(main().Dir1.path(), day1);
}

TEST_F(FolderChooser, SelectCopiesTheFolderListsPath)
{
    main().cmdBrowse_Click();
    main().cmdSelect_Click();
    EXPECT_EQ(main().txtFolder.text(), testsupport::runtimeText(std::filesystem::current_path()));

    main().cmdBrowse_Click();
    main().Dir1.setPath(day2);
    main().File1.setListIndex(0);
    main().cmdSelect_Click();
    EXPECT_EQ(main().txtFolder.text(), day2);
    EXPECT_TRUE(main().txtFolder.enabled());
    EXPECT_FALSE(main().fraBrowse.visible());
    EXPECT_EQ(main().height(), 2625);
    EXPECT_EQ(main().cmdBrowse.caption(), "Browse");

    clickStartStop();
    EXPECT_EQ(main().cmdStartShow.caption(), "Stop Slide Show");
    EXPECT_EQ(main().File1.fileName(), "c.jpg");
}

// The drive the lists are on, picked again from its list, is no change:
// the folder browsed stays.
TEST_F(FolderChooser, PickingTheCurrentDriveAgainChangesNothing)
{
    main().cmdBrowse_Click();
    main().Dir1.setPath(day1);
    const std::string drive = main().Drive1.drive();
    const std::vector<std::string> drives = platform::testing::shownEntries(main().Drive1);
    ASSERT_FALSE(drives.empty());
    EXPECT_NE(std::find(drives.begin(), drives.end(), drive), drives.end())
            << drive << " is not among the drives shown";

    ASSERT_TRUE(platform::testing::pickEntry(main().Drive1, drive));
    platform::testing::processEvents();
    EXPECT_EQ(main().Drive1.drive(), drive);
    EXPECT_EQ(main().Dir1.path(), day1);
    EXPECT_EQ(main().File1.path(), day1);
    EXPECT_EQ(listed(), (std::vector<std::string>{ "a.JPG", "b.jpg" }));
    EXPECT_TRUE(messages().empty());
}

TEST_F(FolderChooser, AFolderGoneMeanwhileLeavesTheListsWhereTheyWere)
{
    main().cmdBrowse_Click();
    main().Dir1.setPath(trip);
    const std::vector<std::string> shown = platform::testing::shownEntries(main().Dir1);
    ASSERT_NE(std::find(shown.begin(), shown.end(), "day 2"), shown.end());
    ASSERT_GT(std::filesystem::remove_all(nativePath(day2)), 0U);

    ASSERT_TRUE(platform::testing::openEntry(main().Dir1, "day 2"));
    ASSERT_TRUE(platform::testing::waitFor([&] { return !boxes.calls().empty(); }, 2000));
    EXPECT_EQ(messages(), std::vector<std::string>{ InvalidFolder });
    EXPECT_EQ(boxes.calls().front().style, vbCritical);
    EXPECT_EQ(main().Dir1.path(), trip);
    EXPECT_EQ(main().File1.path(), trip);
    EXPECT_EQ(main().cmdBrowse.caption(), "Cancel");
}

// Opening a folder from the list, as the user does with Enter, takes the
// file list along.
TEST_F(FolderChooser, OpeningAFolderWithEnterListsItsPictures)
{
    main().cmdBrowse_Click();
    main().Dir1.setPath(trip);
    ASSERT_TRUE(platform::testing::openEntry(main().Dir1, "day 1"));
    ASSERT_TRUE(platform::testing::waitFor([&] { return main().Dir1.path() == day1; }, 2000));
    EXPECT_EQ(main().File1.path(), day1);
    EXPECT_EQ(listed(), (std::vector<std::string>{ "a.JPG", "b.jpg" }));
    EXPECT_TRUE(messages().empty());
}

TEST_F(FolderChooser, BrowsingDuringAShowChangesItsPlayList)
{
    start(day1, "1");
    runOpening();
    main().cmdBrowse_Click();
    main().Dir1.setPath(day2);
    show().tmrShow_Timer();
    EXPECT_EQ(main().File1.fileName(), "c.jpg");
    EXPECT_EQ(main().cmdStartShow.caption(), "Stop Slide Show");
}

// Focus moves through what can take it, in tab order; the panel's
// controls join the cycle while it is open.
TEST_F(FolderChooser, TabReachesTheCoveredStartButtonAndSpaceClicksIt)
{
    Form1 &form = main();
    const std::vector<const Control *> focusable
            = { &form.txtFolder, &form.cmdBrowse,    &form.Dir1,      &form.Drive1,  &form.File1,
                &form.cmdSelect, &form.cmdStartShow, &form.txtChange, &form.cmdAbout };
    auto focused = [&] { return platform::testing::focusedControl(form, focusable); };
    form.txtFolder.setText(day1);
    form.cmdBrowse_Click();
    form.cmdBrowse.setFocus();
    ASSERT_TRUE(platform::testing::waitFor([&] { return focused() == &form.cmdBrowse; }))
            << "the window never took the focus";

    std::vector<const Control *> order;
    for (int step = 0; step < 8; ++step) {
        order.push_back(focused());
        platform::testing::pressKey(form, TabKey);
    }
    const std::vector<const Control *> expected = {
        &form.cmdBrowse, &form.Dir1,         &form.Drive1,    &form.File1,
        &form.cmdSelect, &form.cmdStartShow, &form.txtChange, &form.cmdAbout,
    };
    EXPECT_EQ(order, expected);

    form.cmdSelect.setFocus();
    platform::testing::pressKey(form, TabKey);
    ASSERT_EQ(focused(), &form.cmdStartShow);
    platform::testing::pressKey(form, SpaceKey);
    EXPECT_EQ(form.cmdStartShow.caption(), "Stop Slide Show");
}

} // namespace
