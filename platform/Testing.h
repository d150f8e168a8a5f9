// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

// Hooks for tests only: the program never includes this header.

#include "platform/RuntimeError.h"
#include "platform/Single.h"
#include "platform/detail/ShellHook.h"

#include <string>
#include <vector>

class QObject;
class QWidget;

namespace platform {
class Control;
class Form;
class Picture;
class Timer;
} // namespace platform

namespace platform::testing {

struct MsgBoxCall
{
    std::string prompt;
    int style = 0;
    std::string title;
};

// Answers every message box with OK and records it, while it lives.
class MsgBoxRecorder
{
public:
    MsgBoxRecorder();
    ~MsgBoxRecorder();
    MsgBoxRecorder(const MsgBoxRecorder &) = delete;
    MsgBoxRecorder &operator=(const MsgBoxRecorder &) = delete;

    const std::vector<MsgBoxCall> &calls() const { return recorded; }
    void clear() { recorded.clear(); }

private:
    std::vector<MsgBoxCall> recorded;
};

// Records what the shell is asked to open, opening nothing, while it lives.
class ShellRecorder
{
public:
    using Call = detail::ShellCall;
    ShellRecorder();
    ~ShellRecorder();
    ShellRecorder(const ShellRecorder &) = delete;
    ShellRecorder &operator=(const ShellRecorder &) = delete;

    const std::vector<Call> &calls() const { return recorded; }

private:
    std::vector<Call> recorded;
};

// Records the runtime errors that would end the program, while it lives.
class RuntimeErrorRecorder
{
public:
    RuntimeErrorRecorder();
    ~RuntimeErrorRecorder();
    RuntimeErrorRecorder(const RuntimeErrorRecorder &) = delete;
    RuntimeErrorRecorder &operator=(const RuntimeErrorRecorder &) = delete;

    const std::vector<RuntimeError> &errors() const { return recorded; }

private:
    std::vector<RuntimeError> recorded;
};

// The screen the program sees, in twips, while it lives.
class ScreenOverride
{
public:
    ScreenOverride(Single width, Single height);
    ~ScreenOverride();
    ScreenOverride(const ScreenOverride &) = delete;
    ScreenOverride &operator=(const ScreenOverride &) = delete;
};

// The screen saver is looked for on the D-Bus bus at this address instead
// of the session bus, while it lives.
class ScreenSaverBus
{
public:
    explicit ScreenSaverBus(const std::string &address);
    ~ScreenSaverBus();
    ScreenSaverBus(const ScreenSaverBus &) = delete;
    ScreenSaverBus &operator=(const ScreenSaverBus &) = delete;
};

// The timer that hides the idle pointer over a form, and what happens when
// it runs out; the form must hide its idle pointer.
struct IdleTimer
{
    bool active = false;
    bool singleShot = false;
    int interval = 0;
};
IdleTimer idlePointerTimer(const Form &form);
void firePointerIdle(const Form &form);

// A picture that claims any size in pixels, with no file behind it.
Picture pictureOfSize(int width, int height);

QWidget *widgetOf(const Control &control);
QWidget *windowOf(const Form &form);
// The object a timer's ticks arrive at, for probes that watch the events.
QObject *timerObjectOf(const Timer &timer);

} // namespace platform::testing
