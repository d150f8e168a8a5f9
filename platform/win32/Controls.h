// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/backend/Windows.h"
#include "platform/win32/Accessible.h"

#include <windows.h>

#include <string>

namespace platform::win32 {

class Window;

// Device pixels at a window's DPI from the runtime's 96-DPI ones, and back.
struct Scale
{
    UINT dpi = USER_DEFAULT_SCREEN_DPI;
    int device(int logical) const { return MulDiv(logical, static_cast<int>(dpi), 96); }
    int logical(int device) const { return MulDiv(device, 96, static_cast<int>(dpi)); }
};

// A window or a frame: where the controls inside are placed.
class ContainerArea
{
public:
    virtual ~ContainerArea() = default;
    virtual HWND area() const = 0;
    virtual Window &topLevel() = 0;
};

ContainerArea &areaOf(backend::ContainerPeer &container);

// What every child control's peer has: its window, placed in 96-DPI pixels
// and kept there at any DPI, its font, and the notifications its parent
// passes back to it (a control handles its own click).
class ChildControl
{
public:
    ChildControl(backend::ContainerPeer &parent, backend::ControlEvents &events);
    virtual ~ChildControl();
    ChildControl(const ChildControl &) = delete;
    ChildControl &operator=(const ChildControl &) = delete;

    HWND handle() const { return window; }
    Window &topLevel() const { return *top; }
    backend::ControlEvents &events() const { return controlEvents; }
    backend::PixelRect logicalRect() const { return rect; }

    // A notification the parent got from this control (WM_COMMAND,
    // WM_DRAWITEM, WM_CTLCOLOR...): whether it was handled, and the answer.
    virtual bool reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result);
    // The window's DPI or font changed: everything is placed and drawn again.
    virtual void rescale();
    // The window's client area moved within the window.
    void reposition();
    // Text drawn on its container, as a label is: beneath every control
    // that overlaps it, whatever the tab order.
    virtual bool drawnBeneath() const { return false; }

    static ChildControl *of(HWND window);

protected:
    // Takes the control's window over; replace() puts a new one in the old
    // one's place, which goes. Unwatched, the window's own messages are not
    // looked at: under Wine each message to a watched window costs a round
    // trip to the server, which a list filled with thousands of names feels.
    enum class Watch { Messages, Nothing };
    void adopt(HWND made, Watch watch = Watch::Messages);
    void replace(HWND made);
    // What the window holds below the control's own height: a drop-down
    // list's list.
    virtual int extraHeight() const { return 0; }
    // A control with a font of its own keeps it when the window's changes.
    virtual HFONT font() const;
    void placeAt(backend::PixelRect logical);
    void showOrHide(bool visible);
    void enable(bool enabled);
    // The tool tip is also the control's description for screen readers.
    void tip(std::string_view text);
    void nameForScreenReaders(std::string_view text);
    void roleForScreenReaders(AccessibleRole role);
    AccessibleRole roleForScreenReaders() const { return accessible.role; }
    void focus();
    bool focused() const;
    void toFront();
    HWND parentArea() const { return parent; }
    Scale scale() const;
    // Reports left-button presses and releases to the events, for a
    // control whose clicks the runtime counts by its own rule.
    void reportMouseButtons();
    // Reports Enter to the control's own key handling, not to the dialog
    // navigation that would take it.
    void wantReturnKey();
    virtual void returnPressed() { }

private:
    void hookAccessibility();
    static LRESULT CALLBACK subclassProcedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam, UINT_PTR id, DWORD_PTR data);

    HWND parent;
    Window *top;
    backend::ControlEvents &controlEvents;
    HWND window = nullptr;
    backend::PixelRect rect;
    // The device rectangle last given to the window, in its parent.
    RECT placed{};
    bool visible = true;
    Watch watching = Watch::Messages;
    bool mouse = false;
    // Between a press and its release, while the control holds the mouse.
    bool pressed = false;
    bool returnKey = false;
    std::wstring toolTip;
    AccessibleFacts accessible;
    bool annotated = false;
};

// The common part of every control's peer.
template<typename Peer>
class ControlPeer : public Peer, public ChildControl
{
public:
    ControlPeer(backend::ContainerPeer &parent, backend::ControlEvents &events)
        : ChildControl(parent, events)
    { }

    void setGeometry(backend::PixelRect logical) override { placeAt(logical); }
    void setEnabled(bool value) override { enable(value); }
    void setVisible(bool value) override { showOrHide(value); }
    void setToolTip(std::string_view text) override { tip(text); }
    void setAccessibleName(std::string_view text) override { nameForScreenReaders(text); }
    void setAccessibleRole(AccessibleRole role) override { roleForScreenReaders(role); }
    void setFocus() override { focus(); }
    bool hasFocus() const override { return focused(); }
    void bringToFront() override { toFront(); }
};

// The id children carry, for the WM_COMMAND they send: never IDOK or
// IDCANCEL, which the dialog navigation sends for Enter and Esc.
inline constexpr int FirstControlId = 1000;

} // namespace platform::win32
