// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "tests/support/AsOrdinaryUser.h"
#include "tests/support/ProgramFixture.h"

#include "platform/MsgBox.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QTest>
#include <QWidget>

#include <sys/stat.h>
#include <unistd.h>

using namespace platform;
using testsupport::AsOrdinaryUser;
using testsupport::ProgramFixture;

namespace {

constexpr const char *InvalidFolder = "Please select a valid image folder.";

QWidget *widget(const Control &control)
{
    return platform::testing::widgetOf(control);
}

class FolderChooser : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        QDir root(QString::fromStdString(pictures.path()));
        root.mkpath(QStringLiteral("trip/day 1"));
        root.mkpath(QStringLiteral("trip/day 2"));
        pictures.jpeg(QStringLiteral("trip/day 1/b.jpg"), 40, 30);
        pictures.jpeg(QStringLiteral("trip/day 1/a.JPG"), 40, 30);
        pictures.write(QStringLiteral("trip/day 1/notes.txt"), "x");
        pictures.jpeg(QStringLiteral("trip/day 2/c.jpg"), 40, 30);
        trip = pictures.file(QStringLiteral("trip"));
        day1 = trip + "/day 1";
        day2 = trip + "/day 2";
    }

    std::vector<std::string> listed()
    {
        std::vector<std::string> names;
        for (Integer i = 0; i < main().File1.listCount(); ++i)
            names.push_back(main().File1.list(i));
        return names;
    }

    std::string trip, day1, day2;
};

TEST_F(FolderChooser, BrowseOpensThePanelAndCancelClosesItWithoutTakingTheFolder)
{
    main().txtFolder.setText("typed");
    main().cmdBrowse_Click();
    EXPECT_TRUE(main().fraBrowse.visible());
    EXPECT_EQ(main().height(), 5210);
    EXPECT_EQ(platform::testing::windowOf(main())->height(), 315);
    EXPECT_FALSE(main().txtFolder.enabled());
    EXPECT_EQ(main().cmdBrowse.caption(), "Cancel");

    main().Dir1.setPath(day1);
    EXPECT_EQ(main().File1.path(), day1);
    EXPECT_EQ(listed(), (std::vector<std::string>{ "a.JPG", "b.jpg" }));

    main().cmdBrowse_Click();
    EXPECT_FALSE(main().fraBrowse.visible());
    EXPECT_EQ(main().height(), 2625);
    EXPECT_TRUE(main().txtFolder.enabled());
    EXPECT_EQ(main().cmdBrowse.caption(), "Browse");
    EXPECT_EQ(main().txtFolder.text(), "typed");
    // The file list keeps the browsed folder until a show starts.
    EXPECT_EQ(main().File1.path(), day1);

    // The lists keep their place between openings.
    main().cmdBrowse_Click();
    EXPECT_EQ(main().Dir1.path(), day1);
}

TEST_F(FolderChooser, SelectCopiesTheFolderListsPath)
{
    main().cmdBrowse_Click();
    main().cmdSelect_Click();
    EXPECT_EQ(main().txtFolder.text(), QDir::currentPath().toStdString());

    main().cmdBrowse_Click();
    main().Dir1.setPath(day2);
    main().File1.setListIndex(0);
    main().cmdSelect_Click();
    EXPECT_EQ(main().txtFolder.text(), day2);
    EXPECT_TRUE(main().txtFolder.enabled());
    EXPECT_FALSE(main().fraBrowse.visible());
    EXPECT_EQ(main().height(), 2625);
    EXPECT_EQ(main().cmdBrowse.caption(), "Browse");

    clickStartStop();
    EXPECT_EQ(main().cmdStartShow.caption(), "Stop Slide Show");
    EXPECT_EQ(main().File1.fileName(), "c.jpg");
}

TEST_F(FolderChooser, ADriveChoiceOpensItsRoot)
{
    main().Dir1.setPath(day1);
    main().Drive1.setDrive("/");
    main().Drive1_Change(); // as when the user picks it again
    EXPECT_EQ(main().Dir1.path(), "/");
    EXPECT_EQ(main().File1.path(), "/");
    EXPECT_TRUE(messages().empty());
}

TEST_F(FolderChooser, AFolderGoneMeanwhileLeavesTheListsWhereTheyWere)
{
    main().cmdBrowse_Click();
    main().Dir1.setPath(trip);
    QListWidget *list = static_cast<QListWidget *>(widget(main().Dir1));
    QListWidgetItem *item = list->findItems(QStringLiteral("day 2"), Qt::MatchExactly).first();
    ASSERT_TRUE(QDir(QString::fromStdString(day2)).removeRecursively());

    emit list->itemActivated(item);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.calls().empty(); }, 2000));
    EXPECT_EQ(messages(), std::vector<std::string>{ InvalidFolder });
    EXPECT_EQ(boxes.calls().front().style, vbCritical);
    EXPECT_EQ(main().Dir1.path(), trip);
    EXPECT_EQ(main().File1.path(), trip);
    EXPECT_EQ(main().cmdBrowse.caption(), "Cancel");
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

TEST_F(FolderChooser, BrowsingDuringAShowChangesItsPlayList)
{
    start(day1, "1");
    runOpening();
    main().cmdBrowse_Click();
    main().Dir1.setPath(day2);
    show().tmrShow_Timer();
    EXPECT_EQ(main().File1.fileName(), "c.jpg");
    EXPECT_EQ(main().cmdStartShow.caption(), "Stop Slide Show");
}

// Focus moves through what can take it, in tab order; the panel's
// controls join the cycle while it is open.
TEST_F(FolderChooser, TabReachesTheCoveredStartButtonAndSpaceClicksIt)
{
    main().txtFolder.setText(day1);
    main().cmdBrowse_Click();
    QWidget *window = platform::testing::windowOf(main());
    window->show();
    QApplication::setActiveWindow(window);

    std::vector<QWidget *> order;
    QWidget *current = widget(main().cmdBrowse);
    current->setFocus();
    for (int step = 0; step < 8; ++step) {
        order.push_back(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    const std::vector<QWidget *> expected = {
        widget(main().cmdBrowse), widget(main().Dir1),      widget(main().Drive1),
        widget(main().File1),     widget(main().cmdSelect), widget(main().cmdStartShow),
        widget(main().txtChange), widget(main().cmdAbout),
    };
    EXPECT_EQ(order, expected);

    widget(main().cmdSelect)->setFocus();
    QTest::keyClick(widget(main().cmdSelect), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), widget(main().cmdStartShow));
    QTest::keyClick(widget(main().cmdStartShow), Qt::Key_Space);
    EXPECT_EQ(main().cmdStartShow.caption(), "Stop Slide Show");
}

} // namespace
