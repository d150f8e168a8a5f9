// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/AccessibleRole.h"
#include "platform/Container.h"
#include "platform/Single.h"
#include "platform/backend/Windows.h"

#include <memory>
#include <string>
#include <string_view>

namespace platform {

// A control with its geometry held in twips: a value set reads back exactly
// as set, and the toolkit gets the nearest whole pixels.
class Control : private backend::ControlEvents
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

    bool enabled() const { return isEnabled; }
    void setEnabled(bool value);
    bool visible() const { return isVisible; }
    void setVisible(bool value);
    std::string toolTipText() const { return toolTip; }
    void setToolTipText(std::string_view text);
    // What a screen reader says the control is, where its own text does
    // not say it: a field is named by the label before it, a list by what
    // it lists. Empty: the toolkit's own name. Nothing on screen changes;
    // the tool tip is read as the control's description.
    std::string accessibleName() const { return accessName; }
    void setAccessibleName(std::string_view text);
    AccessibleRole accessibleRole() const { return accessRole; }
    void setAccessibleRole(AccessibleRole role);

    void setFocus();
    bool hasFocus() const;
    // Puts the control in front of its siblings.
    void bringToFront();

protected:
    Control() = default;
    // Takes over the control's peer, made by the derived class with this
    // control's events, and places it.
    template<typename Peer>
    Peer *attach(std::unique_ptr<Peer> made)
    {
        controlPeer = std::move(made);
        pushGeometry();
        return static_cast<Peer *>(controlPeer.get());
    }
    backend::ControlEvents &events() { return *this; }
    static backend::ContainerPeer &peerOf(Container &container);

private:
    friend struct detail::Access;
    void pushGeometry();

    std::unique_ptr<backend::ControlPeer> controlPeer;
    bool isEnabled = true;
    bool isVisible = true;
    std::string toolTip;
    std::string accessName;
    AccessibleRole accessRole = AccessibleRole::Default;
    Single geometryLeft;
    Single geometryTop;
    Single geometryWidth;
    Single geometryHeight;
};

} // namespace platform
