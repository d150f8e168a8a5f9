// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/qt/SessionEnd.h"

#include <QSocketNotifier>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>

#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform::qt {

namespace {

constexpr std::array CaughtSignals = { SIGTERM, SIGHUP };

// The handler's end of the pair; -1 while no SessionEnd exists.
std::atomic<int> signalWriter{ -1 };
static_assert(std::atomic<int>::is_always_lock_free, "read inside a signal handler");

sigset_t caughtSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signalNumber : CaughtSignals)
        sigaddset(&set, signalNumber);
    return set;
}

extern "C" void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    // Non-blocking: when the pair is full a byte is already waiting.
    [[maybe_unused]] const ssize_t written = ::write(signalWriter.load(), &byte, 1);
    errno = savedErrno;
}

} // namespace

void SessionEnd::holdBack()
{
    const sigset_t set = caughtSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void SessionEnd::letThrough()
{
    const sigset_t set = caughtSet();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

struct SessionEnd::Private
{
    std::function<void(int)> ended;
    int sockets[2] = { -1, -1 };
    std::unique_ptr<QSocketNotifier> notifier;
    bool called = false;

    void readable()
    {
        unsigned char bytes[16];
        int first = 0;
        for (;;) {
            const ssize_t count = ::read(sockets[1], bytes, sizeof bytes);
            if (count > 0 && first == 0)
                first = bytes[0];
            if (count < static_cast<ssize_t>(sizeof bytes) && !(count < 0 && errno == EINTR))
                break;
        }
        if (first == 0 || std::exchange(called, true))
            return;
        // A copy: the function may well destroy this object.
        const std::function<void(int)> call = ended;
        call(first);
    }
};

SessionEnd::SessionEnd(std::function<void(int)> ended) : d(std::make_unique<Private>())
{
    d->ended = std::move(ended);
    if (signalWriter.load() != -1)
        throw std::logic_error("one SessionEnd at a time");
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, d->sockets) != 0)
        throw std::system_error(errno, std::generic_category(), "socketpair");
    signalWriter.store(d->sockets[0]);

    d->notifier = std::make_unique<QSocketNotifier>(d->sockets[1], QSocketNotifier::Read);
    QObject::connect(d->notifier.get(), &QSocketNotifier::activated, [this] { d->readable(); });

    struct sigaction action
    { };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // SA_RESTART: the event loop's poll and every read in the program go on
    // as if nothing happened. The handler stays for every later signal: one
    // that comes while the program is ending, or after, is let go.
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : CaughtSignals)
        ::sigaction(signalNumber, &action, nullptr);
    const sigset_t set = caughtSet();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

SessionEnd::~SessionEnd()
{
    // The handler stays, writing nowhere: a signal of the session that comes
    // while the program tears down ends nothing early.
    signalWriter.store(-1);
    d->notifier.reset();
    ::close(d->sockets[0]);
    ::close(d->sockets[1]);
}

} // namespace platform::qt
