// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/win32/App.h"
#include "platform/win32/Controls.h"
#include "platform/win32/Icons.h"
#include "platform/win32/Text.h"

namespace platform::win32 {

namespace {

// Room for the dropped-down list below the field, in 96-DPI pixels.
constexpr int ListHeight = 200;

// The drive letters, each with its kind's icon; the list is read afresh
// each time it drops down.
class DriveList : public ControlPeer<backend::DriveListPeer>
{
public:
    DriveList(backend::ContainerPeer &parent, backend::ControlEvents &events)
        : ControlPeer(parent, events)
    {
        adopt(CreateWindowExW(0, L"COMBOBOX", L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST
                                      | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                              0, 0, 0, 0, parentArea(), nullptr, instance(), nullptr));
    }

    void setEntries(const std::vector<std::string> &texts) override
    {
        SendMessageW(handle(), CB_RESETCONTENT, 0, 0);
        for (const std::string &text : texts)
            SendMessageW(handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(text).c_str()));
    }

    void setSelected(int index) override
    {
        SendMessageW(handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }

    bool reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result) override
    {
        if (message == WM_COMMAND && HIWORD(wParam) == CBN_DROPDOWN) {
            events().aboutToDropDown();
            result = 0;
            return true;
        }
        if (message == WM_COMMAND && HIWORD(wParam) == CBN_SELENDOK) {
            const auto selected = SendMessageW(handle(), CB_GETCURSEL, 0, 0);
            if (selected != CB_ERR)
                events().entrySelected(static_cast<int>(selected));
            result = 0;
            return true;
        }
        if (message == WM_DRAWITEM) {
            const auto &item = *reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
            if (item.itemID != static_cast<UINT>(-1)) {
                const auto length = SendMessageW(handle(), CB_GETLBTEXTLEN, item.itemID, 0);
                std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1,
                                  L'\0');
                SendMessageW(handle(), CB_GETLBTEXT, item.itemID,
                             reinterpret_cast<LPARAM>(text.data()));
                drawEntry(item, driveIcon(text.c_str()), scale().dpi, 0, text.c_str());
            }
            result = TRUE;
            return true;
        }
        return false;
    }

    void rescale() override
    {
        ChildControl::rescale();
        // At the window's DPI: the system's is the one the user signed in
        // with, and the monitor may have another. The closed field (-1)
        // has a height of its own, beside the list's entries (0).
        const int height = entryHeight(handle(), font(), scale().dpi);
        SendMessageW(handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height);
        SendMessageW(handle(), CB_SETITEMHEIGHT, 0, height);
    }

protected:
    int extraHeight() const override { return ListHeight; }
};

} // namespace

} // namespace platform::win32

namespace platform::backend {

std::unique_ptr<DriveListPeer> createDriveList(ContainerPeer &parent, ControlEvents &events)
{
    return std::make_unique<win32::DriveList>(parent, events);
}

} // namespace platform::backend
