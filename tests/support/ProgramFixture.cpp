// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "tests/support/ProgramFixture.h"

namespace testsupport {

void ProgramFixture::SetUp()
{
    // What an earlier test decoded ahead, or the size it showed pictures
    // at, must not decide what this one sees.
    platform::testing::resetDecodeAhead();
    program = std::make_unique<Program>();
    program->start();
}

void ProgramFixture::TearDown()
{
    program.reset();
    platform::testing::resetDecodeAhead();
    EXPECT_TRUE(errors.errors().empty()) << "a runtime error would have ended the program: "
                                         << errors.errors().front().message();
}

void ProgramFixture::start(const std::string &folder, const std::string &seconds)
{
    main().txtFolder.setText(folder);
    main().txtChange.setText(seconds);
    main().cmdStartShow_Click();
}

int ProgramFixture::runOpening()
{
    int ticks = 0;
    while (show().tmrOpen.enabled() && ticks < 1000) {
        show().tmrOpen_Timer();
        ++ticks;
    }
    return ticks;
}

void ProgramFixture::expectStopped()
{
    EXPECT_EQ(main().cmdStartShow.caption(), "Start Slide Show");
    EXPECT_TRUE(main().txtChange.enabled());
    EXPECT_FALSE(show().tmrOpen.enabled());
    EXPECT_FALSE(show().tmrShow.enabled());
    EXPECT_FALSE(show().visible());
    EXPECT_EQ(show().width(), 100);
    EXPECT_EQ(show().height(), 100);
}

std::vector<std::string> ProgramFixture::messages() const
{
    std::vector<std::string> texts;
    for (const auto &call : boxes.calls())
        texts.push_back(call.prompt);
    return texts;
}

} // namespace testsupport
