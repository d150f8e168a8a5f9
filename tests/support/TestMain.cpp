// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Application.h"
#include "platform/Testing.h"

#include "tests/support/TestPictures.h"

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    testsupport::setProgramPath(argv[0]);
    platform::testing::prepareHeadlessDisplay();
    platform::Application application(argv[0]);
    return RUN_ALL_TESTS();
}
