// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/FileListBox.h"
#include "platform/Form.h"
#include "platform/Picture.h"
#include "platform/RuntimeError.h"
#include "platform/Testing.h"
#include "platform/detail/ScreenSize.h"

#include "tests/support/HostileCorpus.h"
#include "tests/support/ProgramFixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

using namespace platform;
using testsupport::HostileCorpus;

namespace {

class Window : public Form
{
public:
    Window() : Form(BorderStyle::FixedSingle, 3000, 3000) { }
};

// The corpus locks one file; whoever may read it anyway (root) sees an
// ordinary picture there.
bool readable(const std::string &path)
{
    return std::ifstream(testsupport::nativePath(path), std::ios::binary).is_open();
}

// The red every picture's left half stores (scripts/make-hostile-corpus),
// and the grey of rows without data.
constexpr int StoredRed[] = { 220, 30, 30 };
constexpr int MissingGrey[] = { 128, 128, 128 };
constexpr int SameColour = 24;

// Whether the colour in the left half, at `down` of its height, is this.
bool shows(const Picture &picture, const int (&colour)[3], double down, int within = SameColour)
{
    const platform::testing::PixelSize size = platform::testing::decodedSize(picture);
    const std::uint32_t pixel = platform::testing::pixelOf(picture, size.width / 4,
                                                           static_cast<int>(size.height * down));
    const int channels[]
            = { static_cast<int>((pixel >> 16) & 0xff), static_cast<int>((pixel >> 8) & 0xff),
                static_cast<int>(pixel & 0xff) };
    for (int i = 0; i < 3; ++i) {
        if (std::abs(channels[i] - colour[i]) > within)
            return false;
    }
    return true;
}

bool showsStoredRed(const Picture &picture)
{
    return shows(picture, StoredRed, 0.5);
}

bool endsWith(const std::string &text, const std::string &end)
{
    return text.size() >= end.size()
            && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

void expectWithinTheScreen(const Picture &picture)
{
    const platform::testing::PixelSize decoded = platform::testing::decodedSize(picture);
    const detail::PixelSize screen = detail::screenDevicePixels();
    EXPECT_GT(decoded.width, 0);
    EXPECT_GT(decoded.height, 0);
    EXPECT_LE(decoded.width, screen.width);
    EXPECT_LE(decoded.height, screen.height);
}

TEST(HostilePictures, EachMeetsItsFate)
{
    const HostileCorpus &corpus = HostileCorpus::get();
    ASSERT_GE(corpus.fates().size(), 35U);
    std::ifstream profile(testsupport::nativePath(corpus.file("display swapped.icc")),
                          std::ios::binary);
    const std::vector<unsigned char> swappedDisplay((std::istreambuf_iterator<char>(profile)),
                                                    std::istreambuf_iterator<char>());
    ASSERT_FALSE(swappedDisplay.empty());
    for (const auto &[name, fate] : corpus.fates()) {
        SCOPED_TRACE(name + ": " + fate);
        const std::string path = corpus.file(name);
        if (fate.rfind("loads", 0) == 0 || (fate == "unreadable" && readable(path))) {
            int width = 30, height = 20;
            std::sscanf(fate.c_str(), "loads %d %d", &width, &height);
            try {
                const Picture picture = LoadPicture(path);
                EXPECT_EQ(picture.width(), width * HimetricPerPixel);
                EXPECT_EQ(picture.height(), height * HimetricPerPixel);
                expectWithinTheScreen(picture);
                if (endsWith(fate, "as sRGB")) {
                    EXPECT_TRUE(showsStoredRed(picture)) << "its colours were changed";
                    // On a display of its own, converted as an untagged
                    // picture is.
                    const platform::testing::DisplayProfileOverride display(swappedDisplay);
                    EXPECT_FALSE(showsStoredRed(LoadPicture(path)))
                            << "not converted from sRGB on a display with a profile";
                } else if (endsWith(fate, "converted")) {
                    EXPECT_FALSE(showsStoredRed(picture)) << "its colours were not converted";
                } else if (endsWith(fate, "grey below")) {
                    EXPECT_TRUE(shows(picture, MissingGrey, 0.95, 1))
                            << "the rows without data are not plain grey";
                }
            } catch (const RuntimeError &error) {
                ADD_FAILURE() << "refused: " << error.message();
            }
        } else if (fate == "refused" || fate == "unreadable") {
            EXPECT_THROW(LoadPicture(path), RuntimeError);
        } else if (fate == "bounded" || fate == "any") {
            // Refused, or decoded no larger than the screen: either is sound.
            try {
                expectWithinTheScreen(LoadPicture(path));
            } catch (const RuntimeError &error) {
                EXPECT_EQ(error.number(), ErrorNumber::InvalidPicture);
            }
        }
    }
}

TEST(HostilePictures, TheListHoldsOnlyFilesThatCanBeRead)
{
    const HostileCorpus &corpus = HostileCorpus::get();
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
    const HostileCorpus &corpus = HostileCorpus::get();
    start(corpus.path(), "1");
    ASSERT_EQ(main().cmdStartShow.caption(), "Stop Slide Show");
    runOpening();
    const Integer entries = main().File1.listCount();
    std::set<std::string> loadable;
    for (const auto &[name, fate] : corpus.fates()) {
        if (fate.rfind("loads", 0) == 0)
            loadable.insert(name);
    }
    std::set<std::string> shown;
    for (int tick = 0; tick < 3 * entries; ++tick) {
        show().tmrShow_Timer();
        const std::string name = main().File1.fileName();
        shown.insert(name);
        const std::string &fate = corpus.fates().at(name);
        EXPECT_TRUE(fate.rfind("loads", 0) == 0 || fate == "bounded" || fate == "any"
                    || (fate == "unreadable" && readable(corpus.file(name))))
                << name << " is on screen";
        EXPECT_FALSE(show().imgShow.picture().empty());
        EXPECT_EQ(show().tickCount(), 0);
    }
    // Three rounds of the list: every picture that loads has been on screen.
    for (const std::string &name : loadable)
        EXPECT_EQ(shown.count(name), 1U) << name << " was never shown";
    EXPECT_TRUE(messages().empty());
    EXPECT_TRUE(show().tmrShow.enabled());
}

} // namespace
