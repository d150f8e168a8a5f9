// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/qt/X11Placement.h"

#include <gtest/gtest.h>

#include <ostream>

using platform::qt::X11Placement;
using Echo = X11Placement::Echo;

namespace {

struct EchoCase
{
    const char *name;
    X11Placement::Asked asked;
    std::uint32_t sequence;
    QRect reported;
    Echo echo;
};

void PrintTo(const EchoCase &c, std::ostream *out)
{
    *out << c.name;
}

// A step of an opening asked for 200 by 150 at 100, 80 with request 1000.
constexpr X11Placement::Asked Step{ 1000, QRect(100, 80, 200, 150) };

const EchoCase EchoCases[] = {
    // What a busy server answers to the step before, read after this one:
    // taken for the window system's, it would set the opening back a step.
    { "TheStepBeforeReadAfterThisOne", Step, 998, QRect(110, 90, 180, 130), Echo::Stale },
    { "QtsOwnRequestJustBefore", Step, 999, QRect(100, 80, 1024, 768), Echo::Stale },
    { "TheAnswer", Step, 1000, QRect(100, 80, 200, 150), Echo::Answer },
    { "TheAnswerThroughAFrame", Step, 1000, QRect(0, 0, 200, 150), Echo::AnswerElsewhere },
    { "AWindowManagersChangeAfterIt", Step, 1003, QRect(0, 0, 1024, 768), Echo::Other },
    { "AfterTheSequenceWrapped",
      { 0xfffffff0u, QRect(0, 0, 7, 7) },
      5,
      QRect(0, 0, 9, 9),
      Echo::Other },
    { "BeforeTheSequenceWrapped",
      { 3, QRect(0, 0, 7, 7) },
      0xfffffffeu,
      QRect(0, 0, 7, 768),
      Echo::Stale },
};

class Echoes : public testing::TestWithParam<EchoCase>
{ };

TEST_P(Echoes, OnlyTheWindowSystemsOwnChangesPass)
{
    const EchoCase &c = GetParam();
    EXPECT_EQ(X11Placement::judge(c.asked, c.sequence, c.reported), c.echo);
}

INSTANTIATE_TEST_SUITE_P(Placement, Echoes, testing::ValuesIn(EchoCases),
                         [](const testing::TestParamInfo<EchoCase> &info) {
                             return std::string(info.param.name);
                         });

} // namespace
