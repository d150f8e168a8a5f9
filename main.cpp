// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "program/Program.h"

#include "platform/Application.h"

#include <cstdio>

int main(int, char *argv[])
{
    if (const auto problem = platform::Application::displayProblem(argv[0])) {
        std::fprintf(stderr, "%s\n", problem->c_str());
        return 1;
    }
    platform::Application application(argv[0]);
    Program program;
    // Before any window shows: from then on the session can end at any time.
    platform::Application::onSessionEnd([&program] { program.sessionEnded(); });
    program.start();
    return application.exec();
}
