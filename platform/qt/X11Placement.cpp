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

// Keeps from Qt what the X server reports of a window placed here up to
// the answer to its last placement: Qt, and through it the program, would
// otherwise take an older geometry for a change the window system made, and
// set the window back to it.
class EchoFilter : public QAbstractNativeEventFilter
{
public:
    void expect(xcb_window_t window, X11Placement::Asked asked) { expected[window] = asked; }

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
        switch (X11Placement::judge(
                found->second, event->full_sequence,
                QRect(configure->x, configure->y, configure->width, configure->height))) {
        case X11Placement::Echo::Answer:
            expected.erase(found);
            return true;
        case X11Placement::Echo::Stale:
        case X11Placement::Echo::AnswerElsewhere:
            return true;
        case X11Placement::Echo::Other:
            break;
        }
        return false;
    }

private:
    std::map<xcb_window_t, X11Placement::Asked> expected;
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
    const std::uint32_t values[]
            = { static_cast<std::uint32_t>(device.x()), static_cast<std::uint32_t>(device.y()),
                static_cast<std::uint32_t>(device.width()),
                static_cast<std::uint32_t>(device.height()) };
    const xcb_void_cookie_t request
            = xcb_configure_window(x, id,
                                   XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y
                                           | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                                   values);
    // Events are judged on this thread too: none comes between the request
    // and its entry.
    echoFilter().expect(id, { request.sequence, device });
    xcb_flush(x);
    return true;
}

X11Placement::Echo X11Placement::judge(const Asked &asked, std::uint32_t sequence, QRect reported)
{
    // Sequence numbers wrap: what counts is which side of the placement's
    // request the report falls.
    if (static_cast<std::int32_t>(sequence - asked.sequence) < 0)
        return Echo::Stale;
    if (reported.size() != asked.device.size())
        return Echo::Other;
    return reported.topLeft() == asked.device.topLeft() ? Echo::Answer : Echo::AnswerElsewhere;
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
