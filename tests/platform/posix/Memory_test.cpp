// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Picture.h"
#include "platform/RuntimeError.h"
#include "platform/Testing.h"

#include "tests/support/HostileCorpus.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <sys/resource.h>

using namespace platform;

namespace {

// The peak resident size of a process only grows, so the load is measured
// in a process of its own that has done nothing else yet.
TEST(HostilePictures, AHugeClaimCostsNoMoreThanTheScreen)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string path = testsupport::HostileCorpus::get().file("claims 65500 by 65500.jpg");
    EXPECT_EXIT(
            {
                const platform::testing::ScreenOverride screen(15360, 11520);
                rusage before{};
                ::getrusage(RUSAGE_SELF, &before);
                try {
                    LoadPicture(path);
                } catch (const RuntimeError &) { }
                rusage after{};
                ::getrusage(RUSAGE_SELF, &after);
                // 65500 squared would be 16 GB; the screen is 3 MB.
                std::_Exit(after.ru_maxrss - before.ru_maxrss < 150 * 1024 ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "");
}

} // namespace
