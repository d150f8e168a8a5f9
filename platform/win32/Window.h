// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/win32/Controls.h"

#include <shobjidl.h>
#include <windows.h>
#include <wrl/client.h>

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

namespace platform::win32 {

// What the windows' animations are timed by; tests drive it.
using AnimationClock = std::function<std::chrono::steady_clock::time_point()>;
AnimationClock setAnimationClock(AnimationClock clock);

// A font as a form names it, made for a DPI.
HFONT makeFont(const Font &font, UINT dpi);

// Passes a notification a container got on to the child control that sent
// it; false when none of the program's controls sent it.
bool reflectToChild(HWND container, UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result);

// A top-level window: one window procedure for every form, forwarding to
// this object and to the form's events.
class Window : public backend::WindowPeer, public ContainerArea
{
public:
    // The timer that ends an animation once its geometry has held.
    static constexpr UINT_PTR SettleTimer = 1;
    // Geometry that changes again within this time is a step of an
    // animation, and an animation has settled once no step came for this
    // long, or twice its longest step. The opening's 50 ms steps come on
    // the system tick, behind paints and posted messages: every 62.5 ms on
    // an idle machine, later on a loaded one.
    static constexpr std::chrono::milliseconds SettlingTime{ 250 };

    Window(backend::WindowEvents &events, BorderStyle style);
    ~Window() override;
    Window(const Window &) = delete;
    Window &operator=(const Window &) = delete;

    HWND area() const override { return window; }
    Window &topLevel() override { return *this; }
    HWND handle() const { return window; }
    Scale scale() const { return { dpi }; }
    // The form's font at the window's DPI, for its controls.
    HFONT font() const { return formFont; }
    // The client size the runtime gave, in its 96-DPI pixels.
    backend::PixelSize runtimeClientSize() const { return client; }
    // The client area's size in device pixels, as the runtime last set it.
    SIZE clientDeviceSize() const;
    // Where that client area begins in the window's own: not at its corner
    // while an animation shows it through a region.
    POINT clientOrigin() const;
    // Its geometry changes step by step while a region shows it.
    bool animating() const { return targetArea || animationArea; }

    void enrol(ChildControl &control);
    void leave(ChildControl &control);
    // Where a control's tool tip is kept.
    HWND toolTips();
    // A movement of the mouse over the window or one of its controls.
    void mouseMovedAt(POINT screenPoint);
    bool pointerHidden() const { return hidePointer; }

    void setClientSize(backend::PixelSize size) override;
    backend::PixelSize clientSize() const override;
    void setPosition(backend::PixelPoint position) override;
    backend::PixelPoint position() const override;
    void show() override;
    void hide() override;
    void close() override;
    bool visible() const override;
    void setCaption(std::string_view text) override;
    void setAccessibleName(std::string_view text) override;
    void setFont(const Font &font) override;
    void setTabOrder(const std::vector<backend::ControlPeer *> &controls) override;
    std::uintptr_t nativeHandle() const override;
    void setPointerHidden(bool hidden) override;
    double deviceScale() const override;
    void setDeviceGeometry(backend::PixelRect rect, backend::PixelSize runtime) override;
    backend::PixelRect deviceGeometry() const override;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void applyClientSize();
    // The outer size of the runtime's client size at a DPI.
    SIZE outerSizeAt(UINT atDpi) const;
    std::chrono::steady_clock::duration settleAfter() const;
    void markForShell();
    void applyPendingGeometry();
    void leaveAnimation(backend::PixelRect rect);
    void dpiChanged(UINT newDpi, const RECT &suggested);
    void replaceFont(HFONT made);
    DWORD style() const;
    DWORD exStyle() const;

    backend::WindowEvents &events;
    BorderStyle border;
    HWND window = nullptr;
    HWND tips = nullptr;
    UINT dpi = USER_DEFAULT_SCREEN_DPI;
    std::optional<Font> formFontDesign;
    HFONT formFont = nullptr;
    backend::PixelSize client{ 1, 1 };
    // Device geometry set in a handler and not yet given to the window.
    std::optional<backend::PixelRect> pendingGeometry;
    // The monitor the pending geometry is animated on.
    std::optional<RECT> targetArea;
    // The monitor the window covers while its animation lasts.
    std::optional<RECT> animationArea;
    // The device geometry last given to the window, and when.
    backend::PixelRect placed{};
    std::chrono::steady_clock::time_point lastApplied;
    // The longest time between two steps of the animation.
    std::chrono::steady_clock::duration longestStep{};
    // Where the controls were placed from.
    POINT placedOrigin{};
    std::vector<ChildControl *> controls;
    bool hidePointer = false;
    bool mouseDown = false;
    POINT lastMouse{ -1, -1 };
    // The control that had the focus when the window was last deactivated.
    HWND focusWhenInactive = nullptr;
    // A borderless window's name for screen readers, which no caption gives.
    AccessibleFacts accessible;
    // Told through WM_GETOBJECT, where the system has no annotation.
    bool annotated = false;
    // What the shell was told of a borderless window.
    Microsoft::WRL::ComPtr<ITaskbarList2> taskbar;
    bool taskbarAsked = false;
    bool markedFullScreen = false;
};

} // namespace platform::win32
