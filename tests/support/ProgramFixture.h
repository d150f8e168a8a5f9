// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "main_window/Form1.h"
#include "program/Program.h"
#include "show_window/frmShow.h"

#include "platform/Testing.h"

#include "tests/support/TestPictures.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace testsupport {

// A started program on a 15360 by 11520 twips screen (1024 by 768 pixels),
// with message boxes and fatal errors recorded instead of shown, and the
// decode ahead as in a program just started.
class ProgramFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    Form1 &main() { return program->mainWindow(); }
    frmShow &show() { return program->showWindow(); }

    // Types into the fields and clicks "Start Slide Show" (or "Stop").
    void start(const std::string &folder, const std::string &seconds = "2");
    void clickStartStop() { main().cmdStartShow_Click(); }
    // Runs the opening to its end, tick by tick; returns the ticks it took.
    int runOpening();

    // Everything a stop leaves: idle caption, seconds editable, both timers
    // off, the show window hidden at 100 by 100 twips.
    void expectStopped();

    // The message texts shown so far.
    std::vector<std::string> messages() const;

    platform::testing::ScreenOverride screen{ 15360, 11520 };
    platform::testing::MsgBoxRecorder boxes;
    platform::testing::RuntimeErrorRecorder errors;
    platform::testing::ExitRecorder exits;
    std::unique_ptr<Program> program;
    TempFolder pictures;
};

} // namespace testsupport
