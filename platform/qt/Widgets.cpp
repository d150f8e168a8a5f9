// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/qt/Widgets.h"

namespace platform::qt {

QWidget *areaOf(backend::ContainerPeer &container)
{
    return dynamic_cast<ContainerArea &>(container).area();
}

const char *const RuntimeSizeProperty = "pelorinRuntimeSize";
const char *const VisibleSizeProperty = "pelorinVisibleSize";

QRect reachingWindowEdges(const QWidget &control, QRect rect)
{
    const QWidget *window = control.parentWidget();
    if (!window || !window->isWindow())
        return rect;
    const QSize runtime = window->property(RuntimeSizeProperty).toSize();
    const QSize visible = window->property(VisibleSizeProperty).toSize();
    if (!runtime.isValid() || !visible.isValid())
        return rect;
    if (rect.x() + rect.width() >= runtime.width() && visible.width() > runtime.width())
        rect.setWidth(rect.width() + visible.width() - runtime.width());
    if (rect.y() + rect.height() >= runtime.height() && visible.height() > runtime.height())
        rect.setHeight(rect.height() + visible.height() - runtime.height());
    return rect;
}

QWidget *widgetOf(const backend::ControlPeer &control)
{
    return dynamic_cast<const HasWidget &>(control).widget();
}

} // namespace platform::qt
