// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/DirListBox.h"
#include "platform/DriveListBox.h"
#include "platform/Form.h"
#include "platform/Paths.h"
#include "platform/RuntimeError.h"
#include "platform/Testing.h"

#include "tests/support/TestPictures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace platform;
using testsupport::nativePath;
using testsupport::runtimeText;
using testsupport::TempFolder;

namespace {

class Window : public Form
{
public:
    Window() : Form(BorderStyle::FixedSingle, 4000, 4000) { }
};

class DirListBoxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir.onChange([this] { changes.push_back(dir.path()); });
        for (const char *name : { "pics/b10", "pics/b9", "pics/A", "pics/.hidden", "pics/été" })
            folder.folder(name);
        folder.write("pics/file.jpg", "x");
    }

    Window window;
    DirListBox dir{ window };
    TempFolder folder;
    const std::string pics = folder.file("pics");
    std::vector<std::string> changes;
};

TEST_F(DirListBoxTest, ShowsAncestorsThenSubfolders)
{
    dir.setPath(pics);
    // The root as it stands, then each folder down to this one by name.
    const std::filesystem::path path = nativePath(pics);
    std::vector<std::string> expected = { runtimeText(path.root_path()) };
    for (const std::filesystem::path &part : path.relative_path())
        expected.push_back(runtimeText(part));
    ASSERT_EQ(expected.back(), "pics");
    // Subfolders in natural order; hidden ones and files are left out.
    for (const char *name : { "A", "b9", "b10", "été" })
        expected.push_back(name);
    EXPECT_EQ(platform::testing::shownEntries(dir), expected);
    EXPECT_EQ(dir.path(), pics);
}

TEST_F(DirListBoxTest, EveryChangeOfPathRaisesChangeAlsoByCode)
{
    dir.setPath(pics);
    dir.setPath(pics); // no change, no event
    dir.setPath(pics + PathSeparator + "b9" + PathSeparator + "..");
    EXPECT_EQ(changes, std::vector<std::string>{ pics });
    EXPECT_THROW(dir.setPath(folder.file("missing")), RuntimeError);
    EXPECT_THROW(dir.setPath(""), RuntimeError);
    EXPECT_THROW(dir.setPath(folder.file("pics/file.jpg")), RuntimeError);
    EXPECT_EQ(dir.path(), pics);
    EXPECT_EQ(changes.size(), 1U);
}

TEST_F(DirListBoxTest, EnterOpensAFolder)
{
    dir.setPath(pics);
    changes.clear();
    window.show();

    ASSERT_TRUE(platform::testing::openEntry(dir, "b9"));
    ASSERT_TRUE(platform::testing::waitFor([&] { return !changes.empty(); }, 2000));
    EXPECT_EQ(changes, std::vector<std::string>{ folder.file("pics/b9") });
    EXPECT_EQ(dir.path(), folder.file("pics/b9"));

    // Back up to the parent, an ancestor shown above it.
    ASSERT_TRUE(platform::testing::openEntry(dir, "pics"));
    ASSERT_TRUE(platform::testing::waitFor([&] { return changes.size() == 2; }, 2000));
    EXPECT_EQ(dir.path(), pics);
    EXPECT_FALSE(platform::testing::openEntry(dir, "no such folder"));
}

// The text a drive list shows names a folder the folder list opens: the
// volume's root, which holds the folder the drive list was set to.
TEST_F(DirListBoxTest, AcceptsADriveListsText)
{
    const std::string pics = folder.file("pics");
    DriveListBox drive(window);
    drive.setDrive(pics);
    changes.clear();
    dir.setPath(drive.drive());
    EXPECT_EQ(pics.rfind(dir.path(), 0), 0U) << dir.path();
    EXPECT_LT(dir.path().size(), pics.size());
    EXPECT_EQ(changes, std::vector<std::string>{ dir.path() });
}

TEST(DriveListBox, NamesTheVolumeOfAFolderAndChangesOnlyWhenItDoes)
{
    TempFolder folder;
    Window window;
    DriveListBox drive(window);
    int changes = 0;
    drive.onChange([&] { ++changes; });
    drive.setDrive(folder.path());
    const int before = changes;
    const std::string chosen = drive.drive();
    ASSERT_FALSE(chosen.empty());
    drive.setDrive(folder.path());
    drive.setDrive(folder.folder("deeper"));
    EXPECT_EQ(changes, before);
    EXPECT_EQ(drive.drive(), chosen);
    // Its text is a folder list's path: the volume's root, which holds the folder.
    DirListBox dir(window);
    dir.setPath(chosen);
    EXPECT_EQ(folder.path().rfind(dir.path(), 0), 0U) << dir.path();
    EXPECT_THROW(drive.setDrive(folder.file("no/such/place")), RuntimeError);
    EXPECT_EQ(drive.drive(), chosen);
    EXPECT_TRUE(platform::testing::pickEntry(drive, chosen));
    EXPECT_EQ(changes, before);
}

} // namespace
