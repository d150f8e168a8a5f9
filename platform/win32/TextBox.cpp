// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/win32/App.h"
#include "platform/win32/Controls.h"
#include "platform/win32/Text.h"

#include <utility>

namespace platform::win32 {

namespace {

// Room for any folder path; beyond it a text is a paste gone wrong.
constexpr WPARAM MaxLength = 32767;

DWORD alignmentStyle(Alignment alignment)
{
    switch (alignment) {
    case Alignment::Center:
        return ES_CENTER;
    case Alignment::Right:
        return ES_RIGHT;
    case Alignment::Left:
        break;
    }
    return ES_LEFT;
}

class TextBox : public ControlPeer<backend::TextBoxPeer>
{
public:
    TextBox(backend::ContainerPeer &parent, backend::ControlEvents &events)
        : ControlPeer(parent, events)
    {
        adopt(make(ES_LEFT));
    }

    void setText(std::string_view text) override
    {
        // What the program sets is its own, not an edit of the user's.
        const bool was = std::exchange(setting, true);
        SetWindowTextW(handle(), wide(text).c_str());
        setting = was;
    }

    // A single-line edit takes its alignment when it is made: the field is
    // made again with the same text, state and place in the tab order.
    void setAlignment(Alignment alignment) override
    {
        const HWND old = handle();
        const int length = GetWindowTextLengthW(old);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        GetWindowTextW(old, text.data(), length + 1);
        text.resize(static_cast<std::size_t>(length));
        const bool enabled = IsWindowEnabled(old) != FALSE;
        const bool shown = (GetWindowLongPtrW(old, GWL_STYLE) & WS_VISIBLE) != 0;
        const HWND made = make(alignmentStyle(alignment));
        SetWindowPos(made, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        replace(made);
        const bool was = std::exchange(setting, true);
        SetWindowTextW(made, text.c_str());
        setting = was;
        EnableWindow(made, enabled ? TRUE : FALSE);
        ShowWindow(made, shown ? SW_SHOWNA : SW_HIDE);
    }

    bool reflect(UINT message, WPARAM wParam, LPARAM, LRESULT &result) override
    {
        if (message != WM_COMMAND || HIWORD(wParam) != EN_CHANGE)
            return false;
        if (!setting) {
            const int length = GetWindowTextLengthW(handle());
            std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
            GetWindowTextW(handle(), text.data(), length + 1);
            text.resize(static_cast<std::size_t>(length));
            events().textEdited(narrow(text));
        }
        result = 0;
        return true;
    }

private:
    HWND make(DWORD alignment)
    {
        const HWND edit
                = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | alignment,
                                  0, 0, 0, 0, parentArea(), nullptr, instance(), nullptr);
        SendMessageW(edit, EM_SETLIMITTEXT, MaxLength, 0);
        return edit;
    }

    bool setting = false;
};

} // namespace

} // namespace platform::win32

namespace platform::backend {

std::unique_ptr<TextBoxPeer> createTextBox(ContainerPeer &parent, ControlEvents &events)
{
    return std::make_unique<win32::TextBox>(parent, events);
}

} // namespace platform::backend
