// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "tests/support/ProgramFixture.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include <lcms2.h>

using namespace platform;
using platform::testing::PixelSize;
using testsupport::nativePath;
using testsupport::ProgramFixture;
using testsupport::Rgb;

namespace {

namespace fs = std::filesystem;
using platform::testing::decodeAheadCounts;
using platform::testing::decodeAheadHolds;
using platform::testing::decodeAheadIdle;

// The colour a quarter of the way across the middle row: inside the left
// half of the pictures these tests draw.
Rgb leftColour(const Picture &picture)
{
    const PixelSize size = platform::testing::decodedSize(picture);
    const std::uint32_t pixel
            = platform::testing::pixelOf(picture, size.width / 4, size.height / 2);
    return { static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
             static_cast<std::uint8_t>(pixel) };
}

int distance(Rgb a, Rgb b)
{
    return std::abs(a.red - b.red) + std::abs(a.green - b.green) + std::abs(a.blue - b.blue);
}

// A show on 15360 by 11520 past its opening, its timers stopped so that
// only the test moves it on.
class DecodeAhead : public ProgramFixture
{
protected:
    void startShow(std::initializer_list<std::tuple<const char *, int, int>> files)
    {
        for (const auto &[name, width, height] : files)
            pictures.jpeg(name, width, height);
        start(pictures.path(), "1");
        ASSERT_EQ(runOpening(), 16);
        show().tmrShow.setEnabled(false);
    }

    std::string path(const char *name) { return pictures.file(name); }
    std::string current() { return main().File1.fileName(); }

    // The worker has finished the picture after the one on show.
    void waitForDecodeAhead(const char *name)
    {
        ASSERT_TRUE(platform::testing::waitFor([&] { return decodeAheadHolds(path(name)); }))
                << name << " was never decoded ahead";
    }
};

TEST_F(DecodeAhead, TheNextPictureIsReadyBeforeItsTickAndUsedThere)
{
    startShow({ { "1.jpg", 400, 300 }, { "2.jpg", 400, 600 }, { "3.jpg", 600, 400 } });
    for (const char *next : { "2.jpg", "3.jpg", "1.jpg", "2.jpg" }) {
        SCOPED_TRACE(next);
        waitForDecodeAhead(next);
        const int hitsBefore = decodeAheadCounts().hits;
        show().tmrShow_Timer();
        EXPECT_EQ(current(), next);
        EXPECT_EQ(decodeAheadCounts().hits, hitsBefore + 1) << "the tick decoded it again";
    }
}

void writeBytes(const std::string &path, const std::string &bytes)
{
    std::ofstream out(nativePath(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    ASSERT_TRUE(out) << "cannot write " << path;
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
        Rgb left;
    } rows[] = {
        { "renamed over it",
          [](const std::string &target) {
              const std::string temporary = target + ".new";
              writeBytes(temporary,
                         testsupport::jpegBytes(800, 200, testsupport::green, testsupport::green));
              std::error_code error;
              fs::rename(nativePath(temporary), nativePath(target), error);
              ASSERT_FALSE(error) << error.message();
          },
          800 * HimetricPerPixel, testsupport::green },
        // Same file and, padded past its end marker, the same length: only
        // the modification time tells the versions apart.
        { "rewritten in place at the same length",
          [](const std::string &target) {
              const std::uintmax_t length = fs::file_size(nativePath(target));
              std::string bytes
                      = testsupport::jpegBytes(400, 600, testsupport::yellow, testsupport::yellow);
              ASSERT_LE(bytes.size(), length);
              bytes.append(length - bytes.size(), '\0');
              std::fstream out(nativePath(target), std::ios::binary | std::ios::in | std::ios::out);
              ASSERT_TRUE(out.is_open());
              out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
              out.close();
              ASSERT_TRUE(out);
              ASSERT_EQ(fs::file_size(nativePath(target)), length);
          },
          400 * HimetricPerPixel, testsupport::yellow },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.how);
        program = std::make_unique<Program>();
        program->start();
        testsupport::TempFolder folder;
        folder.jpeg("1.jpg", 400, 300);
        // Room to rewrite it in place with a smaller picture.
        std::string second = testsupport::jpegBytes(400, 600, testsupport::red, testsupport::blue);
        second.append(4096, '\0');
        const std::string target = folder.write("2.jpg", second);
        // Written an hour ago, so a rewrite now cannot share its time stamp.
        fs::last_write_time(nativePath(target),
                            fs::file_time_type::clock::now() - std::chrono::hours(1));
        start(folder.path(), "1");
        runOpening();
        show().tmrShow.setEnabled(false);
        ASSERT_TRUE(platform::testing::waitFor([&] { return decodeAheadHolds(target); }));

        row.replace(target);
        show().tmrShow_Timer();
        EXPECT_EQ(current(), "2.jpg");
        EXPECT_EQ(show().imgShow.picture().width(), row.width);
        const Rgb shown = leftColour(show().imgShow.picture());
        EXPECT_LE(distance(shown, row.left), 24)
                << int(shown.red) << ", " << int(shown.green) << ", " << int(shown.blue);
        program.reset();
    }
}

TEST_F(DecodeAhead, AFileDeletedAfterItsDecodeIsPassedOver)
{
    startShow({ { "1.jpg", 400, 300 }, { "2.jpg", 400, 600 }, { "3.jpg", 600, 400 } });
    waitForDecodeAhead("2.jpg");
    ASSERT_TRUE(fs::remove(nativePath(path("2.jpg"))));
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
    auto watch = [&] { most = std::max(most, decodeAheadCounts().held); };
    auto watchUntilIdle = [&] {
        watch();
        return decodeAheadIdle();
    };
    // Ticks both as soon as possible and after the worker is done.
    for (int change = 0; change < 12; ++change) {
        show().tmrShow_Timer();
        watch();
        if (change % 2 == 0) {
            ASSERT_TRUE(platform::testing::waitFor(watchUntilIdle));
        }
        watch();
    }
    // Selections far quicker than any decode: each drops what went before.
    for (int round = 0; round < 20; ++round) {
        main().File1.setListIndex(static_cast<Integer>(round % 5));
        watch();
    }
    ASSERT_TRUE(platform::testing::waitFor(watchUntilIdle));
    EXPECT_LE(most, 2);
    EXPECT_GE(most, 1) << "nothing was ever decoded ahead";
    // What stays is at most the selected picture and the one after it.
    EXPECT_TRUE(decodeAheadHolds(path("1.jpg")));
    for (const char *other : { "2.jpg", "3.jpg", "4.jpg" })
        EXPECT_FALSE(decodeAheadHolds(path(other))) << other;
}

// Windows and lists can go while the worker decodes: what it finishes is
// dropped with nothing left pointing at them.
TEST_F(DecodeAhead, ClosingTheProgramMidDecodeDropsTheResult)
{
    pictures.jpeg("1.jpg", 40, 30);
    testsupport::JpegOptions options;
    options.quality = 50;
    options.colours = testsupport::JpegColours::Grey;
    pictures.write(
            "2.jpg",
            testsupport::jpegBytes(1600, 1200, testsupport::grey, testsupport::grey, options));
    // However quick the decode, the worker is caught at it: held at its
    // start until the program has gone.
    platform::testing::DecodeAheadHold hold;
    start(pictures.path(), "1");
    ASSERT_TRUE(platform::testing::waitFor([] { return decodeAheadCounts().decoding == 1; }));
    program.reset();
    hold.release();
    ASSERT_TRUE(platform::testing::waitFor(decodeAheadIdle));
    EXPECT_EQ(decodeAheadCounts().held, 0);
    EXPECT_FALSE(decodeAheadHolds(path("2.jpg")));

    // A program started afresh decodes ahead again.
    program = std::make_unique<Program>();
    program->start();
    start(pictures.path(), "1");
    ASSERT_TRUE(platform::testing::waitFor([&] { return decodeAheadHolds(path("2.jpg")); }));
}

// A picture decoded for one screen is not shown on another.
TEST_F(DecodeAhead, APictureDecodedForAnotherScreenIsDecodedAgain)
{
    startShow({ { "1.jpg", 400, 300 }, { "2.jpg", 3000, 2000 } });
    waitForDecodeAhead("2.jpg");
    const int hitsBefore = decodeAheadCounts().hits;
    {
        platform::testing::ScreenOverride smaller(7680, 5760); // 512 by 384
        show().tmrShow_Timer();
        EXPECT_EQ(decodeAheadCounts().hits, hitsBefore);
        EXPECT_EQ(platform::testing::decodedSize(show().imgShow.picture()),
                  (PixelSize{ 512, 384 }));
    }
}

// sRGB with red and green exchanged, as a display's profile: sRGB's red is
// shown with the display's green.
std::vector<unsigned char> swappedDisplayProfile()
{
    const cmsCIExyY white = { 0.3127, 0.3290, 1.0 };
    const cmsCIExyYTRIPLE primaries
            = { { 0.30, 0.60, 1.0 }, { 0.64, 0.33, 1.0 }, { 0.15, 0.06, 1.0 } };
    cmsToneCurve *gamma = cmsBuildGamma(nullptr, 2.2);
    cmsToneCurve *curves[] = { gamma, gamma, gamma };
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(gamma);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    std::vector<unsigned char> bytes(size);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

// The worker converts into the display's colours; a picture converted for
// another display than the one of the moment is decoded again.
TEST_F(DecodeAhead, APictureIsConvertedAheadForTheDisplayOfTheMoment)
{
    std::optional<platform::testing::DisplayProfileOverride> display;
    display.emplace(swappedDisplayProfile());
    startShow({ { "1.jpg", 400, 300 }, { "2.jpg", 400, 300 }, { "3.jpg", 400, 300 } });
    waitForDecodeAhead("2.jpg");
    int hitsBefore = decodeAheadCounts().hits;
    show().tmrShow_Timer();
    EXPECT_EQ(decodeAheadCounts().hits, hitsBefore + 1);
    EXPECT_LT(distance(leftColour(show().imgShow.picture()), testsupport::green), 60);

    waitForDecodeAhead("3.jpg");
    display.reset();
    hitsBefore = decodeAheadCounts().hits;
    show().tmrShow_Timer();
    EXPECT_EQ(current(), "3.jpg");
    EXPECT_EQ(decodeAheadCounts().hits, hitsBefore);
    EXPECT_LT(distance(leftColour(show().imgShow.picture()), testsupport::red), 60);
}

} // namespace
