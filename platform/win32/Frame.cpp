// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/win32/App.h"
#include "platform/win32/Controls.h"
#include "platform/win32/Window.h"

namespace platform::win32 {

namespace {

constexpr wchar_t FrameClass[] = L"PelorinFrame";

// A panel: it draws an etched border, holds the controls inside it, and
// passes their notifications back to them as a window does.
LRESULT CALLBACK frameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT reflected = 0;
    if (reflectToChild(window, message, wParam, lParam, reflected))
        return reflected;
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        RECT rect{};
        GetClientRect(window, &rect);
        DrawEdge(dc, &rect, EDGE_ETCHED, BF_RECT);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void registerClass()
{
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = frameProcedure;
        windowClass.hInstance = instance();
        windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = FrameClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

class Frame : public ControlPeer<backend::FramePeer>, public ContainerArea
{
public:
    Frame(backend::ContainerPeer &parent, backend::ControlEvents &events)
        : ControlPeer(parent, events)
    {
        registerClass();
        adopt(CreateWindowExW(WS_EX_CONTROLPARENT, FrameClass, L"",
                              WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, parentArea(),
                              nullptr, instance(), nullptr));
    }

    HWND area() const override { return handle(); }
    Window &topLevel() override { return ChildControl::topLevel(); }
};

} // namespace

} // namespace platform::win32

namespace platform::backend {

std::unique_ptr<FramePeer> createFrame(ContainerPeer &parent, ControlEvents &events)
{
    return std::make_unique<win32::Frame>(parent, events);
}

} // namespace platform::backend
