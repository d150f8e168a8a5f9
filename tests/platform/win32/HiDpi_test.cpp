// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// The forms on a screen of more dots per inch than the 96 they are designed
// at: ctest runs these in the 120, 144 and 168-DPI prefixes, where a runtime
// pixel is 1.25, 1.5 and 1.75 device pixels. The runtime keeps its twips and its 96-DPI
// pixels; only what Windows draws grows.
#include "tests/platform/win32/Win32Test.h"

#include "main_window/Form1.h"
#include "program/Program.h"
#include "show_window/frmShow.h"

#include "platform/Screen.h"
#include "platform/Testing.h"
#include "platform/win32/Icons.h"
#include "platform/win32/Window.h"

#include "tests/support/TestPictures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

using namespace platform;
using namespace std::chrono_literals;
using platform::testing::PixelRect;
using platform::testing::PixelSize;
using win32test::handleOf;

namespace {

RECT primaryMonitor()
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint(POINT{ 0, 0 }, MONITOR_DEFAULTTOPRIMARY), &monitor);
    return monitor.rcMonitor;
}

bool hasRegion(HWND window)
{
    RECT region{};
    return GetWindowRgnBox(window, &region) != ERROR;
}

// What Windows sends a window when the user changes the display's scale
// or drags it to a monitor of another, and Wine never does: the size
// scaled as Windows scales it, for the window to correct, then the
// rectangle made of the answer.
struct DpiChange
{
    BOOL sized = FALSE;
    SIZE size{};
    RECT suggested{};
};

DpiChange changeDpi(HWND window, int from, int to)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    DpiChange change{ FALSE,
                      { MulDiv(rect.right - rect.left, to, from),
                        MulDiv(rect.bottom - rect.top, to, from) } };
    change.sized = static_cast<BOOL>(
            SendMessageW(window, WM_GETDPISCALEDSIZE, to, reinterpret_cast<LPARAM>(&change.size)));
    change.suggested
            = { rect.left, rect.top, rect.left + change.size.cx, rect.top + change.size.cy };
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(to, to),
                 reinterpret_cast<LPARAM>(&change.suggested));
    platform::testing::processEvents();
    return change;
}

// A started program on the real screen: the show must cover the screen
// Windows has, at its DPI.
class HiDpi : public ::testing::Test
{
protected:
    void SetUp() override
    {
        win32::setAnimationClock([this] { return clock; });
        platform::testing::resetDecodeAhead();
        program = std::make_unique<Program>();
        program->start();
        dpi = static_cast<int>(GetDpiForWindow(handleOf(main())));
        // The run at 168 DPI must really be at 168.
        if (const char *asked = std::getenv("PELORIN_WINE_DPI")) {
            ASSERT_EQ(dpi, std::atoi(asked));
        }
        ASSERT_GT(dpi, 96) << "these tests need a screen of more than 96 DPI";
    }

    void TearDown() override
    {
        program.reset();
        platform::testing::resetDecodeAhead();
        win32::setAnimationClock({});
        EXPECT_TRUE(errors.errors().empty());
    }

    Form1 &main() { return program->mainWindow(); }
    frmShow &show() { return program->showWindow(); }

    // A show started on a picture, its opening's ticks left to the test.
    HWND startShow()
    {
        pictures.jpeg("a.jpg", 1600, 1200);
        main().txtFolder.setText(pictures.path());
        main().cmdStartShow_Click();
        EXPECT_TRUE(show().tmrOpen.enabled());
        show().tmrOpen.setEnabled(false);
        platform::testing::processEvents();
        return handleOf(show());
    }

    // A step of the opening as Windows times it: its tick comes late, 70
    // to 110 ms after the one before, and the settling timer's tick that
    // came due meanwhile may be handled before it.
    RECT lateStep(int tick)
    {
        const std::chrono::milliseconds gaps[] = { 70ms, 110ms, 85ms, 100ms };
        clock += gaps[tick % 4];
        const HWND window = handleOf(show());
        const bool animated = hasRegion(window);
        SendMessageW(window, WM_TIMER, win32::Window::SettleTimer, 0);
        EXPECT_EQ(hasRegion(window), animated) << "the region went while steps still come";
        show().tmrOpen_Timer();
        return win32test::shownRect(window);
    }

    // Device pixels of a runtime pixel, and of a twips edge: the edge is
    // rounded to a runtime pixel, then to a device pixel.
    int device(int pixels) const { return static_cast<int>(std::lround(pixels * dpi / 96.0)); }
    int deviceEdge(double twips) const { return device(static_cast<int>(std::lround(twips / 15))); }

    platform::testing::MsgBoxRecorder boxes;
    platform::testing::RuntimeErrorRecorder errors;
    platform::testing::ExitRecorder exits;
    std::unique_ptr<Program> program;
    testsupport::TempFolder pictures;
    int dpi = 96;
    // The time the windows' animations read, moved on by the tests alone.
    std::chrono::steady_clock::time_point clock = std::chrono::steady_clock::now();
};

TEST_F(HiDpi, TheMainWindowsClientAreaGrowsByTheScreensScale)
{
    const HWND window = handleOf(main());
    for (const bool expanded : { false, true }) {
        SCOPED_TRACE(expanded ? "browse panel open" : "compact");
        if (expanded)
            main().cmdBrowse_Click();
        // 5475 twips wide, and the height less the designed title bar and
        // border.
        const PixelSize designed{ 365, expanded ? 315 : 143 };
        RECT client{};
        GetClientRect(window, &client);
        EXPECT_EQ(client.right - client.left, device(designed.width));
        EXPECT_EQ(client.bottom - client.top, device(designed.height));
        EXPECT_EQ(platform::testing::clientSize(main()), designed);
        EXPECT_EQ(main().width(), 5565);
        EXPECT_EQ(main().height(), expanded ? 5210 : 2625);
    }
}

TEST_F(HiDpi, ControlsScaleEdgeByEdgeAndKeepTheirTwips)
{
    Form1 &form = main();
    const struct
    {
        const char *name;
        const Control *control;
        double left, top, width, height;
        // A drop-down list is as high as its font makes it.
        bool ownHeight;
    } rows[] = {
        { "Label2", &form.Label2, 120, 120, 2175, 255, false },
        { "txtFolder", &form.txtFolder, 120, 480, 4215, 360, false },
        { "cmdBrowse", &form.cmdBrowse, 4440, 480, 975, 375, false },
        { "fraBrowse", &form.fraBrowse, 0, 960, 5415, 3855, false },
        { "Dir1", &form.Dir1, 120, 600, 2655, 3060, false },
        { "Drive1", &form.Drive1, 120, 120, 2655, 360, true },
        { "File1", &form.File1, 2880, 120, 2415, 2970, false },
        { "cmdSelect", &form.cmdSelect, 2880, 3240, 2415, 375, false },
        { "cmdStartShow", &form.cmdStartShow, 1920, 1680, 1695, 375, false },
        { "Label1", &form.Label1, 120, 1080, 2295, 375, false },
        { "txtChange", &form.txtChange, 2040, 1080, 615, 375, false },
        { "cmdAbout", &form.cmdAbout, 4800, 1680, 495, 375, false },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const RECT rect = win32test::rectInParent(handleOf(*row.control));
        EXPECT_EQ(rect.left, deviceEdge(row.left));
        EXPECT_EQ(rect.top, deviceEdge(row.top));
        EXPECT_EQ(rect.right, deviceEdge(row.left + row.width));
        if (!row.ownHeight) {
            EXPECT_EQ(rect.bottom, deviceEdge(row.top + row.height));
        }

        // The runtime's own pixels are still 96-DPI ones.
        const PixelRect pixels = platform::testing::pixelRect(*row.control);
        const int left = static_cast<int>(std::lround(row.left / 15));
        const int top = static_cast<int>(std::lround(row.top / 15));
        EXPECT_EQ(pixels.x, left);
        EXPECT_EQ(pixels.y, top);
        EXPECT_EQ(pixels.x + pixels.width, std::lround((row.left + row.width) / 15));
        if (!row.ownHeight) {
            EXPECT_EQ(pixels.y + pixels.height, std::lround((row.top + row.height) / 15));
        }

        EXPECT_EQ(row.control->left(), row.left);
        EXPECT_EQ(row.control->top(), row.top);
        EXPECT_EQ(row.control->width(), row.width);
        EXPECT_EQ(row.control->height(), row.height);
    }
}

// Tahoma 9.75 points: 13 pixels at 96 DPI, and at 144 DPI 19.5, which
// Windows rounds to 20.
TEST_F(HiDpi, TheFormsFontIsScaledToTheScreen)
{
    Form1 &form = main();
    const Control *controls[]
            = { &form.Label2, &form.txtFolder, &form.cmdBrowse, &form.Dir1,
                &form.Drive1, &form.File1,     &form.cmdSelect, &form.cmdStartShow,
                &form.Label1, &form.txtChange, &form.cmdAbout };
    const long expected = -std::lround(9.75 * dpi / 72);
    for (const Control *control : controls) {
        const HWND window = handleOf(*control);
        wchar_t className[64] = {};
        GetClassNameW(window, className, 64);
        SCOPED_TRACE(::testing::PrintToString(std::wstring(className)));
        const auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        LOGFONTW described{};
        ASSERT_EQ(GetObjectW(font, sizeof described, &described),
                  static_cast<int>(sizeof described));
        EXPECT_EQ(described.lfHeight, expected);
        EXPECT_EQ(described.lfWeight, 400);
        EXPECT_EQ(std::wstring(described.lfFaceName), L"Tahoma");

        // And the system has Tahoma to draw it with.
        const HDC dc = GetDC(window);
        const HGDIOBJ old = SelectObject(dc, font);
        wchar_t face[LF_FACESIZE] = {};
        GetTextFaceW(dc, LF_FACESIZE, face);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(window, dc);
        EXPECT_EQ(std::wstring(face), L"Tahoma");
        EXPECT_EQ(metrics.tmHeight - metrics.tmInternalLeading, -expected);
    }
}

TEST_F(HiDpi, AShowCoversTheWholeScreenInDevicePixelsAfterItsOpening)
{
    pictures.jpeg("a.jpg", 1600, 1200);
    main().txtFolder.setText(pictures.path());
    main().cmdStartShow_Click();
    ASSERT_EQ(main().cmdStartShow.caption(), "Stop Slide Show");
    int ticks = 0;
    while (show().tmrOpen.enabled() && ticks < 1000) {
        show().tmrOpen_Timer();
        ++ticks;
    }
    EXPECT_FALSE(show().tmrOpen.enabled());

    // Exactly the primary monitor's device pixels: at 150% on a 1024-pixel
    // screen, whole 96-DPI pixels would make 1025 of them.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(
            GetMonitorInfoW(MonitorFromPoint(POINT{ 0, 0 }, MONITOR_DEFAULTTOPRIMARY), &monitor));
    const RECT screen = monitor.rcMonitor;
    RECT window = win32test::shownRect(handleOf(show()));
    EXPECT_EQ(window.left, screen.left);
    EXPECT_EQ(window.top, screen.top);
    EXPECT_EQ(window.right, screen.right);
    EXPECT_EQ(window.bottom, screen.bottom);

    // The picture fills it.
    RECT image = win32test::rectInParent(handleOf(show().imgShow));
    MapWindowPoints(handleOf(show()), nullptr, reinterpret_cast<POINT *>(&image), 2);
    EXPECT_LE(image.left, window.left);
    EXPECT_LE(image.top, window.top);
    EXPECT_GE(image.right, window.right);
    EXPECT_GE(image.bottom, window.bottom);

    // The runtime sees the screen in its own twips.
    EXPECT_EQ(show().width(), Screen::width());
    EXPECT_EQ(show().height(), Screen::height());
    EXPECT_EQ(show().left(), 0);
    EXPECT_EQ(show().top(), 0);

    // The square: 5000 twips at the scale, centred to a device pixel.
    show().imgShow_Click();
    ASSERT_EQ(show().width(), 5000);
    window = win32test::shownRect(handleOf(show()));
    const double side = 5000 / 15.0 * dpi / 96;
    EXPECT_LE(std::abs(window.right - window.left - side), 1.0);
    EXPECT_LE(std::abs(window.bottom - window.top - side), 1.0);
    EXPECT_LE(std::abs((window.left - screen.left) - (screen.right - window.right)), 2);
    EXPECT_LE(std::abs((window.top - screen.top) - (screen.bottom - window.bottom)), 2);
    main().cmdStartShow_Click();
    EXPECT_FALSE(show().visible());
}

// The opening's steps come quicker than a window settles: the show window
// stays over the whole monitor, which is not a new window surface at each
// step, and a region shows each step's rectangle with the picture over all
// of it. Once the geometry holds, the window is that rectangle itself.
TEST_F(HiDpi, TheOpeningsStepsShowThroughARegionHoweverLateUntilTheGeometryHolds)
{
    const HWND window = startShow();
    const RECT screen = primaryMonitor();
    const double step = 1000 / 15.0 * dpi / 96;
    RECT shown = win32test::shownRect(window);
    for (int tick = 1; tick <= 4; ++tick) {
        SCOPED_TRACE(tick);
        const RECT before = shown;
        shown = lateStep(tick);
        EXPECT_LE(std::abs((shown.right - shown.left) - (before.right - before.left) - step), 1.0);
        EXPECT_LE(std::abs((shown.left - screen.left) - (screen.right - shown.right)), 1);
        EXPECT_LE(std::abs((shown.top - screen.top) - (screen.bottom - shown.bottom)), 1);
        RECT whole{};
        GetWindowRect(window, &whole);
        EXPECT_TRUE(EqualRect(&whole, &screen)) << "the window itself changed its size";
        RECT image = win32test::rectInParent(handleOf(show().imgShow));
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT *>(&image), 2);
        // Over all of it: a control's edges go by the runtime's pixels, so
        // it may reach a device pixel past the window's, which is not seen.
        EXPECT_LE(image.left, shown.left);
        EXPECT_LE(image.top, shown.top);
        EXPECT_GE(image.right, shown.right);
        EXPECT_GE(image.bottom, shown.bottom);
        EXPECT_LE(image.right - shown.right + image.bottom - shown.bottom, 2);
        EXPECT_EQ(platform::testing::clientSize(show()),
                  (PixelSize{ MulDiv(shown.right - shown.left, 96, dpi),
                              MulDiv(shown.bottom - shown.top, 96, dpi) }));
    }
    // The settling time passes with no new step.
    clock += win32::Window::SettlingTime;
    SendMessageW(window, WM_TIMER, win32::Window::SettleTimer, 0);
    RECT whole{};
    GetWindowRect(window, &whole);
    EXPECT_TRUE(EqualRect(&whole, &shown));
    EXPECT_FALSE(hasRegion(window)) << "a region is left";
    RECT image = win32test::rectInParent(handleOf(show().imgShow));
    EXPECT_EQ(image.left, 0);
    EXPECT_EQ(image.top, 0);
    EXPECT_GE(image.right, shown.right - shown.left);
    EXPECT_GE(image.bottom, shown.bottom - shown.top);
    main().cmdStartShow_Click();
    EXPECT_FALSE(show().visible());
}

// However late its ticks come, the opening is one animation over the
// whole monitor, whose window keeps its size, and its last step leaves the
// window the monitor's own at once.
TEST_F(HiDpi, AnOpeningWithLateTicksIsOneAnimationToItsLastStep)
{
    const HWND window = startShow();
    const RECT screen = primaryMonitor();
    for (int tick = 1; tick < 1000 && !show().tmrShow.enabled(); ++tick) {
        lateStep(tick);
        RECT whole{};
        GetWindowRect(window, &whole);
        EXPECT_TRUE(EqualRect(&whole, &screen)) << "step " << tick << " resized the window";
    }
    EXPECT_TRUE(show().tmrShow.enabled());
    EXPECT_FALSE(hasRegion(window));
    main().cmdStartShow_Click();
}

// A change of DPI in each window at its own rule: a bordered window takes
// the size it answered for the new DPI, where Windows suggests, in the
// same runtime pixels; a show keeps its device rectangle, settled or in
// the middle of its opening, which ends there for good and then goes on to
// the whole monitor. The controls follow the new DPI, the drive box with
// its closed field and icons made for it.
TEST_F(HiDpi, ADpiChangeKeepsTheMainWindowsLayoutAndTheShowsPixels)
{
    enum class Kind { MainWindow, SettledShow, OpeningShow };
    const struct
    {
        const char *what;
        Kind kind;
        int to;
    } rows[] = {
        { "main window, up", Kind::MainWindow, dpi + 48 },
        { "main window, down", Kind::MainWindow, 96 },
        { "settled show, up", Kind::SettledShow, dpi + 48 },
        { "settled show, down", Kind::SettledShow, 96 },
        { "opening show, up", Kind::OpeningShow, dpi + 48 },
        { "opening show, down", Kind::OpeningShow, 96 },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        if (row.kind == Kind::MainWindow) {
            const HWND window = handleOf(main());
            const HWND drives = handleOf(main().Drive1);
            const auto fieldOverEntries = [drives] {
                return SendMessageW(drives, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0)
                        - SendMessageW(drives, CB_GETITEMHEIGHT, 0, 0);
            };
            const auto fieldBefore = fieldOverEntries();
            const DpiChange change = changeDpi(window, dpi, row.to);
            RECT outer{ 0, 0, MulDiv(365, row.to, 96), MulDiv(143, row.to, 96) };
            AdjustWindowRectExForDpi(&outer, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)),
                                     FALSE, static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)),
                                     static_cast<UINT>(row.to));
            EXPECT_TRUE(change.sized);
            EXPECT_EQ(change.size.cx, outer.right - outer.left);
            EXPECT_EQ(change.size.cy, outer.bottom - outer.top);
            RECT rect{};
            GetWindowRect(window, &rect);
            EXPECT_TRUE(EqualRect(&rect, &change.suggested));
            // Wine draws the title bar at the DPI it started with: only the
            // width is all the new DPI's here.
            EXPECT_EQ(platform::testing::clientSize(main()).width, 365);
            EXPECT_EQ(main().width(), 5565);
            EXPECT_EQ(fieldOverEntries(), fieldBefore);
            const int side = win32::smallIconSide(static_cast<UINT>(row.to));
            wchar_t text[MAX_PATH] = {};
            SendMessageW(drives, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
            EXPECT_TRUE(win32test::drawsEntryWithIcon(
                    drives, 0, win32::stockIcon(win32::driveIcon(text), side), side));
            changeDpi(window, row.to, dpi);
            continue;
        }
        const HWND window = startShow();
        const int ticks = row.kind == Kind::SettledShow ? 1000 : 4;
        for (int tick = 1; tick < ticks && !show().tmrShow.enabled(); ++tick)
            lateStep(tick);
        ASSERT_EQ(show().tmrShow.enabled(), row.kind == Kind::SettledShow);
        const RECT before = win32test::shownRect(window);
        const RECT image = win32test::rectInParent(handleOf(show().imgShow));
        const DpiChange change = changeDpi(window, dpi, row.to);
        EXPECT_TRUE(change.sized);
        EXPECT_EQ(change.size.cx, before.right - before.left);
        // Long after, no settling brings back the old scale.
        clock += 1s;
        SendMessageW(window, WM_TIMER, win32::Window::SettleTimer, 0);
        RECT rect{};
        GetWindowRect(window, &rect);
        EXPECT_TRUE(EqualRect(&rect, &before));
        EXPECT_FALSE(hasRegion(window));
        // The runtime measures it in its new pixels. Wine's screen keeps
        // its scale: a window that covers it keeps the screen's width.
        EXPECT_NEAR(show().width().value(),
                    row.kind == Kind::SettledShow ? Screen::width().value()
                                                  : (before.right - before.left) * 1440.0 / row.to,
                    0.5);
        rect = win32test::rectInParent(handleOf(show().imgShow));
        EXPECT_NEAR(rect.right - rect.left, (image.right - image.left) * row.to / double(dpi), 2);
        for (int tick = 1; tick < 1000 && !show().tmrShow.enabled(); ++tick)
            lateStep(tick);
        const RECT screen = primaryMonitor();
        GetWindowRect(window, &rect);
        EXPECT_TRUE(EqualRect(&rect, &screen));
        changeDpi(window, row.to, dpi);
        main().cmdStartShow_Click();
    }
}

// The folder list's rows hold a small icon at the window's DPI.
TEST_F(HiDpi, TheFolderListsRowsFitTheIconsAtTheWindowsDpi)
{
    const HWND list = handleOf(main().Dir1);
    const auto height = SendMessageW(list, LB_GETITEMHEIGHT, 0, 0);
    EXPECT_GE(height, GetSystemMetricsForDpi(SM_CYSMICON, static_cast<UINT>(dpi)) + 2);
}

} // namespace
