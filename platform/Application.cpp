// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Application.h"

#include "platform/backend/EventLoop.h"
#include "platform/backend/Timers.h"
#include "platform/detail/DecodeAhead.h"
#include "platform/detail/Dispatch.h"
#include "platform/detail/ExitHook.h"

namespace platform {

namespace {

// An exit asked for before the event loop runs (a failing Load handler)
// ends it as soon as it starts.
std::optional<int> exitRequested;

// How often a session's end looks again whether the handler in its way is
// done.
constexpr int SessionEndRetryMilliseconds = 50;

struct SessionEnding
{
    std::function<void()> handler;
    std::unique_ptr<backend::TimerPeer> retry;

    // Not inside a handler: one waiting in a message box finishes first,
    // and the end comes after, as an event of its own; unless the process
    // may be ended at once, when the program's end cannot wait for the
    // user to close the box.
    void end(bool now)
    {
        if (detail::handlerRunning() && !now) {
            retry->start(SessionEndRetryMilliseconds);
            return;
        }
        retry->stop();
        detail::dispatch(handler);
    }
};

std::unique_ptr<SessionEnding> sessionEnding;
detail::ExitHook exitHook;

const char *nameOf(const char *argv0)
{
    return argv0 ? argv0 : ExecutableName;
}

} // namespace

Application::Application(const char *argv0)
{
    backend::startToolkit(nameOf(argv0));
}

// The decode ahead stops first: its worker must not outlive what it
// decodes with.
Application::~Application()
{
    sessionEnding.reset();
    detail::DecodeAhead::instance().stop();
    backend::stopToolkit();
}

int Application::exec()
{
    if (exitRequested)
        return *exitRequested;
    return backend::runEventLoop();
}

namespace detail {

ExitHook setExitHook(ExitHook hook)
{
    ExitHook previous = std::move(exitHook);
    exitHook = std::move(hook);
    return previous;
}

} // namespace detail

void Application::exit(int code)
{
    if (exitHook) {
        exitHook(code);
        return;
    }
    exitRequested = code;
    backend::quitEventLoop(code);
}

std::optional<std::string> Application::displayProblem(const char *argv0)
{
    return backend::displayProblem(nameOf(argv0));
}

void Application::post(std::function<void()> work)
{
    backend::post(std::move(work));
}

void Application::onSessionEnd(std::function<void()> handler)
{
    sessionEnding = std::make_unique<SessionEnding>();
    sessionEnding->handler = std::move(handler);
    sessionEnding->retry = backend::createTimer([] { sessionEnding->end(false); });
    backend::onSessionEnd([](bool now) { sessionEnding->end(now); });
}

} // namespace platform
