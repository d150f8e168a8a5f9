// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/FileListBox.h"
#include "platform/Form.h"
#include "platform/RuntimeError.h"

#include "tests/support/TestPictures.h"

#include <QDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace platform;
using testsupport::TempFolder;

namespace {

class Window : public Form
{
public:
    Window() : Form(BorderStyle::FixedSingle, 3000, 3000) { }
};

std::vector<std::string> entries(const FileListBox &list)
{
    std::vector<std::string> names;
    for (Integer i = 0; i < list.listCount(); ++i)
        names.push_back(list.list(i));
    return names;
}

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
        folder.write(QString::fromUtf8(name), "x");
    QDir(QString::fromStdString(folder.path())).mkdir(QStringLiteral("folder.jpg"));
    ASSERT_EQ(::symlink("nowhere.jpg", folder.file(QStringLiteral("dangling.jpg")).c_str()), 0);
    ASSERT_EQ(::symlink("b.jpg", folder.file(QStringLiteral("link.jpg")).c_str()), 0);

    list.setPattern("*.gif;*.jpg");
    list.setPath(folder.path());

    EXPECT_EQ(entries(list),
              (std::vector<std::string>{ "A.jpg", "b.jpg", "été 3.jpg", "été 20.jpg", "img1.jpeg",
                                         "img2.JPG", "img10.jpg", "link.jpg", "Photo.Gif",
                                         "with space.gif" }));
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
    list.setListIndex(-1);
    EXPECT_EQ(list.fileName(), "");

    // Setting the folder again reads it afresh and selects nothing.
    list.setListIndex(0);
    folder.write("three.jpg", "x");
    list.setPath(folder.path());
    EXPECT_EQ(list.listCount(), 3);
    EXPECT_EQ(list.listIndex(), -1);
}

TEST_F(FileListBoxTest, AFolderThatCannotBeListedLeavesTheListAsItWas)
{
    list.setPattern("*.jpg");
    folder.write("kept.jpg", "x");
    list.setPath(folder.path());
    list.setListIndex(0);

    const std::string locked = folder.file(QStringLiteral("locked"));
    ASSERT_EQ(::mkdir(locked.c_str(), 0), 0);
    EXPECT_EQ(pathError(list, ""), ErrorNumber::PathNotFound);
    EXPECT_EQ(pathError(list, "   "), ErrorNumber::PathNotFound);
    EXPECT_EQ(pathError(list, folder.file(QStringLiteral("missing"))), ErrorNumber::PathNotFound);
    EXPECT_EQ(pathError(list, folder.write("file", "x")), ErrorNumber::PathNotFound);
    if (::geteuid() != 0) { // root reads any folder
        EXPECT_EQ(pathError(list, locked), ErrorNumber::PathFileAccessError);
    }

    EXPECT_EQ(list.path(), folder.path());
    EXPECT_EQ(list.fileName(), "kept.jpg");
}

TEST_F(FileListBoxTest, RelativePathsAreTakenFromTheCurrentFolder)
{
    const QString previous = QDir::currentPath();
    QDir(QString::fromStdString(folder.path())).mkdir(QStringLiteral("sub"));
    folder.write("sub/in.jpg", "x");
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(folder.path())));
    list.setPattern("*.jpg");
    list.setPath("sub/");
    QDir::setCurrent(previous);
    EXPECT_EQ(list.path(), folder.file(QStringLiteral("sub")));
    EXPECT_EQ(list.listCount(), 1);
}

} // namespace
