// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Version.h"

#include <functional>
#include <optional>
#include <string>

namespace platform {

// The program's identity, as its windows, message boxes and metadata show it.
// The application title is "Project1", not "Pelorin", and stays so: it is
// the title the program's messages have always carried, and the version
// record's product name.
inline constexpr const char *ApplicationTitle = "Project1";
inline constexpr const char *ExecutableName = "Pelorin";

// The runtime: one per process, created before any form.
class Application
{
public:
    // The command line is not read: argv[0] only names the program.
    explicit Application(const char *argv0);
    ~Application();
    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    // Runs the event loop until exit() is called; returns its code.
    static int exec();
    static void exit(int code);

    // A one-line explanation when no display can be reached, before
    // anything is created; nullopt when one can.
    static std::optional<std::string> displayProblem(const char *argv0);

    // Runs after the current event has been handled.
    static void post(std::function<void()> work);

    // The desktop session ends: the handler runs as an event of its own.
    static void onSessionEnd(std::function<void()> handler);
};

} // namespace platform
