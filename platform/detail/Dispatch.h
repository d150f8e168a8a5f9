// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

namespace platform {
class RuntimeError;
}

namespace platform::detail {

// Runs one event handler. A runtime error it raises ends the program with
// the runtime's message (or goes to the handler tests install).
void dispatch(const std::function<void()> &handler);

// A timer tick: dropped while another handler is running (a modal message
// box turns the event loop inside it), so no handler is ever re-entered.
void dispatchTick(const std::function<void()> &handler);

// An event that the program's own code caused (a Path set by a handler):
// it runs inside the running handler, so its errors reach that handler.
// Without one running it is dispatched like any other event.
void raiseEvent(const std::function<void()> &handler);

bool handlerRunning();

using ErrorSink = std::function<void(const RuntimeError &)>;
// Replaces what happens to an uncaught runtime error; returns the previous.
ErrorSink setErrorSink(ErrorSink sink);

} // namespace platform::detail
