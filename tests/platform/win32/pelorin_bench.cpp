// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// The measuring half of `make bench-windows` (bench/run-bench-windows drives
// it under Wine), for the Win32 program:
//
//   pelorin_bench decode FILE       time to decode as a show does, off the tick
//   pelorin_bench straight FILE     time to decode at full size with WIC and
//                                   scale to the screen, as a plain viewer
//                                   does on the tick
//   pelorin_bench show FOLDER SECONDS RUN_SECONDS
//                                   the real program: a show of FOLDER, one
//                                   key=value a line on standard output
//   pelorin_bench listing FOLDER    time for the play list to read FOLDER
//
// Every figure is wall time in milliseconds; memory is the process's peak
// working set in megabytes (Wine fills in no private bytes; its peak working
// set is the kernel's peak resident size).

#include "bench/ShowFigures.h"
#include "main_window/Form1.h"
#include "program/Program.h"
#include "show_window/frmShow.h"

#include "platform/Application.h"
#include "platform/Timer.h"
#include "platform/detail/AreaScaler.h"
#include "platform/detail/Bitmap.h"
#include "platform/detail/PictureData.h"

#include <windows.h>

#include <psapi.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

using Clock = BenchClock;
using Microsoft::WRL::ComPtr;
using platform::detail::Bitmap;
using platform::detail::PixelSize;

double peakMegabytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return 0;
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

// What a viewer does that takes what WIC offers: the whole picture decoded
// and converted at full size, then made smaller for the screen. The scaling
// is the program's own averaging: Wine's WIC scaler only picks pixels, which
// would make this path look cheaper than on Windows, and uglier.
int straight(const char *path)
{
    const auto start = Clock::now();
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory))))
        return 1;
    const int length = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    std::wstring widePath(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path, -1, widePath.data(), length);
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(factory->CreateDecoderFromFilename(widePath.c_str(), nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, &decoder))
        || FAILED(decoder->GetFrame(0, &frame))
        || FAILED(factory->CreateFormatConverter(&converter))
        || FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA,
                                        WICBitmapDitherTypeNone, nullptr, 0,
                                        WICBitmapPaletteTypeCustom)))
        return 1;
    UINT width = 0;
    UINT height = 0;
    converter->GetSize(&width, &height);
    Bitmap full(PixelSize{ static_cast<int>(width), static_cast<int>(height) }, false);
    if (full.empty()
        || FAILED(converter->CopyPixels(nullptr, width * 4, width * height * 4,
                                        reinterpret_cast<BYTE *>(full.row(0)))))
        return 1;
    const Bitmap scaled = platform::detail::shrink(full, BenchScreen);
    const double ms = msSince(start);
    std::printf("straight_ms=%.1f\npeak_mb=%.1f\n", ms, peakMegabytes());
    return scaled.empty() ? 1 : 0;
}

namespace {

double cpuMilliseconds()
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    const auto units = [](const FILETIME &time) {
        return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    // 100-nanosecond units.
    return static_cast<double>(units(kernel) + units(user)) / 10000.0;
}

class ShowProbe;
ShowProbe *probe = nullptr;
// The show window's and its picture's own procedures, which the probe's
// wrap: kept past the probe, for the windows' last messages.
WNDPROC showWindowProcedure = nullptr;
WNDPROC pictureWindowProcedure = nullptr;
// How deep the probe is in timed work.
int depth = 0;

// Watches the real program: the show's two timers' handlers are called
// here between two clock readings (the same members the show's own
// handlers call), and the show window's and its picture's window
// procedures are wrapped, so each paint is timed too. A change is timed
// from the show timer's tick to the end of the picture's first paint after
// it: what the screen shows then.
class ShowProbe
{
public:
    ShowProbe(Program &program, int seconds, double runMs)
        : program(program), seconds(seconds), runMs(runMs)
    { }

    void click()
    {
        clicked = Clock::now();
        program.mainWindow().cmdStartShow_Click();
        // The show window is loaded and shown now; its first tick comes
        // after the event loop turns again.
        if (program.showWindowLoaded())
            attach(program.showWindow());
    }

    void report() const { figures.print(peakMegabytes()); }

private:
    static LRESULT CALLBACK showProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        return wrapped(showWindowProcedure, false, window, message, wParam, lParam);
    }

    static LRESULT CALLBACK pictureProcedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam)
    {
        return wrapped(pictureWindowProcedure, true, window, message, wParam, lParam);
    }

    static LRESULT wrapped(WNDPROC original, bool isPicture, HWND window, UINT message,
                           WPARAM wParam, LPARAM lParam)
    {
        // Only the outermost message is timed: one sent from inside
        // another, or from a timer's handler, is part of its time.
        if (!probe || (depth > 0 && message != WM_PAINT))
            return CallWindowProcW(original, window, message, wParam, lParam);
        const bool outermost = depth == 0;
        const auto start = Clock::now();
        ++depth;
        const LRESULT result = CallWindowProcW(original, window, message, wParam, lParam);
        --depth;
        if (message == WM_PAINT)
            probe->painted(isPicture, outermost, start, Clock::now());
        else
            probe->handled(start, Clock::now());
        return result;
    }

    static BOOL CALLBACK findPicture(HWND child, LPARAM found)
    {
        wchar_t name[64] = {};
        GetClassNameW(child, name, 64);
        if (std::wstring(name) != L"PelorinImage")
            return TRUE;
        *reinterpret_cast<HWND *>(found) = child;
        return FALSE;
    }

    void attach(frmShow &show)
    {
        show.tmrOpen.onTimer([this, &show] { openTick(show); });
        show.tmrShow.onTimer([this, &show] { showTick(show); });
        const auto window = reinterpret_cast<HWND>(show.hWnd());
        HWND picture = nullptr;
        EnumChildWindows(window, findPicture, reinterpret_cast<LPARAM>(&picture));
        showWindowProcedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
                window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&showProcedure)));
        if (picture)
            pictureWindowProcedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
                    picture, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&pictureProcedure)));
        else
            std::fprintf(stderr, "pelorin_bench: the show window has no picture control\n");
    }

    const void *shownData()
    {
        if (!program.showWindowLoaded())
            return nullptr;
        return platform::detail::PictureData::of(program.showWindow().imgShow.picture()).get();
    }

    void openTick(frmShow &show)
    {
        const auto start = Clock::now();
        ++depth;
        show.tmrOpen_Timer();
        --depth;
        const double ms = msSince(start);
        figures.openingHandlers.push_back(ms);
        // The paints that follow, until the next tick, are added to it.
        figures.openingCosts.push_back(ms);
        inOpening = true;
        lastOpeningTick = !show.tmrOpen.enabled();
        if (lastOpeningTick) {
            openingEnded = Clock::now();
            figures.openingMs = msSince(clicked, openingEnded);
        }
    }

    void showTick(frmShow &show)
    {
        const auto start = Clock::now();
        const double cpu = cpuMilliseconds();
        inOpening = false;
        // A second with no change in it and none just before: what the
        // program does there is what it costs while nothing happens.
        if (lastTick && ticksSinceChange >= 1)
            figures.idleCpu.push_back((cpu - lastTickCpu) * 1000.0 / msSince(*lastTick, start));
        lastTick = start;
        lastTickCpu = cpu;
        const void *before = shownData();
        ++depth;
        show.tmrShow_Timer();
        --depth;
        if (shownData() != before) {
            ++changes;
            ticksSinceChange = 0;
            changeStarted = start;
            const double ideal = msSince(openingEnded, start);
            figures.cadenceErrors.push_back(ideal - changes * seconds * 1000.0);
            const std::string name = program.mainWindow().File1.fileName();
            figures.changeKinds.push_back(name.empty() ? 0 : name[0] - '0');
        } else {
            ++ticksSinceChange;
        }
        if (msSince(openingEnded) >= runMs)
            platform::Application::exit(0);
    }

    // What the windows do between a tick and its paints, such as taking
    // the geometry the tick set, is the tick's too.
    void handled(Clock::time_point start, Clock::time_point end)
    {
        if (inOpening)
            figures.openingCosts.back() += msSince(start, end);
    }

    void painted(bool isPicture, bool outermost, Clock::time_point start, Clock::time_point end)
    {
        if (inOpening) {
            if (outermost)
                figures.openingCosts.back() += msSince(start, end);
            if (isPicture)
                figures.openingPictureDraws.push_back(msSince(start, end));
            // The last step ends with its picture on screen: the smoothing
            // after it is the settled show's.
            if (isPicture && lastOpeningTick)
                inOpening = false;
        }
        if (!isPicture)
            return;
        if (figures.firstPaintMs < 0 && shownData())
            figures.firstPaintMs = msSince(clicked, end);
        if (changeStarted) {
            figures.changeLatencies.push_back(msSince(*changeStarted, end));
            changeStarted.reset();
        } else if (ticksSinceChange >= 1) {
            ++figures.idlePaints;
        }
    }

    Program &program;
    int seconds;
    double runMs;
    Clock::time_point clicked;
    Clock::time_point openingEnded = Clock::now() + std::chrono::hours(1);
    std::optional<Clock::time_point> changeStarted;
    std::optional<Clock::time_point> lastTick;
    double lastTickCpu = 0;
    bool inOpening = false;
    bool lastOpeningTick = false;
    int changes = 0;
    int ticksSinceChange = 0;
    ShowFigures figures;
};

} // namespace

int show(const char *folder, int seconds, double runSeconds)
{
    Program program;
    program.start();
    ShowProbe watcher(program, seconds, runSeconds * 1000);
    probe = &watcher;
    Form1 &main = program.mainWindow();
    main.txtFolder.setText(folder);
    main.txtChange.setText(std::to_string(seconds));
    // The main window is on screen and idle before the click.
    platform::Timer wait;
    wait.setInterval(800);
    bool clicked = false;
    wait.onTimer([&] {
        if (clicked) {
            platform::Application::exit(0);
            return;
        }
        clicked = true;
        watcher.click();
        // With no time to run, the program ends a moment after the click.
        if (runSeconds <= 0)
            wait.setInterval(300);
        else
            wait.setEnabled(false);
    });
    wait.setEnabled(true);
    platform::Application::exec();
    watcher.report();
    probe = nullptr;
    return 0;
}

int main(int argc, char **argv)
{
    return runMode(argc, argv, "decode|hostile|straight|show|listing");
}
