// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// Both programs decode with the same libraries from the same sources, so
// every picture must come out as the same pixels on both: the bundled
// samples and every hostile picture that loads, decoded for one screen,
// each checked against one table of digests.
#include "platform/Paths.h"
#include "platform/detail/PictureData.h"
#include "platform/detail/PictureDecoder.h"
#include "platform/detail/PictureFile.h"

#include "tests/support/HostileCorpus.h"
#include "tests/support/TestPictures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

using namespace platform;

namespace {

constexpr detail::PixelSize Screen{ 1024, 768 };

// FNV-1a over the size, the transparency flag and every pixel, upright.
std::string digestOf(const detail::PictureData &picture)
{
    std::uint64_t hash = 14695981039346656037ULL;
    const auto add = [&hash](std::uint32_t value) {
        for (int byte = 0; byte < 4; ++byte) {
            hash ^= (value >> (8 * byte)) & 0xff;
            hash *= 1099511628211ULL;
        }
    };
    add(static_cast<std::uint32_t>(picture.image.width()));
    add(static_cast<std::uint32_t>(picture.image.height()));
    add(picture.image.hasAlpha() ? 1 : 0);
    for (int y = 0; y < picture.image.height(); ++y)
        for (int x = 0; x < picture.image.width(); ++x)
            add(picture.image.pixel(x, y));
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

// "folder/name<TAB>digest" lines, as the test prints them when one differs.
std::map<std::string, std::string> expectedDigests()
{
    std::map<std::string, std::string> digests;
    std::ifstream table(
            testsupport::nativePath(joinPath(testsupport::programFolder(), "same-pixels.tsv")));
    for (std::string line; std::getline(table, line);) {
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos)
            digests[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return digests;
}

std::string decodedDigest(const std::string &path)
{
    const detail::PictureFile file(path);
    const auto picture = detail::decodePicture(file, Screen);
    return picture ? digestOf(*picture) : "refused";
}

TEST(SamePixels, EveryPictureDecodesToTheSamePixelsOnEverySystem)
{
    const std::map<std::string, std::string> expected = expectedDigests();
    ASSERT_FALSE(expected.empty()) << "no same-pixels.tsv beside the test program";
    std::map<std::string, std::string> pictures;
    const std::string samples = joinPath(testsupport::programFolder(), "samples");
    for (const auto &entry :
         std::filesystem::directory_iterator(testsupport::nativePath(samples))) {
        const std::string name = testsupport::runtimeText(entry.path().filename());
        pictures["samples/" + name] = joinPath(samples, name);
    }
    const testsupport::HostileCorpus &corpus = testsupport::HostileCorpus::get();
    for (const auto &[name, fate] : corpus.fates()) {
        if (fate.rfind("loads", 0) == 0 && name.find("unreadable") == std::string::npos)
            pictures["hostile/" + name] = corpus.file(name);
    }
    ASSERT_GE(pictures.size(), 30U);
    for (const auto &[name, path] : pictures) {
        const std::string digest = decodedDigest(path);
        const auto want = expected.find(name);
        if (want == expected.end())
            ADD_FAILURE() << "not in the table:\n" << name << "\t" << digest;
        else
            EXPECT_EQ(digest, want->second) << "differs:\n" << name << "\t" << digest;
    }
    for (const auto &[name, digest] : expected)
        EXPECT_EQ(pictures.count(name), 1U) << name << " is in the table but was not decoded";
}

} // namespace
