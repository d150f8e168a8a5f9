// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// What a user may not read, seen as that user: a test run as root acts as
// an ordinary user for as long as it looks.
#include "platform/DirListBox.h"
#include "platform/FileListBox.h"
#include "platform/Form.h"
#include "platform/Picture.h"
#include "platform/RuntimeError.h"
#include "platform/Testing.h"

#include "tests/support/HostileCorpus.h"
#include "tests/support/ProgramFixture.h"
#include "tests/support/posix/AsOrdinaryUser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>

using namespace platform;
using testsupport::AsOrdinaryUser;
using testsupport::TempFolder;

namespace {

class Window : public Form
{
public:
    Window() : Form(BorderStyle::FixedSingle, 3000, 3000) { }
};

ErrorNumber pathError(FileListBox &list, const std::string &path)
{
    try {
        list.setPath(path);
    } catch (const RuntimeError &error) {
        return error.number();
    }
    ADD_FAILURE() << path << " was accepted";
    return ErrorNumber::Overflow;
}

TEST(Permissions, ALockedFolderLeavesTheFileListAsItWas)
{
    TempFolder folder;
    Window window;
    FileListBox list(window);
    list.setPattern("*.jpg");
    folder.write("kept.jpg", "x");
    list.setPath(folder.path());
    list.setListIndex(0);
    const std::string locked = folder.folder("locked");
    folder.write("locked/inside.jpg", "x");
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);

    const AsOrdinaryUser user;
    if (!AsOrdinaryUser::locksOut())
        GTEST_SKIP() << "running as root and cannot act as another user";
    EXPECT_EQ(pathError(list, locked), ErrorNumber::PathFileAccessError);
    EXPECT_EQ(list.path(), folder.path());
    EXPECT_EQ(list.fileName(), "kept.jpg");
    EXPECT_EQ(list.listCount(), 1);
}

TEST(Permissions, ALockedFolderIsShownInTheFolderListWithNothingBelow)
{
    TempFolder folder;
    const std::string locked = folder.folder("locked");
    folder.folder("locked/hidden from view");
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    Window window;
    DirListBox dir(window);

    const AsOrdinaryUser user;
    if (!AsOrdinaryUser::locksOut())
        GTEST_SKIP() << "running as root and cannot act as another user";
    dir.setPath(locked);
    EXPECT_EQ(dir.path(), locked);
    const std::vector<std::string> shown = platform::testing::shownEntries(dir);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), "locked");
}

TEST(HostilePictures, AFileTheUserMayNotReadIsRefused)
{
    // Copied out of the corpus: the ordinary user may not pass through the
    // folders the build stands in (a checkout in a private folder).
    const testsupport::HostileCorpus &corpus = testsupport::HostileCorpus::get();
    TempFolder folder;
    for (const char *name : { "unreadable.jpg", "ok.jpg" })
        std::filesystem::copy_file(testsupport::nativePath(corpus.file(name)),
                                   testsupport::nativePath(folder.file(name)));
    ASSERT_EQ(::chmod(folder.file("unreadable.jpg").c_str(), 0), 0);
    const AsOrdinaryUser user;
    if (!AsOrdinaryUser::locksOut())
        GTEST_SKIP() << "running as root and cannot act as another user";
    EXPECT_THROW(LoadPicture(folder.file("unreadable.jpg")), RuntimeError);
    EXPECT_EQ(LoadPicture(folder.file("ok.jpg")).width(), 800 * HimetricPerPixel);
}

class PermissionsShow : public testsupport::ProgramFixture
{ };

TEST_F(PermissionsShow, ALockedFolderIsNoFolderToShow)
{
    pictures.jpeg("outside.jpg", 40, 30);
    const std::string locked = pictures.folder("locked");
    pictures.jpeg("locked/a.jpg", 40, 30);
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    const AsOrdinaryUser user;
    if (!AsOrdinaryUser::locksOut())
        GTEST_SKIP() << "running as root and cannot act as another user";
    start(locked);
    EXPECT_EQ(messages(), std::vector<std::string>{ "Please select a valid image folder." });
    EXPECT_EQ(main().cmdStartShow.caption(), "Start Slide Show");
    EXPECT_TRUE(main().txtChange.enabled());
    EXPECT_FALSE(program->showWindowLoaded() && show().visible());
}

// Readable, but not one picture in it can be read: the show does not start.
TEST_F(PermissionsShow, AFolderOfUnreadablePicturesIsSaidToShowNone)
{
    for (const char *name : { "a.jpg", "b.jpg" })
        ASSERT_EQ(::chmod(pictures.jpeg(name, 40, 30).c_str(), 0), 0);
    const AsOrdinaryUser user;
    if (!AsOrdinaryUser::locksOut())
        GTEST_SKIP() << "running as root and cannot act as another user";
    start(pictures.path());
    EXPECT_EQ(messages(),
              std::vector<std::string>{ "None of the pictures in this folder can be shown." });
    expectStopped();
}

} // namespace
