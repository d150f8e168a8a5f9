// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// The program's windows over what only Linux has: the root folder as a
// drive, folders locked to the user, read-only folders and volumes that
// are unmounted under a running show.
#include "tests/support/ProgramFixture.h"
#include "tests/support/posix/AsOrdinaryUser.h"

#include <map>
#include <string>
#include <vector>

#include <sys/mount.h>
#include <sys/stat.h>

using namespace platform;
using testsupport::AsOrdinaryUser;
using testsupport::ProgramFixture;

namespace {

constexpr const char *InvalidFolder = "Please select a valid image folder.";

class FolderChooser : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        day1 = pictures.folder("trip/day 1");
        pictures.jpeg("trip/day 1/a.jpg", 40, 30);
        trip = pictures.file("trip");
    }

    std::string trip, day1;
};

TEST_F(FolderChooser, ADriveChoiceOpensItsRoot)
{
    main().Dir1.setPath(day1);
    main().Drive1.setDrive("/");
    main().Drive1_Change(); // as when the user picks it again
    EXPECT_EQ(main().Dir1.path(), "/");
    EXPECT_EQ(main().File1.path(), "/");
    EXPECT_TRUE(messages().empty());
}

TEST_F(FolderChooser, AFolderThatCannotBeReadLeavesTheListsWhereTheyWere)
{
    const std::string locked = trip + "/locked";
    ASSERT_EQ(::mkdir(locked.c_str(), 0), 0);
    // The ordinary user must still reach the readable folders.
    ASSERT_EQ(::chmod(pictures.path().c_str(), 0755), 0);
    {
        const AsOrdinaryUser user;
        if (!AsOrdinaryUser::locksOut())
            GTEST_SKIP() << "running as root and cannot act as another user";
        main().Dir1.setPath(day1);
        main().Dir1.setPath(locked);
    }
    EXPECT_EQ(messages(), std::vector<std::string>{ InvalidFolder });
    EXPECT_EQ(main().Dir1.path(), day1);
    EXPECT_EQ(main().File1.path(), day1);
    ::chmod(locked.c_str(), 0700);
}

class Vanishing : public ProgramFixture
{ };

TEST_F(Vanishing, AnUnmountedVolumeIsPassedOverLikeADeletedFolder)
{
    testsupport::TempFolder mountPoint;
    if (::mount("pelorin-test", mountPoint.path().c_str(), "tmpfs", 0, "size=4m") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here (needs root and the capability to mount)";
    const std::string picture = testsupport::jpegBytes(40, 30);
    for (const char *name : { "a.jpg", "b.jpg" })
        testsupport::writeFile(mountPoint.file(name), picture);
    start(mountPoint.path(), "1");
    runOpening();
    ASSERT_EQ(::umount2(mountPoint.path().c_str(), MNT_DETACH), 0);
    for (int tick = 0; tick < 3; ++tick) {
        show().tmrShow_Timer();
        EXPECT_EQ(show().imgShow.picture().width(), 40 * 26);
    }
    EXPECT_TRUE(messages().empty());
}

TEST_F(Vanishing, AShowOverAReadOnlyFolderChangesNothingInIt)
{
    pictures.jpeg("a.jpg", 40, 30);
    pictures.jpeg("b.jpg", 30, 40);
    pictures.write("c.gif", testsupport::gifBytes(20, 20));
    // Size and modification time, to the nanosecond, of all that is there.
    auto snapshot = [&] {
        std::map<std::string, std::vector<long long>> files;
        for (const char *name : { ".", "a.jpg", "b.jpg", "c.gif" }) {
            struct stat info
            { };
            if (::stat(pictures.file(name).c_str(), &info) == 0)
                files[name] = { static_cast<long long>(info.st_size),
                                static_cast<long long>(info.st_mtim.tv_sec),
                                static_cast<long long>(info.st_mtim.tv_nsec),
                                static_cast<long long>(info.st_nlink) };
        }
        return files;
    };
    ASSERT_EQ(::chmod(pictures.path().c_str(), 0555), 0);
    const auto before = snapshot();
    ASSERT_EQ(before.size(), 4U);
    start(pictures.path(), "1");
    runOpening();
    for (int tick = 0; tick < 7; ++tick)
        show().tmrShow_Timer();
    clickStartStop();
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(messages().empty());
    ::chmod(pictures.path().c_str(), 0755);
}

} // namespace
