// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform::qt {

// What decides which of Qt's window-system plugins the program can start
// on. Empty strings stand for unset variables, as Qt reads them.
struct DisplayEnvironment
{
    std::string qpaPlatform; // QT_QPA_PLATFORM
    std::string display; // DISPLAY
    std::string waylandDisplay; // WAYLAND_DISPLAY
    std::string sessionType; // XDG_SESSION_TYPE
    bool waylandPluginInstalled = false;
};

// What to do before the QApplication is created: either set QT_QPA_PLATFORM
// to `platform` (nullopt: leave it as it is), or, when `problem` is set,
// print that one line and end, since no window can be opened.
struct PlatformChoice
{
    std::optional<std::string> platform;
    std::optional<std::string> problem;
};

// Where a display is set, X11 comes first: the program places its own
// windows, and on XWayland the compositor lets it. The user's own
// QT_QPA_PLATFORM always wins. `programName` is what the advice tells the
// user to run.
PlatformChoice choosePlatform(const DisplayEnvironment &environment, std::string_view programName);

// The one line for when Qt started none of the plugins it was asked for.
// `environment` is the one Qt saw, QT_QPA_PLATFORM as set by then included.
std::string startFailure(const DisplayEnvironment &environment, std::string_view programName);

// Whether the plugin that Qt loads for "wayland" lies in `directory` (Qt's
// plugins/platforms folder; QLibraryInfo knows where it is).
bool hasWaylandPlugin(const std::filesystem::path &directory);

// This process's environment, with the plugin looked up in `directory`.
DisplayEnvironment currentDisplayEnvironment(const std::filesystem::path &directory);

} // namespace platform::qt
