// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "tests/support/ProgramFixture.h"

#include "platform/KeyCodes.h"
#include "platform/Testing.h"
#include "platform/qt/ScreenSaver.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <functional>
#include <mutex>
#include <optional>
#include <string>

using testsupport::ProgramFixture;

namespace {

const QString Service = QStringLiteral("org.freedesktop.ScreenSaver");
const QString ObjectPath = QStringLiteral("/org/freedesktop/ScreenSaver");

struct Call
{
    QString method;
    QString application;
    QString reason;
    unsigned cookie = 0;
};

// A desktop's screen saver service that records what it is asked. It
// answers from a thread of its own, as a real one would from its own
// process, so the program may wait for its answers.
class FakeScreenSaver : public QDBusVirtualObject
{
public:
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        if (message.interface() != Service)
            return false;
        const QList<QVariant> arguments = message.arguments();
        std::lock_guard lock(mutex);
        if (message.member() == QLatin1String("Inhibit") && arguments.size() == 2) {
            const unsigned cookie = nextCookie++;
            calls.push_back(
                    { message.member(), arguments[0].toString(), arguments[1].toString(), cookie });
            connection.send(message.createReply(QVariant::fromValue(cookie)));
            return true;
        }
        if (message.member() == QLatin1String("UnInhibit") && arguments.size() == 1) {
            calls.push_back({ message.member(), {}, {}, arguments[0].toUInt() });
            connection.send(message.createReply());
            return true;
        }
        return false;
    }

    QString introspect(const QString &) const override
    {
        return QStringLiteral(R"(<interface name="org.freedesktop.ScreenSaver">)"
                              R"(<method name="Inhibit"><arg type="s" direction="in"/>)"
                              R"(<arg type="s" direction="in"/><arg type="u" direction="out"/>)"
                              R"(</method><method name="UnInhibit"><arg type="u" direction="in"/>)"
                              R"(</method></interface>)");
    }

    std::vector<Call> recorded() const
    {
        std::lock_guard lock(mutex);
        return calls;
    }

private:
    mutable std::mutex mutex;
    std::vector<Call> calls;
    unsigned nextCookie = 41;
};

// A session bus of the test's own, from the system's dbus-daemon.
class PrivateBus
{
public:
    PrivateBus()
    {
        daemon.start(QStringLiteral("dbus-daemon"),
                     { QStringLiteral("--session"), QStringLiteral("--nofork"),
                       QStringLiteral("--print-address") });
        if (daemon.waitForStarted(10000) && daemon.waitForReadyRead(10000))
            address = QString::fromUtf8(daemon.readLine()).trimmed().toStdString();
    }
    ~PrivateBus()
    {
        daemon.terminate();
        daemon.waitForFinished(10000);
    }
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    std::string address;

private:
    QProcess daemon;
};

// The program's screen saver holds go to this bus while it lives.
class ScreenSaverBus
{
public:
    explicit ScreenSaverBus(const std::string &address)
    {
        platform::qt::overrideScreenSaverBus(address);
    }
    ~ScreenSaverBus() { platform::qt::overrideScreenSaverBus(std::nullopt); }
    ScreenSaverBus(const ScreenSaverBus &) = delete;
    ScreenSaverBus &operator=(const ScreenSaverBus &) = delete;
};

// The screen saver service on the private bus, in its own thread.
class ServiceOnBus
{
public:
    explicit ServiceOnBus(const std::string &address)
        : connection(QDBusConnection::connectToBus(QString::fromStdString(address),
                                                   QStringLiteral("fake-screen-saver")))
    {
        thread.start();
        service.moveToThread(&thread);
        registered = connection.registerVirtualObject(ObjectPath, &service)
                && connection.registerService(Service);
    }
    ~ServiceOnBus()
    {
        connection.unregisterService(Service);
        connection.unregisterObject(ObjectPath);
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-screen-saver"));
        thread.quit();
        thread.wait();
    }
    ServiceOnBus(const ServiceOnBus &) = delete;
    ServiceOnBus &operator=(const ServiceOnBus &) = delete;

    std::vector<Call> calls() const { return service.recorded(); }
    bool registered = false;

private:
    QDBusConnection connection;
    QThread thread;
    FakeScreenSaver service;
};

class ScreenSaver : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(bus.address.empty()) << "dbus-daemon did not start";
        ASSERT_TRUE(service.registered);
        ProgramFixture::SetUp();
        pictures.jpeg("a.jpg", 400, 300);
    }

    // The calls the service has had, once it has had at least `count`.
    std::vector<Call> callsOnceThereAre(size_t count)
    {
        if (!QTest::qWaitFor([&] { return service.calls().size() >= count; }, 10000))
            ADD_FAILURE() << "the screen saver had " << service.calls().size() << " calls, not "
                          << count;
        return service.calls();
    }

    PrivateBus bus;
    ScreenSaverBus pointedAtIt{ bus.address };
    ServiceOnBus service{ bus.address };
};

TEST_F(ScreenSaver, IsHeldWhileAShowIsOnScreenAndLetGoHoweverItEnds)
{
    const struct
    {
        const char *how;
        std::function<void()> end;
    } endings[] = {
        { "stop button", [this] { clickStartStop(); } },
        { "close key", [this] { platform::testing::closeAsUser(show()); } },
        { "Esc", [this] { platform::testing::pressKey(show(), platform::vbKeyEscape); } },
        // The program ending: the show window is unloaded while on screen.
        { "unload", [this] { program->unloadShowWindow(); } },
    };
    // The main window alone holds nothing.
    EXPECT_TRUE(service.calls().empty());
    size_t before = 0;
    for (const auto &ending : endings) {
        SCOPED_TRACE(ending.how);
        start(pictures.path());
        std::vector<Call> calls = callsOnceThereAre(before + 1);
        ASSERT_EQ(calls.size(), before + 1);
        const Call inhibit = calls.back();
        EXPECT_EQ(inhibit.method, QStringLiteral("Inhibit"));
        EXPECT_EQ(inhibit.application, QStringLiteral("Pelorin"));
        EXPECT_FALSE(inhibit.reason.isEmpty());

        ending.end();
        calls = callsOnceThereAre(before + 2);
        ASSERT_EQ(calls.size(), before + 2);
        EXPECT_EQ(calls.back().method, QStringLiteral("UnInhibit"));
        EXPECT_EQ(calls.back().cookie, inhibit.cookie);
        before = calls.size();
        EXPECT_TRUE(!program->showWindowLoaded() || !show().visible());
    }
}

TEST_F(ScreenSaver, IsLetGoBeforeTheProgramGoesOn)
{
    // The unload at the program's end waits for the screen saver, so the
    // hold cannot outlive the program.
    start(pictures.path());
    ASSERT_EQ(callsOnceThereAre(1).size(), 1u);
    program->unloadShowWindow();
    const std::vector<Call> calls = service.calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].method, QStringLiteral("UnInhibit"));
    EXPECT_EQ(calls[1].cookie, calls[0].cookie);
}

TEST_F(ScreenSaver, ShowsStartedAndStoppedBeforeTheAnswerEndUpHoldingWhatTheLastOneWants)
{
    // Stopped before the screen saver answered: the hold it gets is let go.
    start(pictures.path());
    clickStartStop();
    std::vector<Call> calls = callsOnceThereAre(2);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].method, QStringLiteral("Inhibit"));
    EXPECT_EQ(calls[1].method, QStringLiteral("UnInhibit"));
    EXPECT_EQ(calls[1].cookie, calls[0].cookie);

    // Started again before the answer: one hold, kept until the stop.
    start(pictures.path());
    clickStartStop();
    start(pictures.path());
    calls = callsOnceThereAre(3);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[2].method, QStringLiteral("Inhibit"));
    clickStartStop();
    calls = callsOnceThereAre(4);
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[3].method, QStringLiteral("UnInhibit"));
    EXPECT_EQ(calls[3].cookie, calls[2].cookie);
}

TEST_F(ScreenSaver, TheOpeningAndTheClicksKeepOneHold)
{
    start(pictures.path());
    runOpening();
    show().imgShow_Click();
    show().imgShow_Click();
    ASSERT_EQ(callsOnceThereAre(1).size(), 1u);
    clickStartStop();
    const std::vector<Call> calls = callsOnceThereAre(2);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].method, QStringLiteral("UnInhibit"));
}

// The hold itself, without a show: one Inhibit however often it is held,
// and the same cookie let go by a release or by its end.
TEST_F(ScreenSaver, AHoldIsTakenOnceAndLetGoWhenReleasedOrEnded)
{
    {
        platform::qt::ScreenSaverInhibition inhibition;
        inhibition.release(); // nothing held: nothing to let go
        inhibition.hold();
        inhibition.hold();
        std::vector<Call> calls = callsOnceThereAre(1);
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].method, QStringLiteral("Inhibit"));
        inhibition.release();
        calls = callsOnceThereAre(2);
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_EQ(calls[1].method, QStringLiteral("UnInhibit"));
        EXPECT_EQ(calls[1].cookie, calls[0].cookie);
        inhibition.hold();
        ASSERT_EQ(callsOnceThereAre(3).size(), 3u);
    }
    const std::vector<Call> calls = callsOnceThereAre(4);
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[3].method, QStringLiteral("UnInhibit"));
    EXPECT_EQ(calls[3].cookie, calls[2].cookie);
    EXPECT_NE(calls[2].cookie, calls[0].cookie);
}

// No screen saver to ask: the show runs and stops as ever, and nothing
// reaches the program as an error (the fixture checks for runtime errors).
class NoScreenSaver : public ProgramFixture
{ };

TEST_F(NoScreenSaver, OnABusWithoutTheServiceOrWithoutABusTheShowRunsAsEver)
{
    PrivateBus bus;
    ASSERT_FALSE(bus.address.empty()) << "dbus-daemon did not start";
    pictures.jpeg("a.jpg", 400, 300);
    for (const std::string &address : { bus.address, std::string("unix:path=/nonexistent/bus") }) {
        SCOPED_TRACE(address);
        ScreenSaverBus pointed(address);
        program = std::make_unique<Program>();
        program->start();
        start(pictures.path());
        EXPECT_EQ(runOpening(), 16);
        clickStartStop();
        EXPECT_EQ(main().cmdStartShow.caption(), "Start Slide Show");
        start(pictures.path());
        program->unloadShowWindow();
        EXPECT_TRUE(messages().empty());
    }
}

} // namespace
