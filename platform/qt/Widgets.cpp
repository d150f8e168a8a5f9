// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/qt/Widgets.h"

namespace platform::qt {

QWidget *areaOf(backend::ContainerPeer &container)
{
    return dynamic_cast<ContainerArea &>(container).area();
}

const char *const RuntimeSizeProperty = "pelorinRuntimeSize";

QRect reachingWindowEdges(const QWidget &control, QRect rect)
{
    const QWidget *window = control.parentWidget();
    if (!window || !window->isWindow())
        return rect;
    const QSize runtime = window->property(RuntimeSizeProperty).toSize();
    if (!runtime.isValid())
        return rect;
    if (rect.x() + rect.width() >= runtime.width() && window->width() > runtime.width())
        rect.setWidth(rect.width() + window->width() - runtime.width());
    if (rect.y() + rect.height() >= runtime.height() && window->height() > runtime.height())
        rect.setHeight(rect.height() + window->height() - runtime.height());
    return rect;
}

QWidget *widgetOf(const backend::ControlPeer &control)
{
    return dynamic_cast<const HasWidget &>(control).widget();
}

} // namespace platform::qt
