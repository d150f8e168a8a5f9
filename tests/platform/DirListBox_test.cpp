// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/DirListBox.h"
#include "platform/DriveListBox.h"
#include "platform/Form.h"
#include "platform/RuntimeError.h"
#include "platform/Testing.h"
#include "platform/detail/Volumes.h"

#include "tests/support/TestPictures.h"

#include <QDir>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace platform;
using testsupport::TempFolder;

namespace {

class Window : public Form
{
public:
    Window() : Form(BorderStyle::FixedSingle, 4000, 4000) { }
};

struct Row
{
    std::string name;
    int depth;
    bool operator==(const Row &) const = default;
};

void PrintTo(const Row &row, std::ostream *out)
{
    *out << row.depth << ":" << row.name;
}

class DirListBoxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir.onChange([this] { changes.push_back(dir.path()); });
        QDir root(QString::fromStdString(folder.path()));
        for (const char *name :
             { "pics", "pics/b10", "pics/b9", "pics/A", "pics/.hidden", "pics/été" })
            root.mkpath(QString::fromUtf8(name));
        folder.write(QStringLiteral("pics/file.jpg"), "x");
    }

    QListWidget *list() { return static_cast<QListWidget *>(platform::testing::widgetOf(dir)); }

    std::vector<Row> rows()
    {
        std::vector<Row> result;
        for (int i = 0; i < list()->count(); ++i)
            result.push_back({ list()->item(i)->text().toStdString(),
                               list()->item(i)->data(Qt::UserRole + 2).toInt() });
        return result;
    }

    Window window;
    DirListBox dir{ window };
    TempFolder folder;
    std::vector<std::string> changes;
};

TEST_F(DirListBoxTest, ShowsAncestorsThenSubfoldersIndented)
{
    const std::string pics = folder.file(QStringLiteral("pics"));
    dir.setPath(pics);
    std::vector<Row> expected = { { "/", 0 } };
    int depth = 1;
    for (const QString &part :
         QString::fromStdString(pics).split(QLatin1Char('/'), Qt::SkipEmptyParts))
        expected.push_back({ part.toStdString(), depth++ });
    for (const char *name : { "A", "b9", "b10", "été" })
        expected.push_back({ name, depth });
    EXPECT_EQ(rows(), expected);
    EXPECT_EQ(list()->currentItem()->text(), QStringLiteral("pics"));
    for (int i = 0; i < list()->count(); ++i)
        EXPECT_FALSE(list()->item(i)->icon().isNull());
}

TEST_F(DirListBoxTest, EveryChangeOfPathRaisesChangeAlsoByCode)
{
    const std::string pics = folder.file(QStringLiteral("pics"));
    dir.setPath(pics);
    dir.setPath(pics); // no change, no event
    dir.setPath(pics + "/b9/..");
    EXPECT_EQ(changes, std::vector<std::string>{ pics });
    EXPECT_THROW(dir.setPath(folder.file(QStringLiteral("missing"))), RuntimeError);
    EXPECT_THROW(dir.setPath(""), RuntimeError);
    EXPECT_EQ(dir.path(), pics);
}

TEST_F(DirListBoxTest, ADoubleClickOrEnterOpensAFolder)
{
    const std::string pics = folder.file(QStringLiteral("pics"));
    dir.setPath(pics);
    changes.clear();
    window.show();

    auto itemNamed = [&](const char *name) {
        return list()->findItems(QString::fromUtf8(name), Qt::MatchExactly).first();
    };
    QListWidgetItem *b9 = itemNamed("b9");
    const QPoint centre = list()->visualItemRect(b9).center();
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, centre);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !changes.empty(); }, 2000));
    EXPECT_EQ(changes, std::vector<std::string>{ pics + "/b9" });

    // Back up to the parent with the keyboard.
    list()->setCurrentItem(itemNamed("pics"));
    QTest::keyClick(list(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return changes.size() == 2; }, 2000));
    EXPECT_EQ(dir.path(), pics);
}

TEST_F(DirListBoxTest, AcceptsADriveListsText)
{
    const std::string pics = folder.file(QStringLiteral("pics"));
    dir.setPath(pics + " [Pictures]");
    EXPECT_EQ(dir.path(), pics);
}

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
    };
    for (const auto &row : rows)
        EXPECT_EQ(detail::isBrowsable(row.type, QString::fromUtf8(row.root)), row.browsable)
                << row.root;

    const QList<detail::Volume> found = detail::volumes();
    ASSERT_FALSE(found.isEmpty());
    EXPECT_EQ(found.first().text(), QStringLiteral("/ [File System]"));
    EXPECT_EQ(detail::volumeOf(found, QDir::homePath()), found.size() > 1 ? 1 : 0);
}

TEST(DriveListBox, NamesTheVolumeOfAFolderAndChangesOnlyWhenItDoes)
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
    EXPECT_EQ(detail::folderOfDriveText(QString::fromStdString(drive.drive())),
              QStringLiteral("/"));
    EXPECT_THROW(drive.setDrive("/no/such/place"), RuntimeError);
}

} // namespace
