// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Container.h"
#include "platform/Single.h"

#include <string>
#include <string_view>

class QWidget;

namespace platform {

// A control with its geometry held in twips: a value set reads back exactly
// as set, and the widget gets the nearest whole pixels.
class Control
{
public:
    virtual ~Control();
    Control(const Control &) = delete;
    Control &operator=(const Control &) = delete;

    Single left() const { return geometryLeft; }
    Single top() const { return geometryTop; }
    Single width() const { return geometryWidth; }
    Single height() const { return geometryHeight; }
    void setLeft(Single value);
    void setTop(Single value);
    // Invalid property value for a negative size.
    void setWidth(Single value);
    void setHeight(Single value);
    void move(Single left, Single top, Single width, Single height);

    bool enabled() const;
    void setEnabled(bool value);
    bool visible() const;
    void setVisible(bool value);
    std::string toolTipText() const;
    void setToolTipText(std::string_view text);

    void setFocus();
    bool hasFocus() const;
    // Puts the control in front of its siblings.
    void bringToFront();

protected:
    // Takes the widget over and places it in the container.
    Control(Container &parent, QWidget *widget);
    QWidget *widget() const { return qwidget; }

private:
    friend struct detail::Access;
    void pushGeometry();

    QWidget *qwidget;
    bool hidden = false;
    Single geometryLeft;
    Single geometryTop;
    Single geometryWidth;
    Single geometryHeight;
};

} // namespace platform
