// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/IdlePointer.h"

#include "platform/detail/ScreenSize.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace platform::detail {

IdlePointer::IdlePointer(QWidget *window) : QObject(window), window(window)
{
    idleTimer.setSingleShot(true);
    idleTimer.setInterval(IdleMilliseconds);
    QObject::connect(&idleTimer, &QTimer::timeout, this, [this] { idle(); });
}

void IdlePointer::shown()
{
    QWindow *handle = window->windowHandle();
    if (handle != watched) {
        if (watched)
            watched->removeEventFilter(this);
        watched = handle;
        if (watched)
            watched->installEventFilter(this);
    }
    idleTimer.start();
}

void IdlePointer::hidden()
{
    idleTimer.stop();
    showPointer();
}

// Switched down to a window that leaves part of the screen bare, the
// pointer is needed again; back at full screen, it goes after the same
// wait as after a movement.
void IdlePointer::geometryChanged()
{
    if (!window->isVisible())
        return;
    if (!coversScreen())
        showPointer();
    else if (!pointerHidden)
        idleTimer.start();
}

void IdlePointer::idle()
{
    if (pointerHidden || !window->isVisible() || !coversScreen())
        return;
    window->setCursor(Qt::BlankCursor);
    pointerHidden = true;
}

void IdlePointer::moved()
{
    showPointer();
    idleTimer.start();
}

bool IdlePointer::coversScreen() const
{
    const QRect frame(window->pos(), window->size());
    return frame.contains(QRect(QPoint(0, 0), screenPixels()));
}

void IdlePointer::showPointer()
{
    if (!pointerHidden)
        return;
    window->unsetCursor();
    pointerHidden = false;
}

bool IdlePointer::eventFilter(QObject *object, QEvent *event)
{
    if (object == watched && event->type() == QEvent::MouseMove)
        moved();
    return false;
}

} // namespace platform::detail
