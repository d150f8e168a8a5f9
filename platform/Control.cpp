// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Control.h"

#include "platform/RuntimeError.h"
#include "platform/detail/Access.h"

namespace platform {

Control::~Control() = default;

backend::ContainerPeer &Control::peerOf(Container &container)
{
    return detail::Access::containerPeer(container);
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
    if (controlPeer)
        controlPeer->setGeometry(
                detail::toPixelRect(geometryLeft, geometryTop, geometryWidth, geometryHeight));
}

void Control::setEnabled(bool value)
{
    isEnabled = value;
    controlPeer->setEnabled(value);
}

void Control::setVisible(bool value)
{
    isVisible = value;
    controlPeer->setVisible(value);
}

void Control::setToolTipText(std::string_view text)
{
    toolTip = text;
    controlPeer->setToolTip(text);
}

void Control::setAccessibleName(std::string_view text)
{
    accessName = text;
    controlPeer->setAccessibleName(text);
}

void Control::setAccessibleRole(AccessibleRole role)
{
    accessRole = role;
    controlPeer->setAccessibleRole(role);
}

void Control::setFocus()
{
    controlPeer->setFocus();
}

bool Control::hasFocus() const
{
    return controlPeer->hasFocus();
}

void Control::bringToFront()
{
    controlPeer->bringToFront();
}

} // namespace platform
