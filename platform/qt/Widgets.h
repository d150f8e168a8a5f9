// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/backend/Windows.h"
#include "platform/qt/Accessibility.h"
#include "platform/qt/Text.h"

#include <QPointer>
#include <QWidget>

namespace platform::qt {

// Every Qt peer stands for one widget; the test hooks reach it here.
class HasWidget
{
public:
    virtual ~HasWidget() = default;
    virtual QWidget *widget() const = 0;
};

// A window or a frame: where the controls inside are placed.
class ContainerArea
{
public:
    virtual ~ContainerArea() = default;
    virtual QWidget *area() const = 0;
};

QWidget *areaOf(backend::ContainerPeer &container);
QWidget *widgetOf(const backend::ControlPeer &control);

// A window placed by device pixels may be a pixel wider or taller than the
// device-independent size the runtime gave it (X11Placement.h): a control
// that reaches the runtime's edge reaches the window's visible one.
QRect reachingWindowEdges(const QWidget &control, QRect rect);
// On the window: the runtime's size, and the size that covers its device
// pixels, both in device-independent pixels.
extern const char *const RuntimeSizeProperty;
extern const char *const VisibleSizeProperty;

// The common part of every control's peer over its widget, which it owns.
template<typename Peer>
class WidgetPeer : public Peer, public HasWidget
{
public:
    WidgetPeer(QWidget *made, backend::ContainerPeer &parent) : owned(made), alive(made)
    {
        owned->setParent(areaOf(parent));
    }
    ~WidgetPeer() override { delete alive.data(); }
    WidgetPeer(const WidgetPeer &) = delete;
    WidgetPeer &operator=(const WidgetPeer &) = delete;

    QWidget *widget() const override { return owned; }

    void setGeometry(backend::PixelRect rect) override
    {
        owned->setGeometry(
                reachingWindowEdges(*owned, QRect(rect.x, rect.y, rect.width, rect.height)));
    }
    void setEnabled(bool value) override { owned->setEnabled(value); }
    void setVisible(bool value) override { owned->setVisible(value); }
    void setToolTip(std::string_view text) override { owned->setToolTip(toQString(text)); }
    void setAccessibleName(std::string_view text) override
    {
        owned->setAccessibleName(toQString(text));
    }
    void setAccessibleRole(AccessibleRole role) override { qt::setAccessibleRole(owned, role); }
    void setFocus() override { owned->setFocus(Qt::OtherFocusReason); }
    bool hasFocus() const override { return owned->hasFocus(); }
    void bringToFront() override { owned->raise(); }

private:
    QWidget *owned;
    // A widget is deleted with its parent; a peer that outlives its window
    // finds nothing left to delete.
    QPointer<QWidget> alive;
};

} // namespace platform::qt
