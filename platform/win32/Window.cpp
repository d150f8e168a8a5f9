// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/win32/Window.h"

#include "platform/win32/Accessible.h"
#include "platform/win32/App.h"
#include "platform/win32/Desktop.h"
#include "platform/win32/Text.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace platform::win32 {

namespace {

constexpr wchar_t FormClass[] = L"PelorinForm";
// The icon in the program's resources, as Explorer shows it.
constexpr int IconResource = 1;
constexpr UINT ApplyGeometry = WM_APP + 2;
// The shell's own name for a window it must not take for a full-screen
// program by its looks.
constexpr wchar_t NotFullScreen[] = L"NonRudeHWND";

AnimationClock &animationClock()
{
    static AnimationClock clock;
    return clock;
}

std::chrono::steady_clock::time_point now()
{
    return animationClock() ? animationClock()() : std::chrono::steady_clock::now();
}

UINT milliseconds(std::chrono::steady_clock::duration duration)
{
    const auto count = std::chrono::ceil<std::chrono::milliseconds>(duration).count();
    return static_cast<UINT>(std::max<decltype(count)>(count, USER_TIMER_MINIMUM));
}

void registerClass()
{
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = instance();
        windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.hIcon = LoadIconW(instance(), MAKEINTRESOURCEW(IconResource));
        windowClass.lpszClassName = FormClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

} // namespace

AnimationClock setAnimationClock(AnimationClock clock)
{
    return std::exchange(animationClock(), std::move(clock));
}

HFONT makeFont(const Font &font, UINT dpi)
{
    // Points at 96 dots per inch, like the twips layout around them, then
    // scaled to the window's DPI.
    const int pixels = static_cast<int>(std::lround(font.size * 96.0 / 72.0));
    return CreateFontW(-MulDiv(pixels, static_cast<int>(dpi), 96), 0, 0, 0, font.weight, FALSE,
                       font.underline ? TRUE : FALSE, FALSE, static_cast<BYTE>(font.charset),
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, wide(font.name).c_str());
}

bool reflectToChild(HWND container, UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result)
{
    HWND child = nullptr;
    switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        child = reinterpret_cast<HWND>(lParam);
        break;
    case WM_NOTIFY:
        child = reinterpret_cast<const NMHDR *>(lParam)->hwndFrom;
        break;
    case WM_DRAWITEM:
        child = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam)->hwndItem;
        break;
    case WM_MEASUREITEM:
        child = GetDlgItem(container, static_cast<int>(wParam));
        break;
    default:
        return false;
    }
    ChildControl *control = child ? ChildControl::of(child) : nullptr;
    return control && control->reflect(message, wParam, lParam, result);
}

Window::Window(backend::WindowEvents &events, BorderStyle borderStyle)
    : events(events), border(borderStyle)
{
    registerClass();
    window = CreateWindowExW(exStyle(), FormClass, L"", style(), CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance(), nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::procedure));
    dpi = GetDpiForWindow(window);
    if (dpi == 0)
        dpi = USER_DEFAULT_SCREEN_DPI;
    if (border != BorderStyle::None)
        markDialog(window);
    else
        SetPropW(window, NotFullScreen, reinterpret_cast<HANDLE>(TRUE));
}

Window::~Window()
{
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    if (markedFullScreen && taskbar)
        taskbar->MarkFullscreenWindow(window, FALSE);
    RemovePropW(window, NotFullScreen);
    if (annotated)
        clearAnnotations(window);
    DestroyWindow(window);
    if (formFont)
        DeleteObject(formFont);
}

DWORD Window::style() const
{
    if (border == BorderStyle::None)
        return WS_POPUP | WS_CLIPCHILDREN;
    return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
}

// A borderless window is the show's: no taskbar button of its own.
DWORD Window::exStyle() const
{
    if (border == BorderStyle::None)
        return WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT;
    return WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
}

void Window::enrol(ChildControl &control)
{
    controls.push_back(&control);
}

void Window::leave(ChildControl &control)
{
    std::erase(controls, &control);
}

HWND Window::toolTips()
{
    if (!tips) {
        tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window,
                               nullptr, instance(), nullptr);
    }
    return tips;
}

SIZE Window::outerSizeAt(UINT atDpi) const
{
    const Scale at{ atDpi };
    RECT outer{ 0, 0, at.device(client.width), at.device(client.height) };
    if (border != BorderStyle::None)
        AdjustWindowRectExForDpi(&outer, style(), FALSE, exStyle(), atDpi);
    return { outer.right - outer.left, outer.bottom - outer.top };
}

void Window::applyClientSize()
{
    const SIZE outer = outerSizeAt(dpi);
    SetWindowPos(window, nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::setClientSize(backend::PixelSize size)
{
    client = size;
    applyClientSize();
}

backend::PixelSize Window::clientSize() const
{
    if (pendingGeometry || animationArea) {
        const SIZE size = clientDeviceSize();
        return { scale().logical(size.cx), scale().logical(size.cy) };
    }
    RECT rect{};
    GetClientRect(window, &rect);
    return { scale().logical(rect.right - rect.left), scale().logical(rect.bottom - rect.top) };
}

void Window::setPosition(backend::PixelPoint at)
{
    SetWindowPos(window, nullptr, scale().device(at.x), scale().device(at.y), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

backend::PixelPoint Window::position() const
{
    if (pendingGeometry || animationArea) {
        const backend::PixelRect rect = deviceGeometry();
        return { scale().logical(rect.x), scale().logical(rect.y) };
    }
    RECT rect{};
    GetWindowRect(window, &rect);
    return { scale().logical(rect.left), scale().logical(rect.top) };
}

void Window::show()
{
    applyPendingGeometry();
    // The shell's taskbar object is made before a show is first on screen,
    // not in the step of its opening that needs it.
    if (border == BorderStyle::None && !std::exchange(taskbarAsked, true)
        && (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(&taskbar)))
            || FAILED(taskbar->HrInit())))
        taskbar.Reset();
    ShowWindow(window, IsWindowVisible(window) ? SW_SHOW : SW_SHOWNORMAL);
    markForShell();
    SetForegroundWindow(window);
    const HWND focus = GetFocus();
    if (focus && IsChild(window, focus))
        return;
    // The first control of the tab order that can take the focus gets it;
    // a window without one takes the keys itself.
    const HWND first = GetNextDlgTabItem(window, nullptr, FALSE);
    SetFocus(first && IsChild(window, first) ? first : window);
}

void Window::hide()
{
    ShowWindow(window, SW_HIDE);
    markForShell();
}

void Window::close()
{
    SendMessageW(window, WM_CLOSE, 0, 0);
}

bool Window::visible() const
{
    return IsWindowVisible(window) != FALSE;
}

void Window::setCaption(std::string_view text)
{
    SetWindowTextW(window, wide(text).c_str());
}

void Window::setAccessibleName(std::string_view text)
{
    accessible.name = wide(text);
    annotated = annotate(window, accessible);
}

void Window::setFont(const Font &font)
{
    formFontDesign = font;
    replaceFont(makeFont(font, dpi));
}

// The controls still draw with the old font until they have taken the new
// one: it goes only after that.
void Window::replaceFont(HFONT made)
{
    const HFONT old = std::exchange(formFont, made);
    for (ChildControl *control : controls)
        control->rescale();
    if (old)
        DeleteObject(old);
}

// The dialog navigation moves through the controls in their windows'
// order, which is also the order they are drawn in: the earlier covers the
// later, as the browse panel covers the buttons behind it.
void Window::setTabOrder(const std::vector<backend::ControlPeer *> &order)
{
    std::map<HWND, HWND> lastIn;
    for (backend::ControlPeer *peer : order) {
        auto *control = dynamic_cast<ChildControl *>(peer);
        if (!control)
            continue;
        if (control->drawnBeneath()) {
            SetWindowPos(control->handle(), HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            continue;
        }
        const HWND parent = GetParent(control->handle());
        const auto last = lastIn.find(parent);
        SetWindowPos(control->handle(), last == lastIn.end() ? HWND_TOP : last->second, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        lastIn[parent] = control->handle();
    }
}

std::uintptr_t Window::nativeHandle() const
{
    return reinterpret_cast<std::uintptr_t>(window);
}

void Window::setPointerHidden(bool hidden)
{
    hidePointer = hidden;
    POINT at{};
    GetCursorPos(&at);
    const HWND under = WindowFromPoint(at);
    if (under == window || IsChild(window, under))
        SetCursor(hidden ? nullptr : LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
}

// Only a real movement counts: Windows also sends one when a window moves
// or changes size under a mouse that stays where it is.
void Window::mouseMovedAt(POINT screenPoint)
{
    if (screenPoint.x == lastMouse.x && screenPoint.y == lastMouse.y)
        return;
    lastMouse = screenPoint;
    events.mouseMoved();
}

// The user changed the display's scale, or the window went to a monitor
// of another. A bordered window takes the rectangle Windows suggests, made
// from its answer to WM_GETDPISCALEDSIZE, in one move. A window placed by
// device pixels keeps them: the show covers the same monitor, whose pixels
// did not change. An opening in progress ends first, where it has got to,
// so that no region or settling later brings back the old scale; the next
// step starts from there. Either way the controls are placed and drawn
// again at the new DPI, and the runtime hears of the window's geometry in
// its new pixels.
void Window::dpiChanged(UINT newDpi, const RECT &suggested)
{
    if (border == BorderStyle::None) {
        if (pendingGeometry || animationArea) {
            const backend::PixelRect rect = pendingGeometry.value_or(placed);
            pendingGeometry.reset();
            targetArea.reset();
            placed = rect;
            leaveAnimation(rect);
        }
        dpi = newDpi;
        const backend::PixelRect rect = deviceGeometry();
        client = { std::max(1, scale().logical(rect.width)),
                   std::max(1, scale().logical(rect.height)) };
    } else {
        dpi = newDpi;
        SetWindowPos(window, nullptr, suggested.left, suggested.top,
                     suggested.right - suggested.left, suggested.bottom - suggested.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (formFontDesign) {
        replaceFont(makeFont(*formFontDesign, dpi));
    } else {
        for (ChildControl *control : controls)
            control->rescale();
    }
    if (border == BorderStyle::None) {
        events.moved();
        events.resized();
    }
}

LRESULT CALLBACK Window::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *self = reinterpret_cast<Window *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT Window::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT reflected = 0;
    if (reflectToChild(window, message, wParam, lParam, reflected))
        return reflected;
    switch (message) {
    case WM_CLOSE:
        // The close box, the system menu, Alt+F4: the window goes, and the
        // form decides what else happens.
        ShowWindow(window, SW_HIDE);
        events.closeRequested();
        return 0;
    case ApplyGeometry:
        applyPendingGeometry();
        return 0;
    case WM_TIMER:
        if (wParam == SettleTimer) {
            KillTimer(window, SettleTimer);
            // A tick of the settling timer can be waiting behind a step
            // that came since: the time decides, not the tick.
            if (!pendingGeometry && animationArea) {
                const auto quiet = now() - lastApplied;
                if (quiet < settleAfter())
                    SetTimer(window, SettleTimer,
                             milliseconds(std::min(settleAfter() - quiet, settleAfter())), nullptr);
                else
                    leaveAnimation(placed);
            }
            return 0;
        }
        break;
    case WM_WINDOWPOSCHANGED: {
        const auto *change = reinterpret_cast<const WINDOWPOS *>(lParam);
        if (!(change->flags & SWP_NOMOVE))
            events.moved();
        if (!(change->flags & SWP_NOSIZE))
            events.resized();
        if (change->flags & SWP_SHOWWINDOW)
            events.shown();
        if (change->flags & SWP_HIDEWINDOW)
            events.hidden();
        return 0;
    }
    case WM_LBUTTONDOWN:
        SetCapture(window);
        mouseDown = true;
        events.mousePressed();
        return 0;
    case WM_LBUTTONUP: {
        const bool wasDown = std::exchange(mouseDown, false);
        if (GetCapture() == window)
            ReleaseCapture();
        if (wasDown) {
            const POINT origin = clientOrigin();
            const SIZE size = clientDeviceSize();
            const RECT rect{ origin.x, origin.y, origin.x + size.cx, origin.y + size.cy };
            events.mouseReleased(
                    PtInRect(&rect, POINT{ GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) }) != FALSE);
        }
        return 0;
    }
    case WM_CAPTURECHANGED:
        // A message box or Alt+Tab took the mouse between the press and
        // the release: the release that comes later is no click.
        if (reinterpret_cast<HWND>(lParam) != window && mouseDown) {
            mouseDown = false;
            events.mouseReleased(false);
        }
        return 0;
    case WM_MOUSEMOVE: {
        POINT at{ GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) };
        ClientToScreen(window, &at);
        mouseMovedAt(at);
        return 0;
    }
    case WM_SETCURSOR:
        if (hidePointer && LOWORD(lParam) == HTCLIENT) {
            SetCursor(nullptr);
            return TRUE;
        }
        break;
    case WM_KEYDOWN:
        // Keys a focused control passed on are not the form's: its KeyDown
        // is for when the form itself has the focus.
        if (GetFocus() == window && events.keyPressed(static_cast<Integer>(wParam & 0xff)))
            return 0;
        break;
    case WM_SYSKEYDOWN:
        // The form hears of Alt and its keys too, and the system still does
        // with them what it does: Alt+F4 closes the window.
        if (GetFocus() == window)
            events.keyPressed(static_cast<Integer>(wParam & 0xff));
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            focusWhenInactive = focus && IsChild(window, focus) ? focus : nullptr;
        } else if (focusWhenInactive && IsWindow(focusWhenInactive)) {
            SetFocus(focusWhenInactive);
            return 0;
        }
        break;
    case WM_GETOBJECT: {
        LRESULT answer = 0;
        if (!annotated && answerGetObject(window, wParam, lParam, accessible, answer))
            return answer;
        break;
    }
    case WM_SYSCOMMAND:
        // Holding the display on does not keep the screen saver away: the
        // system asks the active window first, and it says no while a show
        // is on screen.
        if ((wParam & 0xfff0) == SC_SCREENSAVE && screenSaverHeld())
            return 0;
        break;
    case WM_GETDPISCALEDSIZE: {
        // A window placed by device pixels keeps its size, as it keeps its
        // place (dpiChanged).
        const backend::PixelRect device = deviceGeometry();
        *reinterpret_cast<SIZE *>(lParam) = border == BorderStyle::None
                ? SIZE{ device.width, device.height }
                : outerSizeAt(static_cast<UINT>(wParam));
        return TRUE;
    }
    case WM_DPICHANGED:
        forgetScreen();
        dpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT *>(lParam));
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

double Window::deviceScale() const
{
    return dpi / static_cast<double>(USER_DEFAULT_SCREEN_DPI);
}

// Windows places a window in device pixels: exactly what was asked. A
// handler sets a side and an edge one at a time, so the window takes them
// all at once when the handler is done, and the runtime never shows a
// window that is neither the old nor the new.
//
// A borderless window whose geometry changes again within the settling
// time is an animation (the show's opening). Each new size would cost a
// new window surface of that size under Wine, and pages to fill, most of a
// step on a 4K screen; so while it lasts the window covers its monitor and
// a region shows only its own part. Once the geometry has held for the
// settling time, or a step fills the monitor, the window takes it for
// real.
void Window::setDeviceGeometry(backend::PixelRect rect, backend::PixelSize runtime)
{
    client = runtime;
    if (!pendingGeometry)
        PostMessageW(window, ApplyGeometry, 0, 0);
    pendingGeometry = rect;
    targetArea.reset();
    // An animation lasts until it settles, however late its steps come.
    if (border == BorderStyle::None && (animationArea || now() - lastApplied < SettlingTime)) {
        const RECT wanted{ rect.x, rect.y, rect.x + rect.width, rect.y + rect.height };
        const auto holds = [&wanted](const RECT &area) {
            RECT inside{};
            return IntersectRect(&inside, &wanted, &area) && EqualRect(&inside, &wanted);
        };
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        // The monitor of the animation so far, while the steps stay on it.
        if (animationArea && holds(*animationArea))
            targetArea = animationArea;
        else if (GetMonitorInfoW(MonitorFromRect(&wanted, MONITOR_DEFAULTTOPRIMARY), &monitor)
                 && holds(monitor.rcMonitor))
            targetArea = monitor.rcMonitor;
    }
    const POINT origin = clientOrigin();
    if (origin.x != placedOrigin.x || origin.y != placedOrigin.y) {
        placedOrigin = origin;
        for (ChildControl *control : controls)
            control->reposition();
    }
    // To the runtime the window has its new place and size now, as it
    // would after a SetWindowPos; the window system's own echo comes later
    // or, while the region animates, not at all.
    events.moved();
    events.resized();
}

POINT Window::clientOrigin() const
{
    if (!targetArea || !pendingGeometry)
        return placedOrigin;
    return { pendingGeometry->x - targetArea->left, pendingGeometry->y - targetArea->top };
}

void Window::applyPendingGeometry()
{
    if (!pendingGeometry)
        return;
    const backend::PixelRect rect = *std::exchange(pendingGeometry, std::nullopt);
    const auto at = now();
    const auto step = at - lastApplied;
    placed = rect;
    lastApplied = at;
    // Everything in such a window is drawn again at its new size: nothing
    // of the old contents is worth copying.
    constexpr UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS;
    const RECT wanted{ rect.x, rect.y, rect.x + rect.width, rect.y + rect.height };
    // A step that fills the monitor (the opening's last) leaves no part for
    // a region to spare, and the window has that size already.
    if (targetArea && !EqualRect(&wanted, &*targetArea)) {
        const RECT area = *targetArea;
        const bool entering = !animationArea || !EqualRect(&*animationArea, &area);
        animationArea = area;
        longestStep
                = entering ? std::chrono::steady_clock::duration{} : std::max(longestStep, step);
        const int left = rect.x - area.left;
        const int top = rect.y - area.top;
        // The region first: for the moment between the two, the window
        // rather shows too little than a whole monitor of nothing drawn
        // yet. The system owns the region from here on.
        SetWindowRgn(window,
                     CreateRectRgn(left, top, left + std::max(rect.width, 1),
                                   top + std::max(rect.height, 1)),
                     entering ? FALSE : TRUE);
        if (entering)
            SetWindowPos(window, nullptr, area.left, area.top, area.right - area.left,
                         area.bottom - area.top, flags);
        SetTimer(window, SettleTimer, milliseconds(settleAfter()), nullptr);
        markForShell();
        return;
    }
    leaveAnimation(rect);
}

std::chrono::steady_clock::duration Window::settleAfter() const
{
    return std::max<std::chrono::steady_clock::duration>(SettlingTime, 2 * longestStep);
}

// The shell takes a window that covers its monitor for a full-screen
// program: the taskbar goes beneath it and notifications wait. An opening
// covers its monitor from its first step, showing only its region's part,
// so a borderless window is never judged by its looks (NonRudeHWND, set
// before it is first shown) and is marked full screen exactly while its
// own rectangle is its monitor's.
void Window::markForShell()
{
    if (border != BorderStyle::None)
        return;
    bool full = false;
    if (!animationArea && !pendingGeometry && IsWindowVisible(window)) {
        RECT rect{};
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        full = GetWindowRect(window, &rect)
                && GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)
                && EqualRect(&rect, &monitor.rcMonitor);
    }
    if (full == markedFullScreen)
        return;
    markedFullScreen = full;
    if (full)
        RemovePropW(window, NotFullScreen);
    else
        SetPropW(window, NotFullScreen, reinterpret_cast<HANDLE>(TRUE));
    if (taskbar)
        taskbar->MarkFullscreenWindow(window, full ? TRUE : FALSE);
}

// The window as it was set, without the region.
void Window::leaveAnimation(backend::PixelRect rect)
{
    KillTimer(window, SettleTimer);
    const bool wasAnimated = animationArea.has_value();
    animationArea.reset();
    SetWindowPos(window, nullptr, rect.x, rect.y, std::max(rect.width, 1), std::max(rect.height, 1),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS | (wasAnimated ? SWP_NOREDRAW : 0));
    if (wasAnimated) {
        SetWindowRgn(window, nullptr, TRUE);
        placedOrigin = {};
        for (ChildControl *control : controls)
            control->reposition();
    }
    markForShell();
}

SIZE Window::clientDeviceSize() const
{
    // Only a borderless window is placed by device pixels: its client area
    // is the whole window.
    if (pendingGeometry)
        return { pendingGeometry->width, pendingGeometry->height };
    if (animationArea)
        return { placed.width, placed.height };
    RECT rect{};
    GetClientRect(window, &rect);
    return { rect.right - rect.left, rect.bottom - rect.top };
}

backend::PixelRect Window::deviceGeometry() const
{
    if (pendingGeometry)
        return *pendingGeometry;
    if (animationArea)
        return placed;
    RECT rect{};
    GetWindowRect(window, &rect);
    return { rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top };
}

} // namespace platform::win32

namespace platform::backend {

std::unique_ptr<WindowPeer> createWindow(WindowEvents &events, BorderStyle style)
{
    return std::make_unique<win32::Window>(events, style);
}

} // namespace platform::backend
