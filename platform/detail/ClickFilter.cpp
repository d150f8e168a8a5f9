// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/ClickFilter.h"

#include "platform/detail/Dispatch.h"

#include <QMouseEvent>
#include <QWidget>

#include <utility>

namespace platform::detail {

ClickFilter::ClickFilter(QWidget *widget, std::function<void()> handler)
    : QObject(widget), handler(std::move(handler))
{
    widget->installEventFilter(this);
}

void ClickFilter::install(QWidget *widget, std::function<void()> handler)
{
    new ClickFilter(widget, std::move(handler));
}

bool ClickFilter::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = static_cast<QWidget *>(watched);
    if (event->type() == QEvent::MouseButtonPress) {
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            // Taken here, so the release comes back to this widget.
            pressed = true;
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && std::exchange(pressed, false)
            && widget->rect().contains(mouse->position().toPoint())) {
            dispatch(handler);
            return true;
        }
    }
    return false;
}

} // namespace platform::detail
