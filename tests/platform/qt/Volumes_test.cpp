// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/DirListBox.h"
#include "platform/DriveListBox.h"
#include "platform/Form.h"
#include "platform/RuntimeError.h"
#include "platform/Testing.h"
#include "platform/backend/Files.h"
#include "platform/qt/Volumes.h"

#include "tests/support/TestPictures.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace platform;

namespace {

class Window : public Form
{
public:
    Window() : Form(BorderStyle::FixedSingle, 4000, 4000) { }
};

TEST(Volumes, KeepOnlyWhatAUserBrowses)
{
    const struct
    {
        const char *type;
        const char *root;
        bool browsable;
    } rows[] = {
        { "ext4", "/", true },
        { "vfat", "/media/alice/STICK", true },
        { "exfat", "/run/media/alice/CARD", true },
        { "ext4", "/mnt/data", true },
        { "nfs4", "/srv/photos", true },
        { "btrfs", "/home", true },
        { "proc", "/proc", false },
        { "sysfs", "/sys", false },
        { "tmpfs", "/tmp", false },
        { "devtmpfs", "/dev", false },
        { "squashfs", "/snap/core/1", false },
        { "overlay", "/var/lib/docker/x", false },
        { "ext4", "/boot", false },
        { "vfat", "/boot/efi", false },
        { "tmpfs", "/run/user/1000", false },
        { "fuse.portal", "/run/user/1000/doc", false },
        { "ext4", "/usr", false },
        // A name that merely starts like a system folder's is the user's.
        { "ext4", "/bootleg", true },
    };
    for (const auto &row : rows)
        EXPECT_EQ(qt::isBrowsable(row.type, QString::fromUtf8(row.root)), row.browsable)
                << row.type << " " << row.root;

    const std::vector<backend::Volume> found = backend::volumes();
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found.front().root, "/");
    EXPECT_EQ(found.front().text, "/ [File System]");
    // The home folder is the volume second to the root, unless it is the root.
    const std::string home = QFile::encodeName(QDir::homePath()).toStdString();
    Window window;
    DriveListBox drive(window);
    drive.setDrive(home);
    EXPECT_EQ(drive.drive(), found[found.size() > 1 ? 1 : 0].text);
    if (home != "/") {
        ASSERT_GT(found.size(), 1U);
        EXPECT_EQ(found[1].text, home + " [Home]");
    }
}

TEST(DriveListBox, NamesTheRootFileSystemAsTheDriveListShowsIt)
{
    Window window;
    DriveListBox drive(window);
    int changes = 0;
    drive.onChange([&] { ++changes; });
    drive.setDrive("/");
    const int before = changes;
    drive.setDrive("/");
    EXPECT_EQ(changes, before);
    EXPECT_EQ(drive.drive(), "/ [File System]");
    EXPECT_EQ(backend::folderOfDriveText(drive.drive()), "/");
    EXPECT_EQ(platform::testing::shownEntries(drive).front(), "/ [File System]");
    EXPECT_THROW(drive.setDrive("/no/such/place"), RuntimeError);
    DirListBox dir(window);
    dir.setPath(drive.drive());
    EXPECT_EQ(dir.path(), "/");
}

// A Linux drive list's text is the volume's folder and its label in
// brackets; a folder really named so wins.
TEST(DriveText, NamesTheFolderBeforeItsLabel)
{
    testsupport::TempFolder folder;
    const std::string pics = folder.folder("pics");
    const std::string named = folder.folder("named [so]");
    Window window;
    DirListBox dir(window);
    dir.setPath(pics + " [Pictures]");
    EXPECT_EQ(dir.path(), pics);
    dir.setPath(named);
    EXPECT_EQ(dir.path(), named);
    EXPECT_EQ(backend::folderOfDriveText(pics + " [Pictures]"), pics);
    EXPECT_EQ(backend::folderOfDriveText(named), named);
    EXPECT_EQ(backend::folderOfDriveText("no such [thing]"), "no such [thing]");
}

} // namespace
