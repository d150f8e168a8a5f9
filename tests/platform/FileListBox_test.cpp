// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/FileListBox.h"
#include "platform/Form.h"
#include "platform/Paths.h"
#include "platform/RuntimeError.h"
#include "platform/Testing.h"
#include "platform/detail/FileRules.h"

#include "tests/support/TestPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

using namespace platform;
using testsupport::entries;
using testsupport::nativePath;
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

class FileListBoxTest : public ::testing::Test
{
protected:
    Window window;
    FileListBox list{ window };
    TempFolder folder;
};

TEST_F(FileListBoxTest, ListsThePatternsPicturesInNaturalOrder)
{
    for (const char *name : { "img10.jpg", "img2.JPG", "img1.jpeg", "Photo.Gif", "b.jpg", "A.jpg",
                              "notes.txt", "picture.png", ".hidden.jpg", "a jpg", "x.jpgx",
                              "été 3.jpg", "été 20.jpg", "with space.gif" })
        folder.write(name, "x");
    folder.folder("folder.jpg");

    list.setPattern("*.gif;*.jpg");
    list.setPath(folder.path());

    const std::vector<std::string> expected
            = { "A.jpg",    "b.jpg",     "été 3.jpg", "été 20.jpg",    "img1.jpeg",
                "img2.JPG", "img10.jpg", "Photo.Gif", "with space.gif" };
    EXPECT_EQ(entries(list), expected);
    // The list shows what it holds, in the same order.
    EXPECT_EQ(platform::testing::shownEntries(list), expected);
    EXPECT_EQ(list.path(), folder.path());
    EXPECT_EQ(list.pattern(), "*.gif;*.jpg");
}

TEST_F(FileListBoxTest, TheIndexSelectsAndNamesAnEntry)
{
    list.setPattern("*.gif;*.jpg");
    folder.write("one.jpg", "x");
    folder.write("two.gif", "x");
    list.setPath(folder.path());

    EXPECT_EQ(list.listCount(), 2);
    EXPECT_EQ(list.listIndex(), -1);
    EXPECT_EQ(list.fileName(), "");
    list.setListIndex(1);
    EXPECT_EQ(list.listIndex(), 1);
    EXPECT_EQ(list.fileName(), "two.gif");
    for (Integer bad : { Integer(-2), Integer(2), Integer(32767) })
        EXPECT_THROW(list.setListIndex(bad), RuntimeError) << bad;
    EXPECT_THROW(list.list(2), RuntimeError);
    EXPECT_THROW(list.list(-1), RuntimeError);
    list.setListIndex(-1);
    EXPECT_EQ(list.fileName(), "");

    // Setting the folder again reads it afresh and selects nothing.
    list.setListIndex(0);
    folder.write("three.jpg", "x");
    list.setPath(folder.path());
    EXPECT_EQ(list.listCount(), 3);
    EXPECT_EQ(list.listIndex(), -1);
}

TEST_F(FileListBoxTest, TheUserPicksAnEntryWithTheMouse)
{
    list.setPattern("*.jpg");
    for (const char *name : { "a.jpg", "b.jpg", "c.jpg" })
        folder.write(name, "x");
    list.setPath(folder.path());
    window.show();
    ASSERT_TRUE(platform::testing::pickEntry(list, "b.jpg"));
    EXPECT_EQ(list.listIndex(), 1);
    EXPECT_EQ(list.fileName(), "b.jpg");
    EXPECT_FALSE(platform::testing::pickEntry(list, "d.jpg"));
    EXPECT_EQ(list.fileName(), "b.jpg");
}

TEST_F(FileListBoxTest, AFolderThatCannotBeListedLeavesTheListAsItWas)
{
    list.setPattern("*.jpg");
    folder.write("kept.jpg", "x");
    list.setPath(folder.path());
    list.setListIndex(0);

    EXPECT_EQ(pathError(list, ""), ErrorNumber::PathNotFound);
    EXPECT_EQ(pathError(list, "   "), ErrorNumber::PathNotFound);
    EXPECT_EQ(pathError(list, folder.file("missing")), ErrorNumber::PathNotFound);
    EXPECT_EQ(pathError(list, folder.write("file", "x")), ErrorNumber::PathNotFound);

    EXPECT_EQ(list.path(), folder.path());
    EXPECT_EQ(list.fileName(), "kept.jpg");
    EXPECT_EQ(entries(list), std::vector<std::string>{ "kept.jpg" });
}

TEST_F(FileListBoxTest, RelativePathsAreTakenFromTheCurrentFolder)
{
    namespace fs = std::filesystem;
    const fs::path previous = fs::current_path();
    folder.folder("sub");
    folder.write("sub/in.jpg", "x");
    fs::current_path(nativePath(folder.path()));
    list.setPattern("*.jpg");
    list.setPath(std::string("sub") + PathSeparator);
    fs::current_path(previous);
    EXPECT_EQ(list.path(), folder.file("sub"));
    EXPECT_EQ(list.listCount(), 1);
}

// Names the natural order holds equal ("a.jpg", "A.jpg" on a file system
// that keeps both) must come out in one order whatever order the folder
// gave them in, or a show's sequence would change between two listings.
TEST(NaturalOrder, NamesItHoldsEqualKeepOneOrderWhateverTheyCameIn)
{
    const auto caseBlind = [](const std::string &a, const std::string &b) {
        return std::lexicographical_compare(
                a.begin(), a.end(), b.begin(), b.end(),
                [](unsigned char x, unsigned char y) { return std::tolower(x) < std::tolower(y); });
    };
    // In byte order, which next_permutation starts from.
    std::vector<std::string> given = { "A.jpg", "B.jpg", "a.jpg", "b.jpg", "c.jpg" };
    const std::vector<std::string> expected = { "A.jpg", "a.jpg", "B.jpg", "b.jpg", "c.jpg" };
    do {
        std::vector<std::string> names = given;
        detail::sortByOrder(names, [&](std::size_t a, std::size_t b) {
            return caseBlind(names[a], names[b]) ? -1 : caseBlind(names[b], names[a]) ? 1 : 0;
        });
        ASSERT_EQ(names, expected) << "from " << ::testing::PrintToString(given);
    } while (std::next_permutation(given.begin(), given.end()));
}

} // namespace
