// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/Dispatch.h"

#include "platform/Application.h"
#include "platform/MsgBox.h"
#include "platform/RuntimeError.h"

#include <new>

namespace platform::detail {

namespace {

int depth = 0;
bool ending = false;
ErrorSink errorSink;

void endWithError(const RuntimeError &error)
{
    if (errorSink) {
        errorSink(error);
        return;
    }
    // Nothing may run after the error but its message: the timers would
    // otherwise go on ticking inside the message box.
    ending = true;
    stopAllTimers();
    MsgBox(error.message(), vbCritical);
    Application::exit(1);
}

} // namespace

void dispatch(const std::function<void()> &handler)
{
    if (ending || !handler)
        return;
    struct Depth
    {
        Depth() { ++depth; }
        ~Depth() { --depth; }
        Depth(const Depth &) = delete;
        Depth &operator=(const Depth &) = delete;
    } running;
    try {
        handler();
    } catch (const RuntimeError &error) {
        endWithError(error);
    } catch (const std::bad_alloc &) {
        endWithError(RuntimeError(ErrorNumber::OutOfMemory));
    }
}

void raiseEvent(const std::function<void()> &handler)
{
    if (!handler || ending)
        return;
    if (depth > 0)
        handler();
    else
        dispatch(handler);
}

bool handlerRunning()
{
    return depth > 0;
}

ErrorSink setErrorSink(ErrorSink sink)
{
    ErrorSink previous = std::move(errorSink);
    errorSink = std::move(sink);
    return previous;
}

} // namespace platform::detail
