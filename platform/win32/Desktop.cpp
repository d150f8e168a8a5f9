// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/backend/Desktop.h"

#include "platform/RuntimeError.h"
#include "platform/win32/Desktop.h"
#include "platform/win32/Text.h"

#include <shellapi.h>
#include <shellscalingapi.h>
#include <windows.h>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <type_traits>

namespace platform::win32 {

namespace {

ExecutionStateHook executionStateHook;
// The holds in force, all of the user-interface thread.
int holds = 0;

void askFor(EXECUTION_STATE state)
{
    if (executionStateHook)
        executionStateHook(state);
    else
        SetThreadExecutionState(state);
}

// While a show is on screen, neither the screen saver nor the display's
// sleep may cover it.
class ScreenSaverHold : public backend::ScreenSaverPeer
{
public:
    ScreenSaverHold() = default;
    ~ScreenSaverHold() override { release(); }
    ScreenSaverHold(const ScreenSaverHold &) = delete;
    ScreenSaverHold &operator=(const ScreenSaverHold &) = delete;

    void hold() override
    {
        if (held)
            return;
        held = true;
        ++holds;
        askFor(ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED);
    }
    void release() override
    {
        if (!held)
            return;
        held = false;
        --holds;
        askFor(ES_CONTINUOUS);
    }

private:
    bool held = false;
};

using ShellExecuteFunction = HINSTANCE(WINAPI *)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);

// The shell's own call, bound on its first use, as a program declares it;
// a system without it is a runtime error, as a missing DLL is.
ShellExecuteFunction shellExecuteFunction()
{
    static const ShellExecuteFunction bound = [] {
        const HMODULE shell = LoadLibraryW(L"shell32.dll");
        if (!shell)
            raise(ErrorNumber::FileNotFound);
        const FARPROC found = GetProcAddress(shell, "ShellExecuteW");
        if (!found)
            raise(ErrorNumber::DllEntryPointNotFound);
        return reinterpret_cast<ShellExecuteFunction>(reinterpret_cast<void *>(found));
    }();
    return bound;
}

struct DcDeleter
{
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using OwnedDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

struct FileCloser
{
    void operator()(HANDLE file) const { CloseHandle(file); }
};
using OwnedFile = std::unique_ptr<std::remove_pointer_t<HANDLE>, FileCloser>;

// The profile file Windows associates with the monitor that shows the
// window (the primary one before it is placed).
std::wstring monitorProfilePath(HWND window)
{
    MONITORINFOEXW monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor))
        return {};
    const OwnedDc dc(CreateDCW(monitor.szDevice, monitor.szDevice, nullptr, nullptr));
    if (!dc)
        return {};
    DWORD length = 0;
    GetICMProfileW(dc.get(), &length, nullptr);
    if (length == 0)
        return {};
    std::wstring path(length, L'\0');
    if (!GetICMProfileW(dc.get(), &length, path.data()))
        return {};
    path.resize(wcsnlen(path.c_str(), path.size()));
    return path;
}

HMONITOR primaryMonitor()
{
    return MonitorFromPoint(POINT{ 0, 0 }, MONITOR_DEFAULTTOPRIMARY);
}

// The primary monitor's own DPI, as the windows on it scale: the system
// DPI stays what it was at sign-in when the user changes the scale.
UINT primaryDpi()
{
    UINT x = 0;
    UINT y = 0;
    if (GetDpiForMonitor(primaryMonitor(), MDT_EFFECTIVE_DPI, &x, &y) == S_OK && x != 0)
        return x;
    const UINT dpi = GetDpiForSystem();
    return dpi ? dpi : USER_DEFAULT_SCREEN_DPI;
}

SIZE primaryDeviceSize()
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(primaryMonitor(), &info))
        return { info.rcMonitor.right - info.rcMonitor.left,
                 info.rcMonitor.bottom - info.rcMonitor.top };
    return { GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) };
}

struct PrimaryScreen
{
    UINT dpi;
    SIZE device;
};

// The primary screen as last read. A step of the opening asks for it a few
// dozen times, and under Wine each asking is several trips to its server;
// the screen can only change between two messages, so it is read again
// for each message handled, and at once when the display says it changed.
struct ScreenCache
{
    std::mutex mutex;
    std::optional<PrimaryScreen> screen;
};

ScreenCache &screenCache()
{
    static ScreenCache cache;
    return cache;
}

PrimaryScreen primary()
{
    ScreenCache &cache = screenCache();
    const std::lock_guard lock(cache.mutex);
    if (!cache.screen)
        cache.screen = PrimaryScreen{ primaryDpi(), primaryDeviceSize() };
    return *cache.screen;
}

} // namespace

void forgetScreen()
{
    ScreenCache &cache = screenCache();
    const std::lock_guard lock(cache.mutex);
    cache.screen.reset();
}

bool screenSaverHeld()
{
    return holds > 0;
}

ExecutionStateHook setExecutionStateHook(ExecutionStateHook hook)
{
    ExecutionStateHook previous = std::move(executionStateHook);
    executionStateHook = std::move(hook);
    return previous;
}

} // namespace platform::win32

namespace platform::backend {

detail::PixelSize primaryScreen()
{
    const win32::PrimaryScreen screen = win32::primary();
    const int dpi = static_cast<int>(screen.dpi);
    return { MulDiv(screen.device.cx, 96, dpi), MulDiv(screen.device.cy, 96, dpi) };
}

detail::PixelSize primaryScreenDevice()
{
    const win32::PrimaryScreen screen = win32::primary();
    return { screen.device.cx, screen.device.cy };
}

double devicePixelRatio()
{
    return win32::primary().dpi / 96.0;
}

// Windows' own modal loop turns inside MessageBoxW: timers go on ticking.
void showMessageBox(std::string_view text, std::string_view title, bool critical)
{
    MessageBoxW(nullptr, win32::wide(text).c_str(), win32::wide(title).c_str(),
                MB_OK | MB_TASKMODAL | MB_SETFOREGROUND | (critical ? MB_ICONERROR : 0));
}

Long shellExecute(std::uintptr_t window, std::string_view operation, std::string_view file,
                  std::string_view parameters, std::string_view directory, Long showCommand)
{
    using namespace win32;
    const std::wstring verb = wide(operation);
    const std::wstring target = wide(file);
    const std::wstring arguments = wide(parameters);
    const std::wstring folder = wide(directory);
    const HINSTANCE result = shellExecuteFunction()(
            reinterpret_cast<HWND>(window), verb.empty() ? nullptr : verb.c_str(), target.c_str(),
            arguments.empty() ? nullptr : arguments.c_str(),
            folder.empty() ? nullptr : folder.c_str(), showCommand);
    return static_cast<Long>(reinterpret_cast<std::intptr_t>(result));
}

std::vector<unsigned char> displayColourProfile(std::uintptr_t window, std::size_t limit)
{
    const std::wstring path = win32::monitorProfilePath(reinterpret_cast<HWND>(window));
    if (path.empty())
        return {};
    const HANDLE opened = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return {};
    const win32::OwnedFile file(opened);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0
        || static_cast<unsigned long long>(size.QuadPart) > limit)
        return {};
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)
        || read != bytes.size())
        return {};
    return bytes;
}

std::optional<char> decimalSeparator()
{
    wchar_t separator[4] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 4) != 2
        || separator[0] > 0x7f || separator[0] == L'.')
        return std::nullopt;
    return static_cast<char>(separator[0]);
}

std::unique_ptr<ScreenSaverPeer> createScreenSaverHold()
{
    return std::make_unique<win32::ScreenSaverHold>();
}

} // namespace platform::backend
