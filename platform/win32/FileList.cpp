// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/win32/App.h"
#include "platform/win32/Controls.h"
#include "platform/win32/Text.h"

namespace platform::win32 {

namespace {

class FileList : public ControlPeer<backend::ListPeer>
{
public:
    FileList(backend::ContainerPeer &parent, backend::ControlEvents &events)
        : ControlPeer(parent, events)
    {
        adopt(CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY
                                      | LBS_NOINTEGRALHEIGHT,
                              0, 0, 0, 0, parentArea(), nullptr, instance(), nullptr),
              Watch::Nothing);
    }

    void setEntries(const std::vector<std::string> &texts) override
    {
        std::vector<std::wstring> names;
        names.reserve(texts.size());
        std::size_t characters = 0;
        for (const std::string &text : texts) {
            names.push_back(wide(text));
            characters += names.back().size() + 1;
        }
        SendMessageW(handle(), WM_SETREDRAW, FALSE, 0);
        SendMessageW(handle(), LB_RESETCONTENT, 0, 0);
        SendMessageW(handle(), LB_INITSTORAGE, names.size(), characters * sizeof(wchar_t));
        for (const std::wstring &name : names)
            SendMessageW(handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        SendMessageW(handle(), WM_SETREDRAW, TRUE, 0);
        InvalidateRect(handle(), nullptr, TRUE);
    }

    // The list scrolls to show the entry it selects.
    void setSelected(int index) override
    {
        SendMessageW(handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }

    bool reflect(UINT message, WPARAM wParam, LPARAM, LRESULT &result) override
    {
        if (message != WM_COMMAND || HIWORD(wParam) != LBN_SELCHANGE)
            return false;
        const auto selected = SendMessageW(handle(), LB_GETCURSEL, 0, 0);
        events().entrySelected(selected == LB_ERR ? -1 : static_cast<int>(selected));
        result = 0;
        return true;
    }
};

} // namespace

} // namespace platform::win32

namespace platform::backend {

std::unique_ptr<ListPeer> createFileList(ContainerPeer &parent, ControlEvents &events)
{
    return std::make_unique<win32::FileList>(parent, events);
}

} // namespace platform::backend
