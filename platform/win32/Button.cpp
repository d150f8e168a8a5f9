// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/win32/App.h"
#include "platform/win32/Controls.h"
#include "platform/win32/Text.h"

namespace platform::win32 {

namespace {

// Windows' own push button: never the default button, so Enter on the
// window presses none.
class Button : public ControlPeer<backend::ButtonPeer>
{
public:
    Button(backend::ContainerPeer &parent, backend::ControlEvents &events)
        : ControlPeer(parent, events)
    {
        adopt(CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                              0, 0, 0, 0, parentArea(), nullptr, instance(), nullptr));
    }

    // Plain text: '&' is shown, never an access key.
    void setCaption(std::string_view text) override
    {
        std::wstring caption;
        for (const wchar_t c : wide(text)) {
            caption.push_back(c);
            if (c == L'&')
                caption.push_back(L'&');
        }
        SetWindowTextW(handle(), caption.c_str());
    }

    bool reflect(UINT message, WPARAM wParam, LPARAM, LRESULT &result) override
    {
        if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED)
            return false;
        events().clicked();
        result = 0;
        return true;
    }
};

} // namespace

} // namespace platform::win32

namespace platform::backend {

std::unique_ptr<ButtonPeer> createButton(ContainerPeer &parent, ControlEvents &events)
{
    return std::make_unique<win32::Button>(parent, events);
}

} // namespace platform::backend
