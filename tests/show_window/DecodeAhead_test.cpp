// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "tests/support/ProgramFixture.h"

#include "platform/detail/ImageWidget.h"
#include "platform/detail/PictureCache.h"
#include "platform/detail/PictureData.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTest>

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>

using namespace platform;
using platform::detail::PictureCache;
using testsupport::ProgramFixture;

namespace {

PictureCache &cache()
{
    return PictureCache::instance();
}

QColor leftColour(const Picture &picture)
{
    const QImage &image = detail::PictureData::of(picture)->image;
    return image.pixelColor(image.width() / 4, image.height() / 2);
}

// A show on 15360 by 11520 past its opening, its timers stopped so that
// only the test moves it on.
class DecodeAhead : public ProgramFixture
{
protected:
    void startShow(std::initializer_list<std::tuple<const char *, int, int>> files)
    {
        for (const auto &[name, width, height] : files)
            pictures.jpeg(QString::fromUtf8(name), width, height);
        start(pictures.path(), "1");
        ASSERT_EQ(runOpening(), 16);
        show().tmrShow.setEnabled(false);
    }

    std::string path(const char *name) { return pictures.file(QString::fromUtf8(name)); }
    std::string current() { return main().File1.fileName(); }

    // The worker has finished the picture after the one on show.
    void waitForDecodeAhead(const char *name)
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return cache().holdsDecoded(path(name)); }, 10000))
                << name << " was never decoded ahead";
    }
};

TEST_F(DecodeAhead, TheNextPictureIsReadyBeforeItsTickAndUsedThere)
{
    startShow({ { "1.jpg", 400, 300 }, { "2.jpg", 400, 600 }, { "3.jpg", 600, 400 } });
    for (const char *next : { "2.jpg", "3.jpg", "1.jpg", "2.jpg" }) {
        SCOPED_TRACE(next);
        waitForDecodeAhead(next);
        const int hitsBefore = cache().counts().hits;
        show().tmrShow_Timer();
        EXPECT_EQ(current(), next);
        EXPECT_EQ(cache().counts().hits, hitsBefore + 1) << "the tick decoded it again";
    }
}

// The file changes after it was decoded ahead and before its tick: the
// tick shows the file as it is then.
TEST_F(DecodeAhead, AFileReplacedAfterItsDecodeShowsTheNewPicture)
{
    const struct
    {
        const char *how;
        std::function<void(const std::string &)> replace;
        Long width;
        QColor left;
    } rows[] = {
        { "renamed over it",
          [](const std::string &target) {
              const QString temporary = QString::fromStdString(target + ".new");
              QFile out(temporary);
              ASSERT_TRUE(out.open(QIODevice::WriteOnly));
              out.write(testsupport::jpegBytes(800, 200, Qt::green, Qt::green));
              out.close();
              ASSERT_TRUE(::rename(temporary.toLocal8Bit().constData(), target.c_str()) == 0);
          },
          800 * HimetricPerPixel, Qt::green },
        // Same inode and, padded past its end marker, the same length: only
        // the modification time tells the versions apart.
        { "rewritten in place at the same length",
          [](const std::string &target) {
              QFile out(QString::fromStdString(target));
              const qint64 length = out.size();
              QByteArray bytes = testsupport::jpegBytes(400, 600, Qt::yellow, Qt::yellow);
              ASSERT_LE(bytes.size(), length);
              bytes.append(QByteArray(length - bytes.size(), '\0'));
              ASSERT_TRUE(out.open(QIODevice::ReadWrite));
              ASSERT_EQ(out.write(bytes), length);
          },
          400 * HimetricPerPixel, Qt::yellow },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.how);
        program = std::make_unique<Program>();
        program->start();
        testsupport::TempFolder folder;
        folder.jpeg(QStringLiteral("1.jpg"), 400, 300);
        // Room to rewrite it in place with a smaller picture.
        QByteArray second = testsupport::jpegBytes(400, 600, Qt::red, Qt::blue);
        second.append(QByteArray(4096, '\0'));
        const std::string target = folder.write(QStringLiteral("2.jpg"), second);
        // Written an hour ago, so a rewrite now cannot share its time stamp.
        const struct timespec earlier[2]
                = { { ::time(nullptr) - 3600, 0 }, { ::time(nullptr) - 3600, 0 } };
        ASSERT_EQ(::utimensat(AT_FDCWD, target.c_str(), earlier, 0), 0);
        start(folder.path(), "1");
        runOpening();
        show().tmrShow.setEnabled(false);
        ASSERT_TRUE(QTest::qWaitFor([&] { return cache().holdsDecoded(target); }, 10000));

        row.replace(target);
        show().tmrShow_Timer();
        EXPECT_EQ(current(), "2.jpg");
        EXPECT_EQ(show().imgShow.picture().width(), row.width);
        const QColor shown = leftColour(show().imgShow.picture());
        EXPECT_LE(std::abs(shown.red() - row.left.red())
                          + std::abs(shown.green() - row.left.green())
                          + std::abs(shown.blue() - row.left.blue()),
                  24)
                << qPrintable(shown.name());
        program.reset();
    }
}

TEST_F(DecodeAhead, AFileDeletedAfterItsDecodeIsPassedOver)
{
    startShow({ { "1.jpg", 400, 300 }, { "2.jpg", 400, 600 }, { "3.jpg", 600, 400 } });
    waitForDecodeAhead("2.jpg");
    ASSERT_TRUE(QFile::remove(QString::fromStdString(path("2.jpg"))));
    show().tmrShow_Timer();
    EXPECT_EQ(current(), "3.jpg");
    EXPECT_EQ(show().imgShow.picture().width(), 600 * HimetricPerPixel);
    EXPECT_EQ(show().tickCount(), 0);
    EXPECT_TRUE(messages().empty());
}

TEST_F(DecodeAhead, NeverHoldsMoreThanTheCurrentAndTheNextPicture)
{
    startShow({ { "1.jpg", 1600, 1200 },
                { "2.jpg", 1200, 1600 },
                { "3.jpg", 1600, 900 },
                { "4.jpg", 900, 1600 },
                { "5.jpg", 1600, 1600 } });
    int most = 0;
    auto watch = [&] { most = std::max(most, cache().counts().held); };
    // Ticks both as soon as possible and after the worker is done.
    for (int change = 0; change < 12; ++change) {
        show().tmrShow_Timer();
        watch();
        if (change % 2 == 0) {
            ASSERT_TRUE(QTest::qWaitFor(
                    [&] {
                        watch();
                        return cache().idle();
                    },
                    10000));
        }
        watch();
    }
    // Selections far quicker than any decode: each drops what went before.
    for (int round = 0; round < 20; ++round) {
        main().File1.setListIndex(static_cast<Integer>(round % 5));
        watch();
    }
    ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                watch();
                return cache().idle();
            },
            10000));
    EXPECT_LE(most, 2);
    EXPECT_GE(most, 1) << "nothing was ever decoded ahead";
    // What stays is at most the selected picture and the one after it.
    EXPECT_TRUE(cache().holdsDecoded(path("1.jpg")));
    for (const char *other : { "2.jpg", "3.jpg", "4.jpg" })
        EXPECT_FALSE(cache().holdsDecoded(path(other))) << other;
}

// Windows and lists can go while the worker decodes: what it finishes is
// dropped with nothing left pointing at them.
TEST_F(DecodeAhead, ClosingTheProgramMidDecodeDropsTheResult)
{
    pictures.jpeg(QStringLiteral("1.jpg"), 40, 30);
    QImage big(6000, 4000, QImage::Format_Grayscale8);
    big.fill(90);
    ASSERT_TRUE(
            big.save(QString::fromStdString(pictures.file(QStringLiteral("2.jpg"))), "JPEG", 50));
    big = QImage();
    start(pictures.path(), "1");
    // The worker starts once the click is over; catch it at work.
    QElapsedTimer waited;
    waited.start();
    while (cache().counts().decoding == 0 && !cache().holdsDecoded(path("2.jpg"))
           && waited.elapsed() < 10000)
        QCoreApplication::processEvents();
    ASSERT_EQ(cache().counts().decoding, 1) << "the decode ahead had already finished";
    program.reset();
    ASSERT_TRUE(QTest::qWaitFor([] { return cache().idle(); }, 10000));
    EXPECT_EQ(cache().counts().held, 0);
    EXPECT_FALSE(cache().holdsDecoded(path("2.jpg")));

    // A program started afresh decodes ahead again.
    program = std::make_unique<Program>();
    program->start();
    start(pictures.path(), "1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return cache().holdsDecoded(path("2.jpg")); }, 10000));
}

// The worker also scales the next picture to the size the last one was
// shown at, so a run of pictures of one shape changes without any scaling
// on the user-interface thread; other shapes get a quick first paint and
// their smooth copy right after it.
TEST_F(DecodeAhead, APictureOfTheLastOnesShapeComesAlreadyScaled)
{
    detail::noteDisplaySize({}); // nothing shown yet in this program
    startShow({ { "1.jpg", 1200, 800 }, { "2.jpg", 1200, 800 }, { "3.jpg", 1200, 800 } });
    auto *widget = static_cast<ImageWidget *>(platform::testing::widgetOf(show().imgShow));
    const QSize fitted(1024, 384); // 3 by 2 rounds to a ratio of 2

    show().tmrShow_Timer();
    ASSERT_EQ(widget->size(), fitted);
    EXPECT_FALSE(widget->hasSmoothCopy()) << "decoded ahead for a size not yet seen";
    widget->repaint();
    ASSERT_TRUE(QTest::qWaitFor([&] { return widget->hasSmoothCopy(); }, 10000));

    show().tmrShow_Timer(); // 3.jpg: decoded before 2.jpg's size was known
    ASSERT_TRUE(QTest::qWaitFor([&] { return widget->hasSmoothCopy(); }, 10000));
    waitForDecodeAhead("1.jpg");
    show().tmrShow_Timer(); // the wrap to 1.jpg keeps the frame
    ASSERT_EQ(current(), "1.jpg");
    ASSERT_TRUE(widget->hasSmoothCopy());
    const Picture shown = show().imgShow.picture();
    const auto data = detail::PictureData::of(shown);
    EXPECT_EQ(data->prescaled.size(), fitted);
    EXPECT_EQ(widget->smoothCopy().cacheKey(), data->prescaled.cacheKey());
}

// A picture decoded for one screen is not shown on another.
TEST_F(DecodeAhead, APictureDecodedForAnotherScreenIsDecodedAgain)
{
    startShow({ { "1.jpg", 400, 300 }, { "2.jpg", 3000, 2000 } });
    waitForDecodeAhead("2.jpg");
    const int hitsBefore = cache().counts().hits;
    {
        platform::testing::ScreenOverride smaller(7680, 5760); // 512 by 384
        show().tmrShow_Timer();
        EXPECT_EQ(cache().counts().hits, hitsBefore);
        EXPECT_EQ(detail::PictureData::of(show().imgShow.picture())->image.size(), QSize(512, 384));
    }
}

} // namespace
