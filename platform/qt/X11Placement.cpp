// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/qt/X11Placement.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <xcb/xcb.h>

#include <map>

namespace platform::qt {

namespace {

xcb_connection_t *connection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// Swallows the one ConfigureNotify that answers an exact placement: the
// window's size and place in it are the ones asked for.
class EchoFilter : public QAbstractNativeEventFilter
{
public:
    void expect(xcb_window_t window, QRect device) { expected[window] = device; }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type != "xcb_generic_event_t" || expected.empty())
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_CONFIGURE_NOTIFY)
            return false;
        const auto *configure = reinterpret_cast<const xcb_configure_notify_event_t *>(event);
        const auto found = expected.find(configure->window);
        if (found == expected.end())
            return false;
        const QRect asked = found->second;
        if (configure->width != asked.width() || configure->height != asked.height())
            return false;
        if (configure->x == asked.x() && configure->y == asked.y())
            expected.erase(found);
        return true;
    }

private:
    std::map<xcb_window_t, QRect> expected;
};

EchoFilter &echoFilter()
{
    static EchoFilter *filter = [] {
        auto *made = new EchoFilter;
        qGuiApp->installNativeEventFilter(made);
        return made;
    }();
    return *filter;
}

} // namespace

bool X11Placement::available()
{
    return connection() != nullptr;
}

bool X11Placement::place(QWidget *window, QRect device)
{
    xcb_connection_t *x = connection();
    if (!x)
        return false;
    const auto id = static_cast<xcb_window_t>(window->winId());
    echoFilter().expect(id, device);
    const std::uint32_t values[]
            = { static_cast<std::uint32_t>(device.x()), static_cast<std::uint32_t>(device.y()),
                static_cast<std::uint32_t>(device.width()),
                static_cast<std::uint32_t>(device.height()) };
    xcb_configure_window(x, id,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH
                                 | XCB_CONFIG_WINDOW_HEIGHT,
                         values);
    xcb_flush(x);
    return true;
}

std::optional<QSize> X11Placement::screenSize()
{
    xcb_connection_t *x = connection();
    if (!x || QGuiApplication::screens().size() != 1)
        return std::nullopt;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
    if (!screen)
        return std::nullopt;
    return QSize(screen->width_in_pixels, screen->height_in_pixels);
}

} // namespace platform::qt
