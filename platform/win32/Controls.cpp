// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/win32/Controls.h"

#include "platform/win32/Text.h"
#include "platform/win32/Window.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <windowsx.h>

namespace platform::win32 {

namespace {

constexpr wchar_t PeerProperty[] = L"PelorinControl";
constexpr UINT_PTR SubclassId = 1;

int nextControlId()
{
    static int last = FirstControlId;
    return ++last;
}

} // namespace

ContainerArea &areaOf(backend::ContainerPeer &container)
{
    return dynamic_cast<ContainerArea &>(container);
}

ChildControl::ChildControl(backend::ContainerPeer &container, backend::ControlEvents &events)
    : parent(areaOf(container).area()), top(&areaOf(container).topLevel()), controlEvents(events)
{ }

ChildControl::~ChildControl()
{
    top->leave(*this);
    if (window) {
        unhookGetObject(window);
        if (annotated)
            clearAnnotations(window);
        if (watching == Watch::Messages)
            RemoveWindowSubclass(window, &ChildControl::subclassProcedure, SubclassId);
        RemovePropW(window, PeerProperty);
        DestroyWindow(window);
    }
}

ChildControl *ChildControl::of(HWND window)
{
    return static_cast<ChildControl *>(GetPropW(window, PeerProperty));
}

void ChildControl::adopt(HWND made, Watch watch)
{
    window = made;
    watching = watch;
    // Overlapping controls each draw only their own part: the browse panel
    // covers the buttons behind it.
    SetWindowLongPtrW(window, GWL_STYLE, GetWindowLongPtrW(window, GWL_STYLE) | WS_CLIPSIBLINGS);
    SetWindowLongPtrW(window, GWLP_ID, nextControlId());
    SetPropW(window, PeerProperty, this);
    if (watch == Watch::Messages)
        SetWindowSubclass(window, &ChildControl::subclassProcedure, SubclassId,
                          reinterpret_cast<DWORD_PTR>(this));
    top->enrol(*this);
    hookAccessibility();
    rescale();
}

void ChildControl::replace(HWND made)
{
    const HWND old = window;
    unhookGetObject(old);
    if (std::exchange(annotated, false))
        clearAnnotations(old);
    if (watching == Watch::Messages)
        RemoveWindowSubclass(old, &ChildControl::subclassProcedure, SubclassId);
    RemovePropW(old, PeerProperty);
    top->leave(*this);
    adopt(made, watching);
    DestroyWindow(old);
    if (!toolTip.empty())
        tip(narrow(toolTip));
}

HFONT ChildControl::font() const
{
    const HFONT shared = top->font();
    return shared ? shared : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

Scale ChildControl::scale() const
{
    return top->scale();
}

bool ChildControl::reflect(UINT, WPARAM, LPARAM, LRESULT &)
{
    return false;
}

void ChildControl::rescale()
{
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font()), TRUE);
    // A new font or a new window: placed again even where nothing moved.
    placed = {};
    placeAt(rect);
}

void ChildControl::reposition()
{
    placeAt(rect);
}

// Edges are scaled, not sizes, so that controls that meet at 96 DPI meet
// at any.
void ChildControl::placeAt(backend::PixelRect logical)
{
    rect = logical;
    const Scale s = scale();
    int left = s.device(logical.x);
    int top = s.device(logical.y);
    int right = s.device(logical.x + logical.width);
    int bottom = s.device(logical.y + logical.height);
    // A window placed by device pixels may be a pixel wider than its
    // runtime size scales to: a control that reaches the runtime's edge
    // reaches the window's.
    if (parent == this->top->handle()) {
        const backend::PixelSize runtime = this->top->runtimeClientSize();
        const SIZE client = this->top->clientDeviceSize();
        if (logical.x + logical.width >= runtime.width)
            right = std::max<int>(right, client.cx);
        if (logical.y + logical.height >= runtime.height)
            bottom = std::max<int>(bottom, client.cy);
        const POINT origin = this->top->clientOrigin();
        left += origin.x;
        right += origin.x;
        top += origin.y;
        bottom += origin.y;
    }
    const RECT device{ left, top, right, bottom + s.device(extraHeight()) };
    // A handler sets each side on its own: a side that does not change
    // moves nothing.
    if (EqualRect(&device, &placed))
        return;
    placed = device;
    // Each step of an animating window draws its children anew: their old
    // pixels copied to the new place would show for a frame first.
    SetWindowPos(window, nullptr, left, top, device.right - left, device.bottom - top,
                 SWP_NOZORDER | SWP_NOACTIVATE | (this->top->animating() ? SWP_NOCOPYBITS : 0));
}

void ChildControl::showOrHide(bool show)
{
    visible = show;
    ShowWindow(window, show ? SW_SHOWNA : SW_HIDE);
}

void ChildControl::enable(bool enabled)
{
    EnableWindow(window, enabled ? TRUE : FALSE);
}

void ChildControl::tip(std::string_view text)
{
    toolTip = wide(text);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = parent;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    tool.lpszText = toolTip.data();
    SendMessageW(top->toolTips(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (!toolTip.empty())
        SendMessageW(top->toolTips(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    accessible.description = toolTip;
    hookAccessibility();
}

void ChildControl::nameForScreenReaders(std::string_view text)
{
    accessible.name = wide(text);
    hookAccessibility();
}

void ChildControl::roleForScreenReaders(AccessibleRole role)
{
    accessible.role = role;
    hookAccessibility();
}

// Only a control with something to add is annotated; the others stay as
// the system made them. An annotation carries properties, not actions:
// the link answers for itself too, for its action. Where the system has no
// annotation (Wine), every such control answers for itself.
void ChildControl::hookAccessibility()
{
    if (!accessible.any())
        return;
    annotated = annotate(window, accessible);
    if (!annotated || accessible.role == AccessibleRole::Link)
        hookGetObject(window, &accessible);
}

void ChildControl::focus()
{
    SetFocus(window);
}

bool ChildControl::focused() const
{
    return GetFocus() == window;
}

void ChildControl::toFront()
{
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void ChildControl::reportMouseButtons()
{
    mouse = true;
}

void ChildControl::wantReturnKey()
{
    returnKey = true;
}

LRESULT CALLBACK ChildControl::subclassProcedure(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    auto *self = reinterpret_cast<ChildControl *>(data);
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (self->mouse) {
            self->pressed = true;
            SetCapture(window);
            self->controlEvents.mousePressed();
            return 0;
        }
        break;
    case WM_CAPTURECHANGED:
        // A message box or Alt+Tab took the mouse between the press and
        // the release: the release that comes later is no click.
        if (self->mouse && self->pressed && reinterpret_cast<HWND>(lParam) != window) {
            self->pressed = false;
            self->controlEvents.mouseReleased(false);
            return 0;
        }
        break;
    case WM_LBUTTONUP:
        if (self->mouse) {
            if (!std::exchange(self->pressed, false))
                return 0;
            if (GetCapture() == window)
                ReleaseCapture();
            RECT rect{};
            GetClientRect(window, &rect);
            self->controlEvents.mouseReleased(
                    PtInRect(&rect, POINT{ GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) }) != FALSE);
            return 0;
        }
        break;
    case WM_MOUSEMOVE: {
        POINT at{ GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) };
        ClientToScreen(window, &at);
        self->top->mouseMovedAt(at);
        break;
    }
    case WM_GETDLGCODE:
        if (self->returnKey && lParam) {
            const auto *key = reinterpret_cast<const MSG *>(lParam);
            if (key->message == WM_KEYDOWN && key->wParam == VK_RETURN)
                return DLGC_WANTMESSAGE | DefSubclassProc(window, message, wParam, lParam);
        }
        break;
    case WM_KEYDOWN:
        if (self->returnKey && wParam == VK_RETURN) {
            self->returnPressed();
            return 0;
        }
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

} // namespace platform::win32
