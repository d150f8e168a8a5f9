// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <windows.h>

#include <functional>

namespace platform::win32 {

// The primary screen's size and DPI are read anew when next asked for.
void forgetScreen();

// Whether a show holds the screen saver off.
bool screenSaverHeld();

// Tests see the execution states the screen saver's hold asks for instead
// of the system.
using ExecutionStateHook = std::function<void(EXECUTION_STATE)>;
ExecutionStateHook setExecutionStateHook(ExecutionStateHook hook);

} // namespace platform::win32
