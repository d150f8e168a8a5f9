// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <windows.h>

#include <functional>

namespace platform::win32 {

HINSTANCE instance();

// A hidden top-level window of the program's own, never shown: what posted
// work and timers arrive at, and what hears of the end of the session
// (which a message-only window would not).
HWND appWindow();

// A wake-up at the app window, once, `milliseconds` from now; returns its
// number for stopTimer.
UINT_PTR startTimer(UINT_PTR id, int milliseconds, std::function<void()> timeout);
void stopTimer(UINT_PTR id);
UINT_PTR newTimerId();

// One message handed on as the event loop does: the keys of a window with
// controls through the system's dialog navigation (Tab, Shift+Tab, the
// arrows), the rest to its window.
void dispatchMessage(MSG &message);
// Handles what is waiting; false when the loop was asked to end (the
// request stays for the loop).
bool processPending();

// A window that navigates its controls as a dialog does.
void markDialog(HWND window);

} // namespace platform::win32
