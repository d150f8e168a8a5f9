// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/FileListBox.h"
#include "platform/Form.h"
#include "platform/Picture.h"
#include "platform/RuntimeError.h"
#include "platform/detail/PictureData.h"
#include "platform/detail/ScreenSize.h"

#include "tests/support/AsOrdinaryUser.h"
#include "tests/support/ProgramFixture.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <map>

#include <sys/resource.h>
#include <unistd.h>

using namespace platform;

namespace {

// The corpus is drawn afresh for each run by the script beside the samples'.
class Corpus
{
public:
    static const Corpus &get()
    {
        static const Corpus corpus;
        return corpus;
    }
    std::string path() const { return folder.path().toStdString(); }
    std::string file(const std::string &name) const { return path() + "/" + name; }
    const std::map<std::string, std::string> &fates() const { return expected; }

private:
    Corpus()
    {
        const int code = QProcess::execute(
                QStringLiteral("/usr/bin/python3"),
                { QStringLiteral(PELORIN_SOURCE_DIR "/scripts/make-hostile-corpus"),
                  folder.path() });
        if (code != 0)
            throw std::runtime_error("cannot make the hostile corpus");
        QFile list(folder.filePath(QStringLiteral("expected.tsv")));
        list.open(QIODevice::ReadOnly);
        for (const QByteArray &line : list.readAll().split('\n')) {
            const QList<QByteArray> fields = line.split('\t');
            if (fields.size() == 2)
                expected[QString::fromUtf8(fields[0])
                                 .replace(QLatin1String("\\n"), QLatin1String("\n"))
                                 .toStdString()]
                        = fields[1].toStdString();
        }
    }
    QTemporaryDir folder;
    std::map<std::string, std::string> expected;
};

class Window : public Form
{
public:
    Window() : Form(BorderStyle::FixedSingle, 3000, 3000) { }
};

TEST(HostilePictures, EachMeetsItsFate)
{
    const Corpus &corpus = Corpus::get();
    ASSERT_GE(corpus.fates().size(), 35U);
    const QSize screen = detail::screenDevicePixels();
    for (const auto &[name, fate] : corpus.fates()) {
        SCOPED_TRACE(name + ": " + fate);
        const std::string path = corpus.file(name);
        if (fate.rfind("loads", 0) == 0 || (fate == "unreadable" && ::geteuid() == 0)) {
            int width = 30, height = 20;
            std::sscanf(fate.c_str(), "loads %d %d", &width, &height);
            const Picture picture = LoadPicture(path);
            EXPECT_EQ(picture.width(), width * HimetricPerPixel);
            EXPECT_EQ(picture.height(), height * HimetricPerPixel);
            const QSize decoded = detail::PictureData::of(picture)->image.size();
            EXPECT_LE(decoded.width(), screen.width());
            EXPECT_LE(decoded.height(), screen.height());
        } else if (fate == "refused" || fate == "unreadable") {
            EXPECT_THROW(LoadPicture(path), RuntimeError);
        } else if (fate == "bounded" || fate == "any") {
            // Refused, or decoded no larger than the screen: either is sound.
            try {
                const QSize decoded = detail::PictureData::of(LoadPicture(path))->image.size();
                EXPECT_LE(decoded.width(), screen.width());
                EXPECT_LE(decoded.height(), screen.height());
            } catch (const RuntimeError &error) {
                EXPECT_EQ(error.number(), ErrorNumber::InvalidPicture);
            }
        }
    }
}

TEST(HostilePictures, AFileTheUserMayNotReadIsRefused)
{
    const Corpus &corpus = Corpus::get();
    ASSERT_EQ(::chmod(corpus.path().c_str(), 0755), 0);
    const testsupport::AsOrdinaryUser user;
    if (!testsupport::AsOrdinaryUser::locksOut())
        GTEST_SKIP() << "running as root and cannot act as another user";
    EXPECT_THROW(LoadPicture(corpus.file("unreadable.jpg")), RuntimeError);
    EXPECT_EQ(LoadPicture(corpus.file("ok.jpg")).width(), 800 * HimetricPerPixel);
}

TEST(HostilePictures, AHugeClaimCostsNoMoreThanTheScreen)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string path = Corpus::get().file("claims 65500 by 65500.jpg");
    EXPECT_EXIT(
            {
                rusage before{};
                ::getrusage(RUSAGE_SELF, &before);
                try {
                    LoadPicture(path);
                } catch (const RuntimeError &) { }
                rusage after{};
                ::getrusage(RUSAGE_SELF, &after);
                // 65500 squared would be 16 GB; the screen is 3 MB.
                std::exit(after.ru_maxrss - before.ru_maxrss < 150 * 1024 ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "");
}

TEST(HostilePictures, TheListHoldsOnlyFilesThatCanBeRead)
{
    const Corpus &corpus = Corpus::get();
    Window window;
    FileListBox list(window);
    list.setPattern("*.gif;*.jpg");
    list.setPath(corpus.path());
    std::set<std::string> listed;
    for (Integer i = 0; i < list.listCount(); ++i)
        listed.insert(list.list(i));
    for (const auto &[name, fate] : corpus.fates())
        EXPECT_EQ(listed.count(name), fate == "unlisted" ? 0U : 1U) << name;
}

class HostileShow : public testsupport::ProgramFixture
{ };

TEST_F(HostileShow, PassesOverWhatCannotBeShownAndNeverStops)
{
    const Corpus &corpus = Corpus::get();
    start(corpus.path(), "1");
    ASSERT_EQ(main().cmdStartShow.caption(), "Stop Slide Show");
    runOpening();
    const Integer entries = main().File1.listCount();
    std::set<std::string> shown;
    for (int tick = 0; tick < 3 * entries; ++tick) {
        show().tmrShow_Timer();
        const std::string name = main().File1.fileName();
        shown.insert(name);
        const std::string &fate = corpus.fates().at(name);
        EXPECT_TRUE(fate.rfind("loads", 0) == 0 || fate == "bounded" || fate == "any"
                    || (fate == "unreadable" && ::geteuid() == 0))
                << name << " is on screen";
        EXPECT_FALSE(show().imgShow.picture().empty());
        EXPECT_EQ(show().tickCount(), 0);
    }
    EXPECT_GE(shown.size(), 25U);
    EXPECT_TRUE(messages().empty());
    EXPECT_TRUE(show().tmrShow.enabled());
}

} // namespace
