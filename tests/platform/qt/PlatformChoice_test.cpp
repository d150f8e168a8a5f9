// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/qt/PlatformChoice.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>

using platform::qt::DisplayEnvironment;

namespace {

constexpr const char *Program = "/opt/pelorin/bin/Pelorin";

// What a line tells the user to do.
enum class Says {
    Nothing, // a window can be opened
    UseXvfb, // no display at all: run it on a virtual one
    InstallWaylandPlugin, // a Wayland display Qt has no plugin for
};

Says whatItSays(const std::string &line)
{
    const bool xvfb = line.find("xvfb-run -a " + std::string(Program)) != std::string::npos;
    const bool plugin = line.find("qt6-wayland") != std::string::npos;
    EXPECT_NE(xvfb, plugin) << line;
    return plugin ? Says::InstallWaylandPlugin : Says::UseXvfb;
}

struct ChoiceCase
{
    const char *name;
    DisplayEnvironment environment;
    std::optional<std::string> platform;
    Says says;
};

void PrintTo(const ChoiceCase &row, std::ostream *out)
{
    *out << row.name;
}

class ChoosePlatform : public testing::TestWithParam<ChoiceCase>
{ };

// QT_QPA_PLATFORM, DISPLAY, WAYLAND_DISPLAY, XDG_SESSION_TYPE, plugin.
const ChoiceCase ChoiceCases[] = {
    // The user's choice stands, whatever else is set or missing.
    { "UserChoiceWins",
      { "wayland", ":0", "wayland-0", "wayland", true },
      std::nullopt,
      Says::Nothing },
    { "UserChoiceWithoutAnyDisplay",
      { "offscreen", "", "", "", false },
      std::nullopt,
      Says::Nothing },
    { "UserChoiceOfMissingPlugin",
      { "wayland", "", "wayland-0", "wayland", false },
      std::nullopt,
      Says::Nothing },
    // A Wayland desktop with XWayland: X first, so windows go where they are put.
    { "WaylandSessionWithXWayland",
      { "", ":0", "wayland-0", "wayland", true },
      "xcb;wayland",
      Says::Nothing },
    { "WaylandSessionWithXWaylandNoPlugin",
      { "", ":0", "wayland-0", "wayland", false },
      "xcb",
      Says::Nothing },
    // The session type does not put Wayland first, as Qt's default would.
    { "WaylandSessionTypeOnlyX", { "", ":1", "", "wayland", true }, "xcb", Says::Nothing },
    // X alone: no Wayland display to fall back to.
    { "X11Session", { "", ":0", "", "x11", true }, "xcb", Says::Nothing },
    { "X11SessionNoPlugin", { "", ":0", "", "x11", false }, "xcb", Says::Nothing },
    { "XvfbWithoutSession", { "", ":99", "", "", false }, "xcb", Says::Nothing },
    // Wayland without XWayland: X11 cannot connect without DISPLAY.
    { "WaylandOnly", { "", "", "wayland-1", "wayland", true }, "wayland", Says::Nothing },
    { "WaylandOnlyOverSsh", { "", "", "wayland-1", "tty", true }, "wayland", Says::Nothing },
    { "WaylandOnlyNoPlugin",
      { "", "", "wayland-1", "wayland", false },
      std::nullopt,
      Says::InstallWaylandPlugin },
    // No display of any kind.
    { "NothingSet", { "", "", "", "", true }, std::nullopt, Says::UseXvfb },
    { "NothingSetNoPlugin", { "", "", "", "", false }, std::nullopt, Says::UseXvfb },
    { "WaylandSessionLostItsDisplay",
      { "", "", "", "wayland", true },
      std::nullopt,
      Says::UseXvfb },
};

TEST_P(ChoosePlatform, PlatformOrOneLine)
{
    const ChoiceCase &row = GetParam();
    const platform::qt::PlatformChoice choice
            = platform::qt::choosePlatform(row.environment, Program);
    EXPECT_EQ(choice.platform, row.platform);
    if (row.says == Says::Nothing) {
        EXPECT_FALSE(choice.problem) << *choice.problem;
        return;
    }
    ASSERT_TRUE(choice.problem);
    EXPECT_FALSE(choice.platform);
    EXPECT_EQ(choice.problem->find('\n'), std::string::npos) << *choice.problem;
    EXPECT_EQ(whatItSays(*choice.problem), row.says);
}

INSTANTIATE_TEST_SUITE_P(Environments, ChoosePlatform, testing::ValuesIn(ChoiceCases),
                         [](const testing::TestParamInfo<ChoiceCase> &info) {
                             return std::string(info.param.name);
                         });

// scripts/run-pelorin prints the same line before the program is built.
TEST(ChoosePlatformText, NoDisplayLineIsTheOneTheScriptsPrint)
{
    const auto choice = platform::qt::choosePlatform({}, "Pelorin");
    EXPECT_EQ(choice.problem,
              "Pelorin needs a graphical display and none is set (DISPLAY is empty). To run it "
              "without one: xvfb-run -a Pelorin");
}

TEST(ChoosePlatformText, MissingPluginNamesTheWaylandDisplay)
{
    const auto choice = platform::qt::choosePlatform({ "", "", "wayland-7", "", false }, Program);
    ASSERT_TRUE(choice.problem);
    EXPECT_NE(choice.problem->find("wayland-7"), std::string::npos) << *choice.problem;
}

struct FailureCase
{
    const char *name;
    DisplayEnvironment environment; // as Qt saw it, QT_QPA_PLATFORM included
    Says says;
    const char *names; // the display the line blames, or ""
};

void PrintTo(const FailureCase &row, std::ostream *out)
{
    *out << row.name;
}

class StartFailure : public testing::TestWithParam<FailureCase>
{ };

const FailureCase FailureCases[] = {
    { "DeadXDisplay", { "xcb;wayland", ":4097", "", "", true }, Says::UseXvfb, ":4097" },
    { "DeadXDisplayNoPlugin", { "xcb", ":4097", "", "", false }, Says::UseXvfb, ":4097" },
    { "DeadWaylandDisplay", { "wayland", "", "wayland-9", "", true }, Says::UseXvfb, "wayland-9" },
    { "DeadWaylandDisplayThroughEgl",
      { "wayland-egl", "", "wayland-3", "", true },
      Says::UseXvfb,
      "wayland-3" },
    { "BothDead", { "xcb;wayland", ":4097", "wayland-9", "", true }, Says::UseXvfb, "wayland-9" },
    // Never xvfb-run where a Wayland display is set and Qt cannot speak to it.
    { "WaylandDisplayWithoutPlugin",
      { "xcb", ":4097", "wayland-0", "wayland", false },
      Says::InstallWaylandPlugin,
      "wayland-0" },
    { "UserAskedForWaylandWithoutPlugin",
      { "wayland", "", "wayland-0", "", false },
      Says::InstallWaylandPlugin,
      "wayland-0" },
    { "UserAskedForWaylandDefaultSocket",
      { "Wayland:foo", "", "", "", false },
      Says::InstallWaylandPlugin,
      "" },
    { "UserListWithDeadXAndNoPlugin",
      { "xcb;wayland-egl", ":4097", "", "", false },
      Says::UseXvfb,
      ":4097" },
    { "UserChoiceOfOtherPlugin", { "eglfs", ":5", "", "", true }, Says::UseXvfb, ":5" },
};

TEST_P(StartFailure, OneLineThatFitsWhatFailed)
{
    const FailureCase &row = GetParam();
    const std::string line = platform::qt::startFailure(row.environment, Program);
    EXPECT_EQ(line.find('\n'), std::string::npos) << line;
    EXPECT_EQ(whatItSays(line), row.says);
    EXPECT_NE(line.find(row.names), std::string::npos) << line;
}

INSTANTIATE_TEST_SUITE_P(Failures, StartFailure, testing::ValuesIn(FailureCases),
                         [](const testing::TestParamInfo<FailureCase> &info) {
                             return std::string(info.param.name);
                         });

TEST(StartFailureText, DeadXDisplayLineIsTheOneTheScriptsPrint)
{
    EXPECT_EQ(platform::qt::startFailure({ "xcb;wayland", ":4097", "", "", true }, "make run"),
              "Pelorin cannot open a window: the display :4097 cannot be reached. To run it "
              "without one: xvfb-run -a make run");
}

class WaylandPlugin : public testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "pelorin-plugins-XXXXXX");
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        directory = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(directory); }
    void add(const char *name) { std::ofstream(directory / name) << "not really a library"; }

    std::filesystem::path directory;
};

TEST_F(WaylandPlugin, FoundOnlyUnderTheNameQtLoadsForWayland)
{
    EXPECT_FALSE(platform::qt::hasWaylandPlugin(directory));
    add("libqxcb.so");
    // This one answers only to "wayland-egl".
    add("libqwayland-egl.so");
    EXPECT_FALSE(platform::qt::hasWaylandPlugin(directory));
    add("libqwayland-generic.so");
    EXPECT_TRUE(platform::qt::hasWaylandPlugin(directory));
}

TEST_F(WaylandPlugin, AFolderOfThatNameDoesNotCount)
{
    std::filesystem::create_directory(directory / "libqwayland-generic.so");
    EXPECT_FALSE(platform::qt::hasWaylandPlugin(directory));
    EXPECT_FALSE(platform::qt::hasWaylandPlugin(directory / "missing"));
}

TEST_F(WaylandPlugin, EnvironmentReadFromTheProcess)
{
    add("libqwayland-generic.so");
    const char *names[] = { "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE" };
    std::optional<std::string> saved[4];
    for (int i = 0; i < 4; ++i) {
        if (const char *value = std::getenv(names[i]))
            saved[i] = value;
    }
    setenv("QT_QPA_PLATFORM", "minimal", 1);
    setenv("DISPLAY", ":42", 1);
    unsetenv("WAYLAND_DISPLAY");
    setenv("XDG_SESSION_TYPE", "x11", 1);
    const DisplayEnvironment environment = platform::qt::currentDisplayEnvironment(directory);
    for (int i = 0; i < 4; ++i) {
        if (saved[i])
            setenv(names[i], saved[i]->c_str(), 1);
        else
            unsetenv(names[i]);
    }
    EXPECT_EQ(environment.qpaPlatform, "minimal");
    EXPECT_EQ(environment.display, ":42");
    EXPECT_EQ(environment.waylandDisplay, "");
    EXPECT_EQ(environment.sessionType, "x11");
    EXPECT_TRUE(environment.waylandPluginInstalled);
}

} // namespace
