// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

namespace platform {
class RuntimeError;
}

namespace platform::detail {

// Runs one event handler. A runtime error it raises ends the program with
// the runtime's message (or goes to the sink tests install). Once the
// program is ending, nothing runs.
void dispatch(const std::function<void()> &handler);

// An event that the program's own code caused (a Path set by a handler):
// it runs inside the running handler, so its errors reach that handler.
// Without one running it is dispatched like any other event.
void raiseEvent(const std::function<void()> &handler);

// Whether a handler is running: one waiting in a message box counts.
bool handlerRunning();

using ErrorSink = std::function<void(const RuntimeError &)>;
// Replaces what happens to an uncaught runtime error; returns the previous.
ErrorSink setErrorSink(ErrorSink sink);

// Switches every timer off: nothing may run behind the message of an error
// that ends the program. Defined with the timers.
void stopAllTimers();

} // namespace platform::detail
