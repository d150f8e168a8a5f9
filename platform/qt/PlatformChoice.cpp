// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/qt/PlatformChoice.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <system_error>
#include <vector>

namespace platform::qt {

namespace {

// Qt's file for the plugin whose key is "wayland"; libqwayland-egl.so beside
// it answers only to "wayland-egl".
constexpr const char *WaylandPluginFile = "libqwayland-generic.so";

std::string advice(std::string_view programName)
{
    return "To run it without one: xvfb-run -a " + std::string(programName);
}

std::string missingWaylandPlugin(const DisplayEnvironment &environment)
{
    const std::string where = environment.waylandDisplay.empty()
            ? std::string("Wayland")
            : "the Wayland display " + environment.waylandDisplay;
    return "Pelorin cannot open a window on " + where
            + ": Qt's Wayland plugin is not installed. Install the qt6-wayland package, or start "
              "Pelorin with DISPLAY set to an X display.";
}

// The plugin names of a QT_QPA_PLATFORM value: entries split by ';', each
// a name and its arguments after ':'. Qt matches names in any case.
std::vector<std::string> pluginNames(std::string_view value)
{
    std::vector<std::string> names;
    while (!value.empty()) {
        const std::size_t end = std::min(value.find(';'), value.size());
        std::string_view entry = value.substr(0, end);
        entry = entry.substr(0, entry.find(':'));
        std::string name(entry);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (!name.empty())
            names.push_back(std::move(name));
        value.remove_prefix(std::min(end + 1, value.size()));
    }
    return names;
}

std::string variable(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

} // namespace

PlatformChoice choosePlatform(const DisplayEnvironment &environment, std::string_view programName)
{
    if (!environment.qpaPlatform.empty())
        return {};
    // XDG_SESSION_TYPE tells how the user logged in, not which display this
    // process can reach (it outlives ssh and sudo); it decides nothing here.
    // Qt's own default follows it and puts Wayland first, where the
    // compositor ignores the positions the program gives its windows.
    if (!environment.display.empty()) {
        // Wayland stays second for an X display that has gone away while the
        // compositor is still there. Without a Wayland display it has nothing
        // to connect to, and trying would only add its complaints to the one
        // line that says the X display cannot be reached.
        const bool wayland
                = environment.waylandPluginInstalled && !environment.waylandDisplay.empty();
        return { wayland ? "xcb;wayland" : "xcb", std::nullopt };
    }
    if (!environment.waylandDisplay.empty()) {
        // Without DISPLAY the X11 plugin cannot connect: trying it first
        // would only add its complaints to every start.
        if (environment.waylandPluginInstalled)
            return { "wayland", std::nullopt };
        return { std::nullopt, missingWaylandPlugin(environment) };
    }
    return { std::nullopt,
             "Pelorin needs a graphical display and none is set (DISPLAY is empty). "
                     + advice(programName) };
}

std::string startFailure(const DisplayEnvironment &environment, std::string_view programName)
{
    const std::vector<std::string> names = pluginNames(environment.qpaPlatform);
    const bool triedX = std::find(names.begin(), names.end(), "xcb") != names.end();
    const bool triedWayland = std::any_of(names.begin(), names.end(), [](const std::string &name) {
        return name.starts_with("wayland");
    });
    // A Wayland display, or a list that could only have worked on Wayland,
    // and no plugin for it: a virtual X server would only hide what is
    // missing.
    const bool triedXDisplay = triedX && !environment.display.empty();
    if (!environment.waylandPluginInstalled
        && (!environment.waylandDisplay.empty() || (triedWayland && !triedXDisplay)))
        return missingWaylandPlugin(environment);

    std::vector<std::string> displays;
    if (triedX && !environment.display.empty())
        displays.push_back("the display " + environment.display);
    if (triedWayland && !environment.waylandDisplay.empty())
        displays.push_back("the Wayland display " + environment.waylandDisplay);
    std::string what;
    if (displays.empty())
        what = "the display "
                + (environment.display.empty() ? std::string("(none)") : environment.display)
                + " cannot be reached";
    else if (displays.size() == 1)
        what = displays.front() + " cannot be reached";
    else
        what = "neither " + displays[0] + " nor " + displays[1] + " can be reached";
    return "Pelorin cannot open a window: " + what + ". " + advice(programName);
}

bool hasWaylandPlugin(const std::filesystem::path &directory)
{
    std::error_code error;
    return std::filesystem::is_regular_file(directory / WaylandPluginFile, error);
}

DisplayEnvironment currentDisplayEnvironment(const std::filesystem::path &directory)
{
    return { variable("QT_QPA_PLATFORM"), variable("DISPLAY"), variable("WAYLAND_DISPLAY"),
             variable("XDG_SESSION_TYPE"), hasWaylandPlugin(directory) };
}

} // namespace platform::qt
