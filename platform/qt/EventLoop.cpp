// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/backend/EventLoop.h"

#include "platform/Application.h"
#include "platform/qt/PlatformChoice.h"
#include "platform/qt/SessionEnd.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QIcon>
#include <QLibraryInfo>
#include <QMetaObject>
#include <QStyle>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <utility>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

// Every window's icon, drawn by scripts/make-icon. It sits in the static
// library's resources, which the linker would leave out if nothing named
// them: Q_INIT_RESOURCE names them, and works only outside a namespace.
static QIcon applicationIcon()
{
    Q_INIT_RESOURCE(resources);
    QIcon icon;
    for (const int side : { 16, 32, 48, 64, 128, 256 })
        icon.addFile(QStringLiteral(":/pelorin/pelorin-%1.png").arg(side), QSize(side, side));
    return icon;
}

namespace platform::qt {

namespace {

// Fonts the forms name, and where Debian's fonts-wine keeps them: outside
// fontconfig's search path, so they are added to the application.
struct BundledFont
{
    const char *family;
    const char *file;
};

constexpr BundledFont BundledFonts[] = {
    { "Tahoma", "/usr/share/wine/fonts/tahoma.ttf" },
    { "Tahoma", "/usr/share/wine/fonts/tahomabd.ttf" },
    { "MS Sans Serif", "/usr/share/wine/fonts/ms_sans_serif.ttf" },
};

void registerFonts()
{
    const QStringList families = QFontDatabase::families();
    for (const BundledFont &font : BundledFonts) {
        if (!families.contains(QLatin1String(font.family), Qt::CaseInsensitive)
            && QFile::exists(QLatin1String(font.file)))
            QFontDatabase::addApplicationFont(QLatin1String(font.file));
    }
}

std::string programName;
std::vector<std::pair<QtMsgType, QString>> startupMessages;

// Where Qt looks for its window-system plugins.
std::filesystem::path platformPlugins()
{
    return std::filesystem::path(QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString())
            / "platforms";
}

// While the platform plugin starts, its complaints are held back: if it
// cannot start, one clear line replaces Qt's stack of warnings.
void startupMessageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg) {
        const std::string line
                = startFailure(currentDisplayEnvironment(platformPlugins()), programName);
        std::fprintf(stderr, "%s\n", line.c_str());
        std::_Exit(1);
    }
    startupMessages.emplace_back(type, message);
}

// The application object and what it was made with, for the run.
struct Toolkit
{
    std::string argv0;
    int argc = 1;
    char *argv[2] = { nullptr, nullptr };
    std::unique_ptr<QApplication> application;
    std::unique_ptr<SessionEnd> sessionEnd;
};

// Ended by stopToolkit() alone, never by the exit handlers: a process that
// calls exit() with windows still open would otherwise tear the application
// down after the Qt globals it needs are gone, and crash on the way out.
Toolkit *toolkit = nullptr;

} // namespace

} // namespace platform::qt

namespace platform::backend {

// Where a display is set, X11 comes first: there the program's windows
// stand where it puts them, also on a Wayland desktop's XWayland. A user's
// own QT_QPA_PLATFORM always wins.
std::optional<std::string> displayProblem(const char *name)
{
    qt::programName = name;
    const qt::PlatformChoice choice
            = qt::choosePlatform(qt::currentDisplayEnvironment(qt::platformPlugins()), name);
    // Before the QApplication: Qt reads the variable once, as it starts.
    if (choice.platform)
        qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(*choice.platform));
    return choice.problem;
}

void startToolkit(const char *name)
{
    using namespace qt;
    delete toolkit;
    toolkit = new Toolkit;
    toolkit->argv0 = name;
    toolkit->argv[0] = toolkit->argv0.data();
    programName = toolkit->argv0;

    // Before the QApplication starts its threads: the session's signals are
    // for the main thread's event loop alone.
    SessionEnd::holdBack();
    const QtMessageHandler previous = qInstallMessageHandler(startupMessageHandler);
    toolkit->application = std::make_unique<QApplication>(toolkit->argc, toolkit->argv);
    SessionEnd::letThrough();
    qInstallMessageHandler(previous);
    for (const auto &[type, message] : std::exchange(startupMessages, {}))
        qt_message_output(type, QMessageLogContext(), message);

    QApplication::setApplicationName(QLatin1String(ExecutableName));
    QApplication::setApplicationVersion(QLatin1String(ApplicationVersion));
    QApplication::setWindowIcon(applicationIcon());
    // The desktop entry, com.example.pelorin.desktop: Wayland desktops take
    // the icon from it, and match the windows to it by this name.
    QApplication::setDesktopFileName(QStringLiteral("com.example.pelorin"));
    QApplication::setQuitOnLastWindowClosed(false);
    // One look everywhere, so the designed layout holds on every desktop.
    QApplication::setStyle(QStringLiteral("Fusion"));
    registerFonts();
}

void stopToolkit()
{
    delete std::exchange(qt::toolkit, nullptr);
}

int runEventLoop()
{
    return QApplication::exec();
}

void quitEventLoop(int code)
{
    QCoreApplication::exit(code);
}

void post(std::function<void()> work)
{
    QMetaObject::invokeMethod(qApp, std::move(work), Qt::QueuedConnection);
}

void onSessionEnd(std::function<void(bool now)> handler)
{
    qt::toolkit->sessionEnd = std::make_unique<qt::SessionEnd>(
            [handler = std::move(handler)](int) { handler(false); });
}

void lowerThisThreadsPriority()
{
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
}

} // namespace platform::backend
