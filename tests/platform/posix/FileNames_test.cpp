// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// A Linux file name is bytes, whatever encoding its maker used: a name or a
// folder that is not UTF-8 must be listed, opened and shown by those bytes.
#include "platform/DirListBox.h"
#include "platform/FileListBox.h"
#include "platform/Form.h"
#include "platform/Paths.h"
#include "platform/Picture.h"
#include "platform/Testing.h"

#include "tests/support/ProgramFixture.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

using namespace platform;
using testsupport::TempFolder;

namespace {

// Each picture a width of its own: the size of what loads tells which file
// it was. The ones that show alike differ only in their bytes.
const std::map<std::string, int> Pictures = {
    { "caf\xe9.jpg", 40 }, // Latin-1
    { "caf\xe8.jpg", 44 }, // Latin-1, shown as the one above
    { "caf\xef\xbf\xbd.jpg", 48 }, // U+FFFD itself in UTF-8, shown alike again
    { "\x80lone.jpg", 52 }, // a continuation byte with nothing to continue
    { "over\xc0\xaflong.jpg", 56 }, // "/" written in two bytes
    { "\xff\xfe.gif", 60 }, // bytes UTF-8 never uses
    { "plain.jpg", 64 },
    { "new\nline.jpg", 68 }, // a line break: no Windows name can hold one
};
constexpr int Height = 30;

// A folder whose own name is Latin-1.
const std::string OddFolder = "d\xe9j\xe0 vu";

void writePictures(const TempFolder &folder, const std::string &under = {})
{
    for (const auto &[name, width] : Pictures) {
        const std::string path = under.empty() ? name : under + "/" + name;
        if (name.ends_with(".gif"))
            folder.write(path, testsupport::gifBytes(width, Height));
        else
            folder.jpeg(path, width, Height);
    }
}

std::set<std::string> names()
{
    std::set<std::string> all;
    for (const auto &entry : Pictures)
        all.insert(entry.first);
    return all;
}

class Window : public Form
{
public:
    Window() : Form(BorderStyle::FixedSingle, 4000, 4000) { }
};

TEST(FileNames, AreListedByTheirOwnBytesAndLoadTheirOwnFile)
{
    TempFolder folder;
    writePictures(folder);
    Window window;
    FileListBox list(window);
    list.setPattern("*.gif;*.jpg");
    list.setPath(folder.path());
    std::set<std::string> listed;
    for (Integer i = 0; i < list.listCount(); ++i)
        listed.insert(list.list(i));
    EXPECT_EQ(listed, names());
    EXPECT_EQ(platform::testing::shownEntries(list).size(), Pictures.size());

    for (Integer i = 0; i < list.listCount(); ++i) {
        const std::string name = list.list(i);
        SCOPED_TRACE(::testing::PrintToString(name));
        list.setListIndex(i);
        EXPECT_EQ(list.fileName(), name);
        const Picture picture = LoadPicture(joinPath(list.path(), list.fileName()));
        EXPECT_EQ(picture.width(), Pictures.at(name) * HimetricPerPixel);
        EXPECT_EQ(picture.height(), Height * HimetricPerPixel);
    }
}

TEST(FileNames, AFolderNamedInAnotherEncodingIsListedAndOpened)
{
    TempFolder folder;
    const std::string odd = folder.folder(OddFolder);
    folder.folder("plain folder");
    writePictures(folder, OddFolder);

    Window window;
    DirListBox dir(window);
    std::vector<std::string> changes;
    dir.onChange([&] { changes.push_back(dir.path()); });
    // Its ancestors, itself and its two subfolders; then inside the odd
    // one, an ancestor more and nothing below.
    dir.setPath(folder.path());
    const std::size_t atParent = platform::testing::shownEntries(dir).size();
    dir.setPath(odd);
    const std::size_t inside = platform::testing::shownEntries(dir).size();
    EXPECT_EQ(atParent, inside + 1);
    dir.setPath(folder.path());
    changes.clear();

    window.show();
    ASSERT_TRUE(platform::testing::openEntry(dir, OddFolder));
    ASSERT_TRUE(platform::testing::waitFor([&] { return !changes.empty(); }, 2000));
    EXPECT_EQ(changes, std::vector<std::string>{ odd });
    EXPECT_EQ(dir.path(), odd);

    FileListBox list(window);
    list.setPattern("*.gif;*.jpg");
    list.setPath(dir.path());
    EXPECT_EQ(list.path(), odd);
    EXPECT_EQ(list.listCount(), static_cast<Integer>(Pictures.size()));
    list.setListIndex(0);
    const Picture first = LoadPicture(joinPath(list.path(), list.fileName()));
    EXPECT_EQ(first.width(), Pictures.at(list.fileName()) * HimetricPerPixel);
}

class FileNamesShow : public testsupport::ProgramFixture
{
protected:
    // The opening, then one forward step a tick with one second a picture:
    // every picture comes on screen once a round, each the file it names.
    void expectEveryPictureShown(const std::string &folder)
    {
        ASSERT_EQ(main().cmdStartShow.caption(), "Stop Slide Show");
        EXPECT_EQ(main().File1.path(), folder);
        ASSERT_EQ(main().File1.listCount(), static_cast<Integer>(Pictures.size()));
        runOpening();
        std::set<std::string> shown;
        for (std::size_t step = 0; step <= Pictures.size(); ++step) {
            const std::string name = main().File1.fileName();
            SCOPED_TRACE(::testing::PrintToString(name));
            shown.insert(name);
            ASSERT_EQ(Pictures.count(name), 1U);
            EXPECT_EQ(show().imgShow.picture().width(), Pictures.at(name) * HimetricPerPixel);
            EXPECT_EQ(show().imgShow.picture().height(), Height * HimetricPerPixel);
            show().tmrShow_Timer();
        }
        EXPECT_EQ(shown, names());
        EXPECT_TRUE(messages().empty());
        EXPECT_TRUE(show().tmrShow.enabled());
    }
};

TEST_F(FileNamesShow, EveryPictureIsShownWhateverItsNameIsMadeOf)
{
    writePictures(pictures);
    start(pictures.path(), "1");
    expectEveryPictureShown(pictures.path());
}

TEST_F(FileNamesShow, AFolderTypedInAnotherEncodingShowsItsPictures)
{
    const std::string odd = pictures.folder(OddFolder);
    writePictures(pictures, OddFolder);
    start(odd, "1");
    EXPECT_EQ(main().txtFolder.text(), odd);
    expectEveryPictureShown(odd);
}

TEST_F(FileNamesShow, AFolderReachedByTheFolderListShowsItsPictures)
{
    const std::string odd = pictures.folder(OddFolder);
    writePictures(pictures, OddFolder);
    main().txtChange.setText("1");
    platform::testing::click(main().cmdBrowse);
    ASSERT_TRUE(main().fraBrowse.visible());
    main().Dir1.setPath(pictures.path());
    ASSERT_TRUE(platform::testing::openEntry(main().Dir1, OddFolder));
    ASSERT_TRUE(platform::testing::waitFor([&] { return main().File1.path() == odd; }, 2000));
    EXPECT_EQ(main().Dir1.path(), odd);
    platform::testing::click(main().cmdSelect);
    EXPECT_EQ(main().txtFolder.text(), odd);
    platform::testing::click(main().cmdStartShow);
    expectEveryPictureShown(odd);
}

} // namespace
