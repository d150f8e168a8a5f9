// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// ShellExecuteA with no recorder: the call goes to the shell's own
// ShellExecuteW, bound when first used, and its answer comes back as the
// shell gives it. What is opened here is harmless anywhere: a file that is
// not there, and the command processor told to write one line, hidden.
// Before windows.h, whose SW_SHOWNORMAL is a macro.
#include "platform/Shell.h"

#include "tests/platform/win32/Win32Test.h"

#include "platform/Form.h"
#include "platform/Testing.h"

#include "tests/support/TestPictures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

using namespace platform;

namespace {

class Window : public Form
{
public:
    Window() : Form(BorderStyle::FixedSingle, 3000, 1500) { }
};

std::string contentsOf(const std::string &path)
{
    std::ifstream in(testsupport::nativePath(path), std::ios::binary);
    std::string text;
    char buffer[256];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
    return text;
}

TEST(ShellExecute, AFileThatIsNotThereIsTheShellsOwnError)
{
    testsupport::TempFolder folder;
    Window window;
    const Long result = ShellExecuteA(window.hWnd(), "Open", folder.file("missing.jpg"), "", "",
                                      SW_SHOWNORMAL);
    EXPECT_EQ(result, SE_ERR_FNF);
}

// The verb, the file, its parameters and the folder it starts in all reach
// the program opened: the command processor writes a file there.
TEST(ShellExecute, TheShellOpensAProgramWithItsParametersInItsFolder)
{
    testsupport::TempFolder folder;
    Window window;
    for (const char *verb : { "Open", "" }) {
        SCOPED_TRACE(verb);
        const std::string where
                = folder.folder(std::string("Φάκελος ") + (*verb ? "open" : "default"));
        const std::string made = where + "\\made.txt";
        const Long result = ShellExecuteA(window.hWnd(), verb, "cmd.exe",
                                          "/c echo opened by the shell> made.txt", where, 0);
        EXPECT_GT(result, 32);
        ASSERT_TRUE(platform::testing::waitFor(
                [&] { return contentsOf(made).find("\r\n") != std::string::npos; }, 20000))
                << "the command processor wrote nothing in " << where;
        EXPECT_EQ(contentsOf(made), "opened by the shell\r\n");
    }
}

// A file of a kind nothing opens: Windows 8 and later offer to choose a
// program, Wine says there is no association.
TEST(ShellExecute, AFileNothingOpensIsRefusedUnderWine)
{
    if (!win32test::underWine())
        GTEST_SKIP() << "Windows would ask the user which program to open it with";
    testsupport::TempFolder folder;
    const std::string file = folder.write("notes.pelorin-no-such-kind", "x");
    EXPECT_EQ(ShellExecuteA(0, "Open", file, "", "", SW_SHOWNORMAL), SE_ERR_NOASSOC);
}

} // namespace
