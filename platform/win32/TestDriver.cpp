// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/backend/TestDriver.h"

#include "platform/win32/App.h"
#include "platform/win32/Controls.h"
#include "platform/win32/Text.h"
#include "platform/win32/Window.h"

#include <windows.h>
#include <windowsx.h>

#include <chrono>
#include <cstring>

namespace platform::backend::testing {

namespace {

using win32::ChildControl;

HWND handleOf(const ControlPeer &control)
{
    return dynamic_cast<const ChildControl &>(control).handle();
}

win32::Window &windowOf(const WindowPeer &window)
{
    return const_cast<win32::Window &>(dynamic_cast<const win32::Window &>(window));
}

std::wstring textOf(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::wstring className(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// The left button down and up at a point of a window's client area, sent
// as the system sends them, the button's own handling included.
void clickIn(HWND target, POINT at)
{
    const LPARAM where = MAKELPARAM(at.x, at.y);
    SendMessageW(target, WM_MOUSEMOVE, 0, where);
    SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, where);
    SendMessageW(target, WM_LBUTTONUP, 0, where);
    win32::processPending();
}

// The deepest visible control under a point of a window's client area.
HWND childAt(HWND parent, POINT &at)
{
    for (;;) {
        const HWND child
                = ChildWindowFromPointEx(parent, at, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (!child || child == parent)
            return parent;
        MapWindowPoints(parent, child, &at, 1);
        parent = child;
    }
}

void setModifiers(unsigned modifiers, bool down)
{
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const BYTE state = down ? 0x80 : 0;
    if (modifiers & 1U)
        keys[VK_SHIFT] = keys[VK_LSHIFT] = state;
    if (modifiers & 2U)
        keys[VK_CONTROL] = keys[VK_LCONTROL] = state;
    if (modifiers & 4U)
        keys[VK_MENU] = keys[VK_LMENU] = state;
    SetKeyboardState(keys);
}

// A point of the form's client area, in its window's own.
POINT deviceAt(const win32::Window &top, PixelPoint point)
{
    const POINT origin = top.clientOrigin();
    return { origin.x + top.scale().device(point.x), origin.y + top.scale().device(point.y) };
}

} // namespace

void prepareHeadlessDisplay() { }

void click(ControlPeer &control)
{
    const HWND target = handleOf(control);
    RECT rect{};
    GetClientRect(target, &rect);
    clickIn(target, { (rect.right - rect.left) / 2, (rect.bottom - rect.top) / 2 });
}

void clickAt(WindowPeer &window, PixelPoint point)
{
    win32::Window &top = windowOf(window);
    POINT at = deviceAt(top, point);
    const HWND target = childAt(top.handle(), at);
    clickIn(target, at);
}

// Through the event loop, as typed keys come: the dialog navigation sees
// Tab, and the system menu Alt+F4.
void pressKey(WindowPeer &window, Integer keyCode, unsigned modifiers)
{
    const HWND top = windowOf(window).handle();
    const HWND focus = GetFocus();
    const HWND target = focus && (focus == top || IsChild(top, focus)) ? focus : top;
    const bool alt = (modifiers & 4U) != 0;
    const UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
    const UINT up = alt ? WM_SYSKEYUP : WM_KEYUP;
    const LPARAM context = alt ? (1L << 29) : 0;
    auto post = [&](UINT message, UINT key, bool release) {
        const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
        PostMessageW(target, message, key,
                     static_cast<LPARAM>(1 | (scan << 16) | (release ? (3UL << 30) : 0)) | context);
    };
    // A modifier held down is a key press of its own, before the key's.
    if (modifiers & 1U)
        post(alt ? WM_SYSKEYDOWN : WM_KEYDOWN, VK_SHIFT, false);
    if (modifiers & 2U)
        post(alt ? WM_SYSKEYDOWN : WM_KEYDOWN, VK_CONTROL, false);
    if (alt)
        post(WM_SYSKEYDOWN, VK_MENU, false);
    setModifiers(modifiers, true);
    post(down, static_cast<UINT>(keyCode), false);
    post(up, static_cast<UINT>(keyCode), true);
    win32::processPending();
    setModifiers(modifiers, false);
}

void typeText(ControlPeer &field, std::string_view text)
{
    const HWND target = handleOf(field);
    SetFocus(target);
    SendMessageW(target, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    for (const wchar_t c : win32::wide(text))
        PostMessageW(target, WM_CHAR, c, 1);
    win32::processPending();
}

void closeAsUser(WindowPeer &window)
{
    PostMessageW(windowOf(window).handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    win32::processPending();
}

void moveAsUser(WindowPeer &window, PixelPoint point)
{
    win32::Window &top = windowOf(window);
    SetWindowPos(top.handle(), nullptr, top.scale().device(point.x), top.scale().device(point.y), 0,
                 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    win32::processPending();
}

void moveMouse(WindowPeer &window, PixelPoint point)
{
    win32::Window &top = windowOf(window);
    POINT at = deviceAt(top, point);
    const HWND target = childAt(top.handle(), at);
    SendMessageW(target, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    win32::processPending();
}

int pickEntry(ControlPeer &list, std::string_view text)
{
    const HWND target = handleOf(list);
    const std::wstring wanted = win32::wide(text);
    if (className(target) == L"ComboBox") {
        const auto index = SendMessageW(target, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                        reinterpret_cast<LPARAM>(wanted.c_str()));
        if (index == CB_ERR)
            return -1;
        SendMessageW(target, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(GetParent(target), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(target), CBN_SELENDOK),
                     reinterpret_cast<LPARAM>(target));
        win32::processPending();
        return static_cast<int>(index);
    }
    const auto index = SendMessageW(target, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(wanted.c_str()));
    if (index == LB_ERR)
        return -1;
    SendMessageW(target, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    RECT item{};
    SendMessageW(target, LB_GETITEMRECT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
    clickIn(target, { (item.left + item.right) / 2, (item.top + item.bottom) / 2 });
    return static_cast<int>(index);
}

int openEntry(ControlPeer &list, std::string_view text)
{
    const HWND target = handleOf(list);
    const std::wstring wanted = win32::wide(text);
    const auto index = SendMessageW(target, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(wanted.c_str()));
    if (index == LB_ERR)
        return -1;
    SendMessageW(target, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SetFocus(target);
    const UINT scan = MapVirtualKeyW(VK_RETURN, MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, VK_RETURN, static_cast<LPARAM>(1 | (scan << 16)));
    PostMessageW(target, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(1 | (scan << 16) | (3UL << 30)));
    win32::processPending();
    return static_cast<int>(index);
}

PixelRect pixelRect(const ControlPeer &control)
{
    const auto &child = dynamic_cast<const ChildControl &>(control);
    RECT rect{};
    GetWindowRect(child.handle(), &rect);
    MapWindowPoints(nullptr, GetParent(child.handle()), reinterpret_cast<POINT *>(&rect), 2);
    if (GetParent(child.handle()) == child.topLevel().handle()) {
        const POINT origin = child.topLevel().clientOrigin();
        OffsetRect(&rect, -origin.x, -origin.y);
    }
    const win32::Scale scale = child.topLevel().scale();
    const int left = scale.logical(rect.left);
    const int top = scale.logical(rect.top);
    return { left, top, scale.logical(rect.right) - left, scale.logical(rect.bottom) - top };
}

std::vector<std::string> shownEntries(const ControlPeer &list)
{
    const HWND target = handleOf(list);
    const bool combo = className(target) == L"ComboBox";
    const auto count = SendMessageW(target, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    std::vector<std::string> texts;
    for (LRESULT i = 0; i < count; ++i) {
        const auto length = SendMessageW(target, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN,
                                         static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        SendMessageW(target, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
        texts.push_back(win32::narrow(text));
    }
    return texts;
}

std::string shownText(const ControlPeer &label)
{
    const std::string text = win32::narrow(textOf(handleOf(label)));
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\r\n") == 0)
            ++i;
        shown += text[i] == '\r' ? '\n' : text[i];
    }
    return shown;
}

bool pointerHidden(const WindowPeer &window)
{
    return windowOf(window).pointerHidden();
}

int visibleWindows()
{
    int count = 0;
    EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM counted) {
                if (IsWindowVisible(window) && className(window) != L"tooltips_class32")
                    ++*reinterpret_cast<int *>(counted);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&count));
    return count;
}

void processEvents()
{
    win32::processPending();
}

void processEventsFor(int milliseconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        win32::processPending();
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return;
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left.count()), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
}

} // namespace platform::backend::testing
