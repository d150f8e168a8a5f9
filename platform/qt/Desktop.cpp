// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/backend/Desktop.h"

#include "platform/qt/ScreenSaver.h"
#include "platform/qt/Text.h"
#include "platform/qt/X11Placement.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <QUrl>

#include <cmath>

namespace platform::backend {

namespace {

// What the shell answers: more than 32 for success, 2 when nothing could
// open the file.
constexpr Long Opened = 42;
constexpr Long NotOpened = 2;

} // namespace

detail::PixelSize primaryScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return { 1024, 768 };
    return { screen->geometry().width(), screen->geometry().height() };
}

double devicePixelRatio()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->devicePixelRatio() : 1.0;
}

detail::PixelSize primaryScreenDevice()
{
    if (const auto x = qt::X11Placement::screenSize())
        return { x->width(), x->height() };
    const double ratio = devicePixelRatio();
    const detail::PixelSize pixels = primaryScreen();
    return { static_cast<int>(std::lround(pixels.width * ratio)),
             static_cast<int>(std::lround(pixels.height * ratio)) };
}

// QMessageBox::exec turns the event loop inside it: the timers go on.
void showMessageBox(std::string_view text, std::string_view title, bool critical)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(qt::toQString(title));
    box.setText(qt::toQString(text));
    box.setIcon(critical ? QMessageBox::Critical : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

// "open" is the only operation the desktop's opener knows; an address or a
// path is handed to it as it stands (QDesktopServices runs xdg-open, which
// honours BROWSER).
Long shellExecute(std::uintptr_t, std::string_view operation, std::string_view file,
                  std::string_view, std::string_view, Long)
{
    if (qt::toQString(operation).compare(QLatin1String("open"), Qt::CaseInsensitive) != 0)
        return NotOpened;
    const QUrl url = QUrl::fromUserInput(qt::toQString(file));
    if (!url.isValid())
        return NotOpened;
    return QDesktopServices::openUrl(url) ? Opened : NotOpened;
}

std::optional<char> decimalSeparator()
{
    const QString point = QLocale::system().decimalPoint();
    if (point.size() != 1 || point.at(0).unicode() > 0x7f || point.at(0) == u'.')
        return std::nullopt;
    return static_cast<char>(point.at(0).unicode());
}

std::unique_ptr<ScreenSaverPeer> createScreenSaverHold()
{
    return std::make_unique<qt::ScreenSaverInhibition>();
}

} // namespace platform::backend
