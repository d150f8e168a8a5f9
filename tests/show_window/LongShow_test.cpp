// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "tests/support/ProgramFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <fstream>
#include <map>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;
using testsupport::ProgramFixture;

namespace {

long residentKilobytes()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

// Resident memory at the middle and at the end of a long run: whatever
// leaks shows as growth over the second half.
class LongShow : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        const int sizes[][2] = { { 64, 48 }, { 48, 64 }, { 60, 40 }, { 40, 60 }, { 50, 50 },
                                 { 90, 30 }, { 30, 90 }, { 64, 36 }, { 36, 64 }, { 70, 20 } };
        int index = 0;
        for (const auto &size : sizes)
            pictures.jpeg(QStringLiteral("%1.jpg").arg(index++), size[0], size[1]);
    }

    // The handlers are driven here; the real timers would tick in between
    // whenever pending events are handled.
    void holdTimers()
    {
        show().tmrOpen.setEnabled(false);
        show().tmrShow.setEnabled(false);
    }

    // Slack of one screen-sized buffer (1024 by 768 by 4 bytes), which the
    // window system may hold or not at either moment.
    void expectFlat(long middle, long end, const char *what)
    {
#if defined(__SANITIZE_ADDRESS__)
        // AddressSanitizer holds freed memory back in its quarantine, so the
        // resident size only climbs; LeakSanitizer checks this build instead.
        (void)middle;
        (void)end;
        (void)what;
        return;
#endif
        QCoreApplication::processEvents();
        EXPECT_LE(end - middle, 4096)
                << what << ": " << middle << " kB at half way, " << end << " kB at the end";
    }
};

TEST_F(LongShow, ADayOfTicksChangesPictureOnScheduleInFlatMemory)
{
    start(pictures.path(), "10");
    runOpening();
    holdTimers();
    constexpr int Ticks = 24 * 60 * 60;
    long middle = 0;
    int changes = 0;
    std::string previous = main().File1.fileName();
    for (int tick = 1; tick <= Ticks; ++tick) {
        show().tmrShow_Timer();
        if (main().File1.fileName() != previous) {
            ++changes;
            previous = main().File1.fileName();
            ASSERT_EQ(tick % 10, 0) << "a change off the schedule at tick " << tick;
        }
        if (tick % 1000 == 0)
            QCoreApplication::processEvents();
        if (tick == Ticks / 2)
            middle = residentKilobytes();
    }
    EXPECT_EQ(changes, Ticks / 10);
    expectFlat(middle, residentKilobytes(), "a day of ticks");
}

TEST_F(LongShow, TenThousandStartsAndStopsLeaveNothingBehind)
{
    constexpr int Cycles = 10000;
    main().txtFolder.setText(pictures.path());
    long middle = 0;
    for (int cycle = 1; cycle <= Cycles; ++cycle) {
        clickStartStop();
        ASSERT_EQ(main().cmdStartShow.caption(), "Stop Slide Show");
        holdTimers();
        show().tmrOpen_Timer();
        clickStartStop();
        ASSERT_EQ(main().cmdStartShow.caption(), "Start Slide Show");
        if (cycle % 100 == 0)
            QCoreApplication::processEvents();
        if (cycle == Cycles / 2)
            middle = residentKilobytes();
    }
    EXPECT_FALSE(show().tmrOpen.enabled());
    EXPECT_FALSE(show().tmrShow.enabled());
    expectFlat(middle, residentKilobytes(), "start and stop");
}

TEST_F(LongShow, TenThousandTogglesLeaveTheShowAsItWas)
{
    start(pictures.path(), "3");
    runOpening();
    holdTimers();
    show().tmrShow_Timer();
    long middle = 0;
    for (int click = 1; click <= 10000; ++click) {
        show().imgShow_Click();
        if (click % 100 == 0)
            QCoreApplication::processEvents();
        if (click == 5000)
            middle = residentKilobytes();
    }
    EXPECT_EQ(show().width(), 15360);
    EXPECT_EQ(show().height(), 11520);
    EXPECT_EQ(show().tickCount(), 1);
    expectFlat(middle, residentKilobytes(), "toggles");
}

class Vanishing : public ProgramFixture
{ };

TEST_F(Vanishing, AFolderRenamedOrDeletedLeavesThePictureOnScreen)
{
    for (const bool deleteIt : { false, true }) {
        SCOPED_TRACE(deleteIt ? "deleted" : "renamed");
        testsupport::TempFolder parent;
        const QString folder = QString::fromStdString(parent.path()) + QStringLiteral("/show");
        QDir().mkpath(folder);
        parent.jpeg(QStringLiteral("show/a.jpg"), 40, 30);
        parent.jpeg(QStringLiteral("show/b.jpg"), 30, 40);
        start(folder.toStdString(), "1");
        runOpening();
        if (deleteIt)
            ASSERT_TRUE(QDir(folder).removeRecursively());
        else
            ASSERT_TRUE(QDir().rename(folder, folder + QStringLiteral(" moved")));
        for (int tick = 0; tick < 3; ++tick) {
            show().tmrShow_Timer();
            EXPECT_EQ(show().imgShow.picture().width(), 40 * 26);
            EXPECT_EQ(show().tickCount(), 0);
        }
        clickStartStop();
        // A new start on the folder that went away is refused plainly.
        clickStartStop();
        EXPECT_EQ(messages().back(), "Please select a valid image folder.");
        boxes.clear();
    }
}

TEST_F(Vanishing, AFileReplacedDuringTheShowIsShownAsItIsNow)
{
    pictures.jpeg(QStringLiteral("a.jpg"), 40, 30);
    pictures.jpeg(QStringLiteral("b.jpg"), 30, 40);
    start(pictures.path(), "1");
    runOpening();
    pictures.jpeg(QStringLiteral("b.jpg"), 90, 30);
    show().tmrShow_Timer();
    EXPECT_EQ(main().File1.fileName(), "b.jpg");
    EXPECT_EQ(show().imgShow.picture().width(), 90 * 26);
    EXPECT_EQ(show().target_ratio, 3);
}

TEST_F(Vanishing, AnUnmountedVolumeIsPassedOverLikeADeletedFolder)
{
    testsupport::TempFolder mountPoint;
    if (::mount("pelorin-test", mountPoint.path().c_str(), "tmpfs", 0, "size=4m") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here (needs root and the capability to mount)";
    const QByteArray picture = testsupport::jpegBytes(40, 30);
    for (const char *name : { "a.jpg", "b.jpg" }) {
        QFile out(QString::fromStdString(mountPoint.path() + "/" + name));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(picture);
    }
    start(mountPoint.path(), "1");
    runOpening();
    ASSERT_EQ(::umount2(mountPoint.path().c_str(), MNT_DETACH), 0);
    for (int tick = 0; tick < 3; ++tick) {
        show().tmrShow_Timer();
        EXPECT_EQ(show().imgShow.picture().width(), 40 * 26);
    }
    EXPECT_TRUE(messages().empty());
}

TEST_F(Vanishing, AShowOverAReadOnlyFolderChangesNothingInIt)
{
    pictures.jpeg(QStringLiteral("a.jpg"), 40, 30);
    pictures.jpeg(QStringLiteral("b.jpg"), 30, 40);
    pictures.write(QStringLiteral("c.gif"), testsupport::gifBytes(20, 20));
    const QString folder = QString::fromStdString(pictures.path());
    auto snapshot = [&] {
        std::map<std::string, std::pair<qint64, qint64>> files;
        QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            files[info.fileName().toStdString()]
                    = { info.size(), info.lastModified().toMSecsSinceEpoch() };
        }
        return files;
    };
    ::chmod(pictures.path().c_str(), 0555);
    const auto before = snapshot();
    start(pictures.path(), "1");
    runOpening();
    for (int tick = 0; tick < 7; ++tick)
        show().tmrShow_Timer();
    clickStartStop();
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(messages().empty());
    ::chmod(pictures.path().c_str(), 0755);
}

} // namespace
