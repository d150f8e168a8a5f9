// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>

namespace platform::qt {

// Turns the signals that end a desktop session into a call on the event
// loop, so the program can end the way closing its main window ends it.
//
// SIGTERM is what the session manager, logind and `kill` send; logind sends
// SIGHUP right after it (it is how shells learn their session is gone), and
// a terminal that closes sends SIGHUP too, so both are caught: with SIGHUP
// left alone, it would kill the program before the loop got to SIGTERM.
// SIGINT keeps its default: Ctrl+C in a terminal must end the program at
// once even while a message box holds an event handler open, and a script
// that runs it learns from the signal that it was interrupted.
//
// The signal handler only writes a byte to a socket pair; a QSocketNotifier
// on the other end calls `ended` from the event loop, once. Later signals
// change nothing: the end is under way (a stuck one is for SIGKILL).
//
// The signals must reach the main thread only. logind sends its two at
// once; with the first pending on the main thread, the kernel hands the
// second to another thread, and one that lands on Qt's Wayland event
// reader leaves the program hanging in QApplication's destructor.
//
// One at a time per process; needs a QCoreApplication.
class SessionEnd
{
public:
    // Holds the signals back from the threads started after this call, and
    // from this thread until a SessionEnd is made on it: call it on the main
    // thread before the QApplication, whose threads then never see them. A
    // signal that comes meanwhile waits for the SessionEnd.
    static void holdBack();
    // And lets them through to this thread again: once the QApplication has
    // started its threads, with their signals held back, the main thread and
    // what it starts later take them as ever, so that a process started
    // meanwhile does not inherit them held back.
    static void letThrough();

    // `ended` runs once, on the event loop, with the first signal's number.
    // From now on the signals reach this thread, and the threads it starts.
    explicit SessionEnd(std::function<void(int signalNumber)> ended);
    // Leaves the handler in place, writing nowhere.
    ~SessionEnd();
    SessionEnd(const SessionEnd &) = delete;
    SessionEnd &operator=(const SessionEnd &) = delete;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace platform::qt
