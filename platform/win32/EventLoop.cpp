// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/backend/EventLoop.h"

#include "platform/win32/App.h"
#include "platform/win32/Desktop.h"

#include <commctrl.h>
#include <objbase.h>
#include <windows.h>

#include <deque>
#include <map>
#include <mutex>
#include <utility>

namespace platform::win32 {

namespace {

constexpr wchar_t AppClass[] = L"PelorinApp";
constexpr wchar_t DialogProperty[] = L"PelorinDialog";
constexpr UINT PostedWork = WM_APP + 1;

struct State
{
    HWND window = nullptr;
    std::mutex mutex;
    std::deque<std::function<void()>> posted;
    std::map<UINT_PTR, std::function<void()>> timers;
    UINT_PTR lastTimer = 0;
    std::function<void(bool now)> sessionEnd;
    bool comStarted = false;
};

State &state()
{
    static State instance;
    return instance;
}

void runPosted()
{
    for (;;) {
        std::function<void()> work;
        {
            const std::lock_guard lock(state().mutex);
            if (state().posted.empty())
                return;
            work = std::move(state().posted.front());
            state().posted.pop_front();
        }
        work();
    }
}

LRESULT CALLBACK appProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case PostedWork:
        runPosted();
        return 0;
    case WM_TIMER: {
        // A single wake-up: the timer goes before its work, which may set
        // it again.
        const auto found = state().timers.find(wParam);
        if (found == state().timers.end())
            break;
        KillTimer(window, wParam);
        const std::function<void()> work = std::move(found->second);
        state().timers.erase(found);
        work();
        return 0;
    }
    case WM_DISPLAYCHANGE:
    case WM_SETTINGCHANGE:
    case WM_DPICHANGED:
        // Also inside a message box's loop, which is not ours.
        forgetScreen();
        break;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        // The process ends when this returns: the program ends first, as
        // closing its main window ends it, even when a handler waits in a
        // message box beneath this message.
        if (wParam && state().sessionEnd)
            state().sessionEnd(true);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

HINSTANCE instance()
{
    return GetModuleHandleW(nullptr);
}

HWND appWindow()
{
    return state().window;
}

UINT_PTR newTimerId()
{
    return ++state().lastTimer;
}

UINT_PTR startTimer(UINT_PTR id, int milliseconds, std::function<void()> timeout)
{
    state().timers[id] = std::move(timeout);
    SetTimer(state().window, id, static_cast<UINT>(std::max(milliseconds, 0)), nullptr);
    return id;
}

void stopTimer(UINT_PTR id)
{
    if (state().timers.erase(id) != 0 && state().window)
        KillTimer(state().window, id);
}

void markDialog(HWND window)
{
    SetPropW(window, DialogProperty, reinterpret_cast<HANDLE>(1));
}

void dispatchMessage(MSG &message)
{
    forgetScreen();
    if (message.hwnd) {
        const HWND root = GetAncestor(message.hwnd, GA_ROOT);
        if (root && GetPropW(root, DialogProperty) && IsDialogMessageW(root, &message))
            return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

bool processPending()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        dispatchMessage(message);
    }
    return true;
}

} // namespace platform::win32

namespace platform::backend {

// Windows always has a display.
std::optional<std::string> displayProblem(const char *)
{
    return std::nullopt;
}

void startToolkit(const char *)
{
    using namespace win32;
    // An empty card reader or DVD drive answers "not ready" instead of
    // asking the user to insert a disk.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    state().comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    INITCOMMONCONTROLSEX controls{ sizeof(INITCOMMONCONTROLSEX),
                                   ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES };
    InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = appProcedure;
    windowClass.hInstance = instance();
    windowClass.lpszClassName = AppClass;
    RegisterClassExW(&windowClass);
    state().window = CreateWindowExW(WS_EX_TOOLWINDOW, AppClass, L"Pelorin", WS_POPUP, 0, 0, 0, 0,
                                     nullptr, nullptr, instance(), nullptr);
}

void stopToolkit()
{
    using namespace win32;
    for (const auto &[id, work] : state().timers)
        KillTimer(state().window, id);
    state().timers.clear();
    if (state().window)
        DestroyWindow(std::exchange(state().window, nullptr));
    if (std::exchange(state().comStarted, false))
        CoUninitialize();
}

int runEventLoop()
{
    MSG message;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(message.wParam);
        if (got < 0)
            return 1;
        win32::dispatchMessage(message);
    }
}

void quitEventLoop(int code)
{
    PostQuitMessage(code);
}

void post(std::function<void()> work)
{
    {
        const std::lock_guard lock(win32::state().mutex);
        win32::state().posted.push_back(std::move(work));
    }
    PostMessageW(win32::state().window, win32::PostedWork, 0, 0);
}

void onSessionEnd(std::function<void(bool now)> handler)
{
    win32::state().sessionEnd = std::move(handler);
}

void lowerThisThreadsPriority()
{
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}

} // namespace platform::backend
