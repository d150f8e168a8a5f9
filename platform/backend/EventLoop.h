// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

// The back end's application and event loop: one per process, on the
// thread that runs every handler.

#include <functional>
#include <optional>
#include <string>

namespace platform::backend {

// A one-line explanation when no display can be reached, before anything
// is created; nullopt when one can.
std::optional<std::string> displayProblem(const char *programName);

void startToolkit(const char *programName);
void stopToolkit();

// Runs until quitEventLoop(); returns its code.
int runEventLoop();
void quitEventLoop(int code);
// Runs after the current event has been handled.
void post(std::function<void()> work);

// The desktop session is ending (SIGTERM on Linux, the end-of-session
// messages on Windows). Called on the user-interface thread, from the
// event loop. With `now` the process may be ended as soon as the handler
// returns (Windows' WM_ENDSESSION, which can come while a handler waits in
// a message box): the program must have ended by then.
void onSessionEnd(std::function<void(bool now)> handler);

// The calling thread gives way to the user-interface thread when both want
// the processor.
void lowerThisThreadsPriority();

} // namespace platform::backend
