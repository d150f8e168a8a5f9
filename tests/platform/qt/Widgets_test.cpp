// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/DirListBox.h"
#include "platform/Form.h"
#include "platform/Testing.h"

#include "tests/platform/qt/WidgetAccess.h"
#include "tests/support/ProgramFixture.h"

#include <QListWidget>
#include <QStyle>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace platform;
using testsupport::TempFolder;

namespace {

class MainWindow : public testsupport::ProgramFixture
{ };

// The main window keeps its designed size: the window system offers no
// way to resize, maximise or minimise it, whichever size it has.
TEST_F(MainWindow, CannotBeResizedMaximisedOrMinimised)
{
    const QWidget *window = qttest::windowOf(main());
    auto expectFixed = [&] {
        const Qt::WindowFlags flags = window->windowFlags();
        EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
        EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
        EXPECT_TRUE(flags & Qt::MSWindowsFixedSizeDialogHint);
        EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
        EXPECT_EQ(window->minimumSize(), window->size());
        EXPECT_EQ(window->maximumSize(), window->size());
        ASSERT_TRUE(window->windowHandle());
        EXPECT_EQ(window->windowHandle()->minimumSize(), window->windowHandle()->maximumSize());
    };
    ASSERT_TRUE(window->isVisible());
    expectFixed();
    // Opened for browsing it is taller, and as fixed.
    const int compact = window->height();
    platform::testing::click(main().cmdBrowse);
    EXPECT_GT(window->height(), compact);
    expectFixed();
    platform::testing::click(main().cmdBrowse);
    EXPECT_EQ(window->height(), compact);
    expectFixed();
}

// A folder list's entry: its text, its indentation and whether its folder
// is drawn open (an ancestor or the folder itself).
struct Row
{
    std::string name;
    int depth;
    bool open;
    bool operator==(const Row &) const = default;
};

void PrintTo(const Row &row, std::ostream *out)
{
    *out << row.depth << (row.open ? " open " : " closed ") << row.name;
}

class FolderListWidget : public ::testing::Test
{
protected:
    class Window : public Form
    {
    public:
        Window() : Form(BorderStyle::FixedSingle, 4000, 4000) { }
    };

    void SetUp() override
    {
        dir.move(120, 120, 3000, 3000);
        dir.onChange([this] { changes.push_back(dir.path()); });
        for (const char *name : { "pics/b10", "pics/b9", "pics/A", "pics/.hidden", "pics/été" })
            folder.folder(name);
        folder.write("pics/file.jpg", "x");
    }

    QListWidget *list() { return static_cast<QListWidget *>(qttest::widgetOf(dir)); }

    std::vector<Row> rows()
    {
        const QImage open
                = list()->style()->standardIcon(QStyle::SP_DirOpenIcon).pixmap(16).toImage();
        const QImage closed
                = list()->style()->standardIcon(QStyle::SP_DirClosedIcon).pixmap(16).toImage();
        EXPECT_NE(open, closed);
        std::vector<Row> result;
        for (int i = 0; i < list()->count(); ++i) {
            const QListWidgetItem *item = list()->item(i);
            const QImage icon = item->icon().pixmap(16).toImage();
            EXPECT_TRUE(icon == open || icon == closed) << i;
            result.push_back({ item->text().toStdString(), item->data(Qt::UserRole + 2).toInt(),
                               icon == open });
        }
        return result;
    }

    Window window;
    DirListBox dir{ window };
    TempFolder folder;
    const std::string pics = folder.file("pics");
    std::vector<std::string> changes;
};

TEST_F(FolderListWidget, ShowsAncestorsThenSubfoldersIndented)
{
    dir.setPath(pics);
    std::vector<Row> expected = { { "/", 0, true } };
    int depth = 1;
    for (const QString &part :
         QString::fromStdString(pics).split(QLatin1Char('/'), Qt::SkipEmptyParts))
        expected.push_back({ part.toStdString(), depth++, true });
    for (const char *name : { "A", "b9", "b10", "été" })
        expected.push_back({ name, depth, false });
    EXPECT_EQ(rows(), expected);
    ASSERT_TRUE(list()->currentItem());
    EXPECT_EQ(list()->currentItem()->text(), QStringLiteral("pics"));
}

TEST_F(FolderListWidget, ADoubleClickOpensAFolder)
{
    dir.setPath(pics);
    changes.clear();
    window.show();

    QListWidgetItem *b9 = list()->findItems(QStringLiteral("b9"), Qt::MatchExactly).first();
    const QPoint centre = list()->visualItemRect(b9).center();
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, centre);
    platform::testing::processEvents();
    EXPECT_TRUE(changes.empty()) << "a single click opened it";
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, centre);
    ASSERT_TRUE(platform::testing::waitFor([&] { return !changes.empty(); }, 2000));
    EXPECT_EQ(changes, std::vector<std::string>{ pics + "/b9" });
    EXPECT_EQ(dir.path(), pics + "/b9");
}

} // namespace
