// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// Links, pipes and devices named like pictures.
#include "platform/FileListBox.h"
#include "platform/Form.h"
#include "platform/Picture.h"
#include "platform/RuntimeError.h"

#include "tests/support/TestPictures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

using namespace platform;
using testsupport::entries;
using testsupport::TempFolder;

namespace {

class Window : public Form
{
public:
    Window() : Form(BorderStyle::FixedSingle, 3000, 3000) { }
};

// A link counts as what it points at; one that points nowhere, at a
// folder, or at a pipe is nothing to show.
TEST(LinksPipesAndDevices, AreListedAsWhatTheyAre)
{
    TempFolder folder;
    folder.write("b.jpg", "x");
    folder.folder("folder.jpg");
    ASSERT_EQ(::mkfifo(folder.file("pipe.jpg").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("nowhere.jpg", folder.file("dangling.jpg").c_str()), 0);
    ASSERT_EQ(::symlink("b.jpg", folder.file("link.jpg").c_str()), 0);
    ASSERT_EQ(::symlink("folder.jpg", folder.file("link to folder.jpg").c_str()), 0);
    ASSERT_EQ(::symlink("pipe.jpg", folder.file("link to pipe.jpg").c_str()), 0);
    ASSERT_EQ(::symlink("loop.jpg", folder.file("loop.jpg").c_str()), 0);
    ASSERT_EQ(::symlink("/dev/zero", folder.file("zero.jpg").c_str()), 0);

    Window window;
    FileListBox list(window);
    list.setPattern("*.gif;*.jpg");
    list.setPath(folder.path());
    EXPECT_EQ(entries(list), (std::vector<std::string>{ "b.jpg", "link.jpg" }));
}

// Opening one must neither hang on a pipe with no writer nor read a device
// without end.
TEST(LinksPipesAndDevices, AreNoPictures)
{
    TempFolder folder;
    const std::string pipe = folder.file("pipe.jpg");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", folder.file("zero.jpg").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere.jpg", folder.file("dangling.jpg").c_str()), 0);
    const std::string picture = folder.jpeg("real.jpg", 40, 30);
    ASSERT_EQ(::symlink("real.jpg", folder.file("link.jpg").c_str()), 0);

    const struct
    {
        std::string path;
        ErrorNumber expected;
    } rows[] = {
        { pipe, ErrorNumber::InvalidPicture },
        { folder.file("zero.jpg"), ErrorNumber::InvalidPicture },
        { "/dev/null", ErrorNumber::InvalidPicture },
        { folder.file("dangling.jpg"), ErrorNumber::FileNotFound },
    };
    for (const auto &row : rows) {
        try {
            LoadPicture(row.path);
            ADD_FAILURE() << row.path << " loaded";
        } catch (const RuntimeError &error) {
            EXPECT_EQ(error.number(), row.expected) << row.path;
        }
    }
    EXPECT_EQ(LoadPicture(folder.file("link.jpg")).width(), 40 * HimetricPerPixel);
}

} // namespace
