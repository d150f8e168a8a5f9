// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// Folders as Windows users type them: either slash, a separator at the end,
// paths past the old 260-character limit, names in any script, network
// paths, paths relative to the current folder or drive.
#include "tests/platform/win32/Win32Test.h"
#include "tests/support/PictureBytes.h"
#include "tests/support/ProgramFixture.h"

#include "platform/MsgBox.h"
#include "platform/Paths.h"
#include "platform/Picture.h"
#include "platform/RuntimeError.h"
#include "platform/win32/Paths.h"
#include "platform/win32/Text.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

using namespace platform;
using testsupport::ProgramFixture;

namespace {

constexpr const char *InvalidFolder = "Please select a valid image folder.";

std::string replaced(std::string text, char from, char to)
{
    std::replace(text.begin(), text.end(), from, to);
    return text;
}

// Files and folders made and removed through the \\?\ form, which has no
// length limit, whatever the C++ library does.
void makeFolder(const std::string &path)
{
    ASSERT_TRUE(CreateDirectoryW(win32::systemPath(path).c_str(), nullptr))
            << path << ": error " << GetLastError();
}

void writeFile(const std::string &path, const std::string &bytes)
{
    const HANDLE file = CreateFileW(win32::systemPath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path << ": error " << GetLastError();
    DWORD written = 0;
    const BOOL wrote
            = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_TRUE(wrote && written == bytes.size()) << path;
}

void removeTree(const std::string &path)
{
    std::vector<backend::DirectoryEntry> entries;
    if (backend::listFolder(path, entries) == backend::Listing::Listed) {
        for (const backend::DirectoryEntry &entry : entries) {
            const std::string child = backend::childPath(path, entry.name);
            if (entry.kind == backend::DirectoryEntry::Kind::Folder)
                removeTree(child);
            else
                DeleteFileW(win32::systemPath(child).c_str());
        }
    }
    RemoveDirectoryW(win32::systemPath(path).c_str());
}

// The current folder for the test's length.
class CurrentFolder
{
public:
    explicit CurrentFolder(const std::string &folder) : previous(backend::currentFolder())
    {
        SetCurrentDirectoryW(win32::wide(folder).c_str());
    }
    ~CurrentFolder() { SetCurrentDirectoryW(win32::wide(previous).c_str()); }
    CurrentFolder(const CurrentFolder &) = delete;
    CurrentFolder &operator=(const CurrentFolder &) = delete;

private:
    std::string previous;
};

class Paths : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        day = pictures.folder("trip/day 1");
        pictures.jpeg("trip/day 1/b.jpg", 40, 30);
        pictures.jpeg("trip/day 1/a.jpg", 40, 30);
        pictures.write("trip/day 1/notes.txt", "x");
    }

    std::vector<std::string> listed() { return testsupport::entries(main().File1); }

    // Both lists, given the folder as typed, open "trip\day 1" and list
    // its pictures.
    void expectListsOpenDay(const std::string &typed)
    {
        main().File1.setPath(pictures.path());
        main().File1.setPath(typed);
        EXPECT_EQ(main().File1.path(), day);
        EXPECT_EQ(listed(), (std::vector<std::string>{ "a.jpg", "b.jpg" }));
        main().Dir1.setPath(typed);
        EXPECT_EQ(main().Dir1.path(), day);
    }

    // Starts a show on the folder through the main window, runs its
    // opening, and checks the first picture is on screen in its colours.
    void expectShowOf(const std::string &folder, const std::string &first)
    {
        start(folder);
        ASSERT_EQ(main().cmdStartShow.caption(), "Stop Slide Show") << folder;
        EXPECT_TRUE(messages().empty()) << messages().front();
        EXPECT_EQ(main().File1.fileName(), first);
        EXPECT_EQ(runOpening(), 16);
        EXPECT_TRUE(show().visible());
        const Picture shown = show().imgShow.picture();
        ASSERT_FALSE(shown.empty());
        const platform::testing::PixelSize size = platform::testing::decodedSize(shown);
        ASSERT_GT(size.width, 4);
        EXPECT_EQ(platform::testing::pixelOf(shown, 1, size.height / 2) & 0xf0f0f0u, 0xf00000u);
        EXPECT_EQ(platform::testing::pixelOf(shown, size.width - 2, size.height / 2) & 0xf0f0f0u,
                  0x0000f0u);
        clickStartStop();
        expectStopped();
    }

    std::string day;
};

TEST_F(Paths, EitherSlashAndASeparatorAtTheEndNameTheSameFolder)
{
    const std::string variants[] = {
        replaced(day, '\\', '/'),
        day + "\\",
        day + "/",
        replaced(day, '\\', '/') + "/",
        pictures.path() + "\\trip\\\\day 1",
        pictures.path() + "\\trip\\.\\day 1",
        pictures.path() + "\\trip\\day 1\\..\\day 1",
    };
    for (const std::string &typed : variants) {
        SCOPED_TRACE(typed);
        expectListsOpenDay(typed);
        EXPECT_EQ(platform::testing::shownEntries(main().Dir1).back(), "day 1");
        expectShowOf(typed, "a.jpg");
        EXPECT_EQ(main().File1.path(), day);
    }
}

// The \\?\ form takes every name as it stands: a doubled separator, "." or
// ".." would name no file there.
TEST(SystemPath, AnAbsolutePathTakesTheLongFormInTheSystemsOwnSpelling)
{
    const struct
    {
        const char *path;
        const wchar_t *expected;
    } rows[] = {
        { "C:\\Photos\\a.jpg", L"\\\\?\\C:\\Photos\\a.jpg" },
        { "C:/Photos/a.jpg", L"\\\\?\\C:\\Photos\\a.jpg" },
        // A drive's root joined with a name, as joinPath joins them.
        { "C:\\\\a.jpg", L"\\\\?\\C:\\a.jpg" },
        { "C:\\Photos\\\\a.jpg", L"\\\\?\\C:\\Photos\\a.jpg" },
        { "C:\\Photos\\.\\a.jpg", L"\\\\?\\C:\\Photos\\a.jpg" },
        { "C:\\Photos\\Old\\..\\a.jpg", L"\\\\?\\C:\\Photos\\a.jpg" },
        { "C:\\..\\a.jpg", L"\\\\?\\C:\\a.jpg" },
        { "C:\\", L"\\\\?\\C:\\" },
        { "\\\\server\\share\\a.jpg", L"\\\\?\\UNC\\server\\share\\a.jpg" },
        { "\\\\server\\share\\\\a.jpg", L"\\\\?\\UNC\\server\\share\\a.jpg" },
        { "//server/share/a.jpg", L"\\\\?\\UNC\\server\\share\\a.jpg" },
        { "\\\\?\\C:\\Photos\\a.jpg", L"\\\\?\\C:\\Photos\\a.jpg" },
        // A name with a device's name is a file in the long form.
        { "C:\\Photos\\con.jpg", L"\\\\?\\C:\\Photos\\con.jpg" },
        // Relative paths go to the system as they are.
        { "Photos\\a.jpg", L"Photos\\a.jpg" },
    };
    for (const auto &row : rows)
        EXPECT_EQ(win32::systemPath(row.path), row.expected) << row.path;
}

// A drive's root ends in a separator, and a file's path there is joined
// with a second one.
TEST_F(Paths, PicturesInADrivesRootLoadAndShow)
{
    if (!win32test::underWine())
        GTEST_SKIP() << "needs a drive root the test may write to: the Wine prefix's p:";
    const std::string root = "P:\\";
    const std::string name = "pelorin-root-" + std::to_string(GetCurrentProcessId()) + ".jpg";
    writeFile(root + name, testsupport::jpegBytes(40, 30));
    struct Removed
    {
        std::wstring path;
        ~Removed() { DeleteFileW(path.c_str()); }
    } removed{ win32::systemPath(root + name) };

    const Picture loaded = LoadPicture(joinPath(root, name));
    EXPECT_EQ(platform::testing::decodedSize(loaded), (platform::testing::PixelSize{ 40, 30 }));
    main().File1.setPath("P:");
    EXPECT_EQ(main().File1.path(), root);
    expectShowOf(root, name);
}

TEST_F(Paths, FoldersPastTheOldLengthLimitListAndShow)
{
    std::string folder = pictures.path();
    for (int level = 0; folder.size() <= MAX_PATH + 40; ++level) {
        folder += "\\a folder with a name long enough to pass the limit soon, level "
                + std::to_string(level);
        makeFolder(folder);
    }
    struct Removed
    {
        std::string path;
        ~Removed() { removeTree(path); }
    } removed{ pictures.path()
               + "\\a folder with a name long enough to pass the limit soon, level 0" };
    writeFile(folder + "\\b.gif", testsupport::gifBytes(8, 8));
    writeFile(folder + "\\a.jpg", testsupport::jpegBytes(64, 48));
    ASSERT_GT(folder.size(), static_cast<std::size_t>(MAX_PATH));

    main().File1.setPath(folder);
    EXPECT_EQ(main().File1.path(), folder);
    EXPECT_EQ(listed(), (std::vector<std::string>{ "a.jpg", "b.gif" }));
    main().cmdBrowse_Click();
    main().Dir1.setPath(folder);
    EXPECT_EQ(main().Dir1.path(), folder);
    EXPECT_EQ(platform::testing::shownEntries(main().Dir1).back(), backend::folderName(folder));
    main().cmdBrowse_Click();

    const Picture loaded = LoadPicture(joinPath(folder, "a.jpg"));
    EXPECT_EQ(platform::testing::decodedSize(loaded), (platform::testing::PixelSize{ 64, 48 }));
    expectShowOf(folder, "a.jpg");
}

TEST_F(Paths, NamesInGreekCjkAndEmojiListLoadAndShow)
{
    const std::string name = "Διακοπές 写真 🌄";
    const std::string file = "θάλασσα 海 🌊.jpg";
    const std::string folder = pictures.folder(name);
    pictures.jpeg(name + "/" + file, 40, 30);

    main().File1.setPath(folder);
    EXPECT_EQ(listed(), std::vector<std::string>{ file });
    EXPECT_EQ(platform::testing::shownEntries(main().File1), std::vector<std::string>{ file });
    main().cmdBrowse_Click();
    main().Dir1.setPath(pictures.path());
    const std::vector<std::string> shown = platform::testing::shownEntries(main().Dir1);
    EXPECT_NE(std::find(shown.begin(), shown.end(), name), shown.end());
    ASSERT_TRUE(platform::testing::openEntry(main().Dir1, name));
    ASSERT_TRUE(platform::testing::waitFor([&] { return main().Dir1.path() == folder; }, 2000));
    EXPECT_EQ(main().File1.path(), folder);
    main().cmdSelect_Click();
    EXPECT_EQ(main().txtFolder.text(), folder);

    const Picture loaded = LoadPicture(joinPath(folder, file));
    EXPECT_EQ(platform::testing::decodedSize(loaded), (platform::testing::PixelSize{ 40, 30 }));
    expectShowOf(folder, file);
}

// NTFS takes any 16-bit units for a name, a surrogate without its other
// half too. The runtime holds such a name in UTF-8's generalisation
// (WTF-8): back at Windows it must be the very same units, or the file
// listed can never be opened.
TEST(WindowsText, NamesOfAnyUnitsComeBackAsTheyWere)
{
    const std::wstring rows[] = {
        L"plain.jpg",
        L"\u03b8\u03ac\u03bb\u03b1\u03c3\u03c3\u03b1 \u6d77.jpg",
        L"wave \xd83c\xdf0a.jpg", // a pair: U+1F30A
        L"lead \xd83c.jpg", // a lead surrogate alone
        L"trail \xdf0a.jpg", // a trail alone
        L"\xdf0a\xd83c.jpg", // a pair the wrong way round
        L"end \xd83c", // a lead at the very end
    };
    for (const std::wstring &name : rows) {
        SCOPED_TRACE(::testing::PrintToString(std::string(win32::narrow(name))));
        EXPECT_EQ(win32::wide(win32::narrow(name)), name);
    }
    // A pair is the one four-byte character, as in plain UTF-8.
    EXPECT_EQ(win32::narrow(L"\xd83c\xdf0a"), "\xf0\x9f\x8c\x8a");
    // Bytes that are no UTF-8 at all are shown as the replacement.
    EXPECT_EQ(win32::wide("a\xff"
                          "b"),
              L"a\xfffd"
              L"b");
    EXPECT_EQ(win32::wide("\xc3"), L"\xfffd");
}

TEST_F(Paths, ANameWithAnUnpairedSurrogateListsLoadsAndShows)
{
    const std::string folder = pictures.folder("halves");
    // The folder in the system's own form, then the name's units as they are.
    const auto inFolder = [&](const std::wstring &units) {
        std::wstring path = win32::systemPath(joinPath(folder, "x"));
        path.replace(path.size() - 1, 1, units);
        return path;
    };
    const auto make = [](const std::wstring &path) {
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(file);
        return true;
    };
    ASSERT_TRUE(make(inFolder(L"plain.txt"))) << GetLastError();
    const std::wstring units = L"lone \xd83c.jpg";
    // Wine keeps names as UTF-8 on the Unix side, where such a unit has no
    // spelling: only NTFS shows what the runtime must keep.
    if (!make(inFolder(units)))
        GTEST_SKIP() << "the file system takes no such name here: error " << GetLastError();
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(inFolder(L"*.jpg").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    FindClose(search);
    if (std::wstring(found.cFileName) != units)
        GTEST_SKIP() << "the file system does not keep the name's units here";
    const std::string name = win32::narrow(units);
    writeFile(joinPath(folder, name), testsupport::jpegBytes(40, 30));

    main().File1.setPath(folder);
    EXPECT_EQ(listed(), std::vector<std::string>{ name });
    const Picture loaded = LoadPicture(joinPath(folder, name));
    EXPECT_EQ(platform::testing::decodedSize(loaded), (platform::testing::PixelSize{ 40, 30 }));
    expectShowOf(folder, name);
}

// The system's own time-out for a server that does not answer is under
// half a minute; the program must not add to it, nor hang.
TEST_F(Paths, ANetworkFolderThatCannotBeReachedIsRefusedWithinTheSystemsTimeOut)
{
    const std::string unreachable = "\\\\nosuchserver\\share\\folder";
    main().File1.setPath(day);
    const auto started = std::chrono::steady_clock::now();
    start(unreachable);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_LT(took, std::chrono::seconds(30));
    EXPECT_EQ(messages(), std::vector<std::string>{ InvalidFolder });
    EXPECT_EQ(main().cmdStartShow.caption(), "Start Slide Show");
    EXPECT_FALSE(program->showWindowLoaded());
    EXPECT_EQ(main().File1.path(), day);
    EXPECT_THROW(main().Dir1.setPath(unreachable), RuntimeError);
    EXPECT_THROW(main().Drive1.setDrive(unreachable), RuntimeError);
}

// Windows keeps one current folder for the process, and the current
// folder of each drive: "x:folder" is on drive x, "\folder" on the current
// drive.
TEST_F(Paths, ARelativeFolderIsTakenFromTheCurrentFolder)
{
    const CurrentFolder here(pictures.path());
    const std::string drive = pictures.path().substr(0, 2);
    const std::string variants[] = {
        "trip\\day 1",           "trip/day 1/",         ".\\trip\\day 1",
        "trip\\..\\trip\\day 1", drive + "trip\\day 1", pictures.path().substr(2) + "\\trip\\day 1",
    };
    for (const std::string &typed : variants) {
        SCOPED_TRACE(typed);
        expectListsOpenDay(typed);
    }
    expectShowOf("trip\\day 1", "a.jpg");
    EXPECT_EQ(main().File1.path(), day);
}

} // namespace
