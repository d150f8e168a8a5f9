// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// The drive list as Windows has it. Under Wine the test prefix adds two
// letters to c: and z: (scripts/wine-prefix): n:, linked to a folder that
// does not exist, which Wine lists as Windows lists an empty card reader,
// and p:, with the volume label "Pictures".
#include "tests/platform/win32/Win32Test.h"
#include "tests/support/ProgramFixture.h"

#include "platform/MsgBox.h"
#include "platform/RuntimeError.h"
#include "platform/win32/Icons.h"
#include "platform/win32/Text.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

using namespace platform;
using testsupport::ProgramFixture;
using win32test::handleOf;

namespace {

constexpr const char *InvalidFolder = "Please select a valid image folder.";

struct Drive
{
    std::string text; // as the list should show it
    std::wstring root;
    UINT type = DRIVE_UNKNOWN;
    bool ready = false;
};

// The drives from the system's own calls, as a user sees them in Explorer.
std::vector<Drive> systemDrives()
{
    std::vector<Drive> drives;
    const DWORD letters = GetLogicalDrives();
    for (int index = 0; index < 26; ++index) {
        if (!(letters & (1u << index)))
            continue;
        Drive drive;
        drive.root = { static_cast<wchar_t>(L'A' + index), L':', L'\\' };
        drive.type = GetDriveTypeW(drive.root.c_str());
        const DWORD attributes = GetFileAttributesW(drive.root.c_str());
        drive.ready = attributes != INVALID_FILE_ATTRIBUTES
                && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        std::wstring label;
        if (drive.type == DRIVE_REMOTE) {
            wchar_t remote[MAX_PATH + 1] = {};
            DWORD length = MAX_PATH;
            const std::wstring local = drive.root.substr(0, 2);
            if (WNetGetConnectionW(local.c_str(), remote, &length) == NO_ERROR)
                label = remote;
        } else {
            wchar_t name[MAX_PATH + 1] = {};
            if (GetVolumeInformationW(drive.root.c_str(), name, MAX_PATH, nullptr, nullptr, nullptr,
                                      nullptr, 0))
                label = name;
        }
        drive.text = std::string(1, static_cast<char>('a' + index)) + ":";
        if (!label.empty())
            drive.text += " [" + win32::narrow(label) + "]";
        drives.push_back(drive);
    }
    return drives;
}

// The icon of a drive's kind, as Explorer shows it beside the drive.
SHSTOCKICONID kindIcon(UINT type)
{
    switch (type) {
    case DRIVE_REMOVABLE:
        return SIID_DRIVEREMOVE;
    case DRIVE_CDROM:
        return SIID_DRIVECD;
    case DRIVE_REMOTE:
        return SIID_DRIVENET;
    case DRIVE_RAMDISK:
        return SIID_DRIVERAM;
    default:
        return SIID_DRIVEFIXED;
    }
}

class Drives : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        drives = systemDrives();
        ASSERT_FALSE(drives.empty());
    }

    const Drive *notReady() const
    {
        const auto found = std::find_if(drives.begin(), drives.end(),
                                        [](const Drive &drive) { return !drive.ready; });
        return found == drives.end() ? nullptr : &*found;
    }

    std::vector<Drive> drives;
};

TEST_F(Drives, EveryDriveLetterIsListedByItsLetterAndLabel)
{
    std::vector<std::string> expected;
    for (const Drive &drive : drives)
        expected.push_back(drive.text);
    const std::vector<std::string> shown = platform::testing::shownEntries(main().Drive1);
    EXPECT_EQ(shown, expected);
    for (const std::string &text : shown) {
        SCOPED_TRACE(text);
        ASSERT_GE(text.size(), 2U);
        EXPECT_TRUE(std::islower(static_cast<unsigned char>(text[0])));
        EXPECT_EQ(text[1], ':');
        if (text.size() > 2) {
            EXPECT_EQ(text.substr(2, 2), " [");
            EXPECT_EQ(text.back(), ']');
        }
    }
    if (win32test::underWine()) {
        // What the test prefix holds beside c: and z:.
        for (const char *text : { "c:", "n:", "p: [Pictures]", "z:" })
            EXPECT_NE(std::find(shown.begin(), shown.end(), text), shown.end()) << text;
    }
}

// An owner-drawn list: each entry drawn by the program, the icon of its
// drive's kind before its text.
TEST_F(Drives, EachDriveIsDrawnWithTheIconOfItsKind)
{
    const HWND list = handleOf(main().Drive1);
    const LONG_PTR style = GetWindowLongPtrW(list, GWL_STYLE);
    EXPECT_EQ(style & CBS_OWNERDRAWFIXED, CBS_OWNERDRAWFIXED);
    EXPECT_EQ(style & CBS_HASSTRINGS, CBS_HASSTRINGS);
    const int side = win32::smallIconSide(GetDpiForWindow(list));
    ASSERT_GE(SendMessageW(list, CB_GETITEMHEIGHT, 0, 0), side);
    ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(drives.size()));
    for (std::size_t index = 0; index < drives.size(); ++index) {
        SCOPED_TRACE(drives[index].text);
        const HICON icon = win32::stockIcon(kindIcon(drives[index].type), side);
        ASSERT_NE(icon, nullptr) << "the shell gives no icon for this kind of drive";
        EXPECT_TRUE(win32test::drawsEntryWithIcon(list, static_cast<int>(index), icon, side));
    }
}

TEST_F(Drives, ADrivesTextOpensItsRootInTheFolderList)
{
    main().cmdBrowse_Click();
    for (const Drive &drive : drives) {
        SCOPED_TRACE(drive.text);
        if (!drive.ready) {
            EXPECT_THROW(main().Dir1.setPath(drive.text), RuntimeError);
            continue;
        }
        main().Dir1.setPath(drive.text);
        EXPECT_EQ(main().Dir1.path(), win32::narrow(drive.root));
        EXPECT_EQ(main().File1.path(), win32::narrow(drive.root));
        EXPECT_EQ(platform::testing::shownEntries(main().Dir1).front(), win32::narrow(drive.root));
    }
    EXPECT_TRUE(messages().empty());
}

TEST_F(Drives, ADriveThatIsNotReadyIsListedAndChoosingItChangesNothing)
{
    const Drive *empty = notReady();
    if (!empty)
        GTEST_SKIP() << "every drive here is ready";
    const std::vector<std::string> shown = platform::testing::shownEntries(main().Drive1);
    ASSERT_NE(std::find(shown.begin(), shown.end(), empty->text), shown.end());

    const std::string trip = pictures.folder("trip");
    pictures.jpeg("trip/a.jpg", 40, 30);
    // The user picks the drive, then the folder on it.
    const auto home = std::find_if(drives.begin(), drives.end(), [&](const Drive &drive) {
        return CompareStringOrdinal(drive.root.c_str(), 3, win32::wide(trip).c_str(), 3, TRUE)
                == CSTR_EQUAL;
    });
    ASSERT_NE(home, drives.end());
    main().cmdBrowse_Click();
    ASSERT_TRUE(platform::testing::pickEntry(main().Drive1, home->text));
    main().Dir1.setPath(trip);
    const std::string drive = main().Drive1.drive();
    ASSERT_EQ(drive, home->text);
    ASSERT_EQ(main().File1.path(), trip);

    ASSERT_TRUE(platform::testing::pickEntry(main().Drive1, empty->text));
    platform::testing::processEvents();
    EXPECT_EQ(messages(), std::vector<std::string>{ InvalidFolder });
    ASSERT_FALSE(boxes.calls().empty());
    EXPECT_EQ(boxes.calls().front().style, vbCritical);
    EXPECT_EQ(main().Dir1.path(), trip);
    EXPECT_EQ(main().File1.path(), trip);
    EXPECT_EQ(main().File1.listCount(), 1);
    EXPECT_EQ(main().Drive1.drive(), drive);
    // The list shows the drive it went back to, not the one picked.
    const HWND list = handleOf(main().Drive1);
    const auto selected = SendMessageW(list, CB_GETCURSEL, 0, 0);
    ASSERT_NE(selected, CB_ERR);
    EXPECT_EQ(shown.at(static_cast<std::size_t>(selected)), drive);
    EXPECT_TRUE(main().fraBrowse.visible());
    EXPECT_EQ(main().cmdBrowse.caption(), "Cancel");
}

} // namespace
