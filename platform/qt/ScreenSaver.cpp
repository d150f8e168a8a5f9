// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/qt/ScreenSaver.h"

#include "platform/Application.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace platform::qt {

namespace {

const QString Service = QStringLiteral("org.freedesktop.ScreenSaver");
const QString Path = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString Interface = QStringLiteral("org.freedesktop.ScreenSaver");
const QString Reason = QStringLiteral("A slide show is running");
// A screen saver answers at once; one that does not must not hold up the
// end of the program for long.
constexpr int CallTimeout = 2000;

std::optional<std::string> busOverride;
const QString OverrideConnection = QStringLiteral("pelorin-screen-saver");

QDBusConnection bus()
{
    if (!busOverride)
        return QDBusConnection::sessionBus();
    return QDBusConnection::connectToBus(QString::fromStdString(*busOverride), OverrideConnection);
}

QDBusMessage unInhibit(unsigned cookie)
{
    QDBusMessage message
            = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("UnInhibit"));
    message << cookie;
    return message;
}

} // namespace

struct ScreenSaverInhibition::Private
{
    // The connection a hold was asked on is the one it is let go on, even
    // if tests have moved the screen saver to another bus since.
    QDBusConnection connection{ QString() };
    std::optional<unsigned> cookie;
    // The last Inhibit call. Kept after its answer: a watcher cannot be
    // deleted from its own signal, and the next hold replaces it.
    std::unique_ptr<QDBusPendingCallWatcher> call;
    bool waiting = false;
    bool wanted = false;

    void answered();
};

ScreenSaverInhibition::ScreenSaverInhibition() : d(std::make_unique<Private>()) { }

ScreenSaverInhibition::~ScreenSaverInhibition()
{
    if (d->waiting) {
        d->call->disconnect();
        d->call->waitForFinished();
        const QDBusPendingReply<unsigned> reply = *d->call;
        if (!reply.isError())
            d->cookie = reply.value();
    }
    // Blocking, so the screen saver hears of it before the program ends.
    if (d->cookie)
        d->connection.call(unInhibit(*d->cookie), QDBus::Block, CallTimeout);
}

void ScreenSaverInhibition::hold()
{
    d->wanted = true;
    if (d->cookie || d->waiting)
        return;
    d->connection = bus();
    if (!d->connection.isConnected())
        return;
    QDBusMessage message
            = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("Inhibit"));
    message << QString::fromLatin1(ExecutableName) << Reason;
    d->call = std::make_unique<QDBusPendingCallWatcher>(
            d->connection.asyncCall(message, CallTimeout));
    d->waiting = true;
    QObject::connect(d->call.get(), &QDBusPendingCallWatcher::finished, d->call.get(),
                     [this] { d->answered(); });
}

void ScreenSaverInhibition::release()
{
    d->wanted = false;
    if (!d->cookie)
        return;
    d->connection.send(unInhibit(*d->cookie));
    d->cookie.reset();
}

// No service, or one that refused: the show goes on without a hold. A hold
// let go of while its answer was on the way is let go of now.
void ScreenSaverInhibition::Private::answered()
{
    waiting = false;
    const QDBusPendingReply<unsigned> reply = *call;
    if (reply.isError())
        return;
    if (wanted)
        cookie = reply.value();
    else
        connection.send(unInhibit(reply.value()));
}

void overrideScreenSaverBus(std::optional<std::string> address)
{
    QDBusConnection::disconnectFromBus(OverrideConnection);
    busOverride = std::move(address);
}

} // namespace platform::qt
