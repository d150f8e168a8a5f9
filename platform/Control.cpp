// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Control.h"

#include "platform/RuntimeError.h"
#include "platform/detail/Access.h"
#include "platform/detail/Pixels.h"
#include "platform/detail/Text.h"

#include <QWidget>

namespace platform {

Control::Control(Container &parent, QWidget *widget) : qwidget(widget)
{
    qwidget->setParent(detail::Access::childArea(parent));
    pushGeometry();
}

Control::~Control()
{
    delete qwidget;
}

void Control::setLeft(Single value)
{
    geometryLeft = value;
    pushGeometry();
}

void Control::setTop(Single value)
{
    geometryTop = value;
    pushGeometry();
}

void Control::setWidth(Single value)
{
    if (value < 0)
        raise(ErrorNumber::InvalidPropertyValue);
    geometryWidth = value;
    pushGeometry();
}

void Control::setHeight(Single value)
{
    if (value < 0)
        raise(ErrorNumber::InvalidPropertyValue);
    geometryHeight = value;
    pushGeometry();
}

void Control::move(Single left, Single top, Single width, Single height)
{
    if (width < 0 || height < 0)
        raise(ErrorNumber::InvalidPropertyValue);
    geometryLeft = left;
    geometryTop = top;
    geometryWidth = width;
    geometryHeight = height;
    pushGeometry();
}

void Control::pushGeometry()
{
    // Edges are rounded, not sizes, so controls that meet in twips meet in
    // pixels too.
    const int x = detail::toPixels(geometryLeft);
    const int y = detail::toPixels(geometryTop);
    const int right = detail::toPixels(geometryLeft + geometryWidth);
    const int bottom = detail::toPixels(geometryTop + geometryHeight);
    qwidget->setGeometry(x, y, std::max(0, right - x), std::max(0, bottom - y));
}

bool Control::enabled() const
{
    return !qwidget->testAttribute(Qt::WA_ForceDisabled);
}

void Control::setEnabled(bool value)
{
    qwidget->setEnabled(value);
}

bool Control::visible() const
{
    return !hidden;
}

void Control::setVisible(bool value)
{
    hidden = !value;
    qwidget->setVisible(value);
}

std::string Control::toolTipText() const
{
    return qwidget->toolTip().toStdString();
}

void Control::setToolTipText(std::string_view text)
{
    qwidget->setToolTip(detail::toQString(text));
}

void Control::setFocus()
{
    qwidget->setFocus(Qt::OtherFocusReason);
}

bool Control::hasFocus() const
{
    return qwidget->hasFocus();
}

void Control::bringToFront()
{
    qwidget->raise();
}

} // namespace platform
