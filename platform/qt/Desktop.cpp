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
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <string>

#include <cmath>

namespace platform::backend {

namespace {

// What the shell answers: more than 32 for success, 2 when nothing could
// open the file.
constexpr Long Opened = 42;
constexpr Long NotOpened = 2;

struct FreeReply
{
    void operator()(void *reply) const { std::free(reply); }
};
template<typename T>
using Reply = std::unique_ptr<T, FreeReply>;

// The X root window's property colour daemons publish a screen's profile
// in: "_ICC_PROFILE" for the first, "_ICC_PROFILE_n" for screen n.
std::string iccPropertyName(std::uintptr_t window)
{
    const QWidget *widget = QWidget::find(static_cast<WId>(window));
    const QScreen *screen = widget ? widget->screen() : nullptr;
    const qsizetype index = screen ? QGuiApplication::screens().indexOf(screen) : 0;
    return index > 0 ? "_ICC_PROFILE_" + std::to_string(index) : "_ICC_PROFILE";
}

} // namespace

// Only X has a place for it: a Wayland session without XWayland shows
// sRGB.
std::vector<unsigned char> displayColourProfile(std::uintptr_t window, std::size_t limit)
{
    const auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return {};
    const xcb_screen_t *root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!root)
        return {};
    const std::string name = iccPropertyName(window);
    const Reply<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
            connection,
            xcb_intern_atom(connection, 1, static_cast<std::uint16_t>(name.size()), name.data()),
            nullptr));
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return {};
    // One 32-bit unit more than the limit: a property that fills it is too
    // large, and is not read further.
    const auto units = static_cast<std::uint32_t>(limit / 4 + 1);
    const Reply<xcb_get_property_reply_t> property(
            xcb_get_property_reply(connection,
                                   xcb_get_property(connection, 0, root->root, atom->atom,
                                                    XCB_GET_PROPERTY_TYPE_ANY, 0, units),
                                   nullptr));
    if (!property || property->format != 8 || property->bytes_after != 0)
        return {};
    const int length = xcb_get_property_value_length(property.get());
    if (length <= 0 || static_cast<std::size_t>(length) > limit)
        return {};
    const auto *bytes = static_cast<const unsigned char *>(xcb_get_property_value(property.get()));
    return { bytes, bytes + length };
}

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
