// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Application.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QIcon>
#include <QMetaObject>
#include <QStyle>

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

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

namespace platform {

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
// An exit asked for before the event loop runs (a failing Load handler)
// ends it as soon as it starts.
std::optional<int> exitRequested;
std::vector<std::pair<QtMsgType, QString>> startupMessages;

std::string noDisplayAdvice()
{
    return "To run it without one: xvfb-run -a " + programName;
}

// While the platform plugin starts, its complaints are held back: if it
// cannot start, one clear line replaces Qt's stack of warnings.
void startupMessageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg) {
        const std::string display = qEnvironmentVariable("DISPLAY").toStdString();
        std::fprintf(stderr, "Pelorin cannot open a window: the display %s cannot be reached. %s\n",
                     display.empty() ? "(none)" : display.c_str(), noDisplayAdvice().c_str());
        std::_Exit(1);
    }
    startupMessages.emplace_back(type, message);
}

} // namespace

struct Application::Private
{
    std::string argv0;
    int argc = 1;
    char *argv[2] = { nullptr, nullptr };
    std::unique_ptr<QApplication> application;
};

Application::Application(const char *argv0) : d(std::make_unique<Private>())
{
    d->argv0 = argv0 ? argv0 : ExecutableName;
    d->argv[0] = d->argv0.data();
    programName = d->argv0;

    const QtMessageHandler previous = qInstallMessageHandler(startupMessageHandler);
    d->application = std::make_unique<QApplication>(d->argc, d->argv);
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

Application::~Application() = default;

int Application::exec()
{
    if (exitRequested)
        return *exitRequested;
    return QApplication::exec();
}

void Application::exit(int code)
{
    exitRequested = code;
    QCoreApplication::exit(code);
}

std::optional<std::string> Application::displayProblem(const char *argv0)
{
    programName = argv0 ? argv0 : ExecutableName;
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return std::nullopt;
    return "Pelorin needs a graphical display and none is set (DISPLAY is empty). "
            + noDisplayAdvice();
}

void Application::post(std::function<void()> work)
{
    QMetaObject::invokeMethod(qApp, std::move(work), Qt::QueuedConnection);
}

} // namespace platform
