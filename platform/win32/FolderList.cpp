// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/backend/EventLoop.h"
#include "platform/win32/App.h"
#include "platform/win32/Controls.h"
#include "platform/win32/Icons.h"
#include "platform/win32/Text.h"

#include <algorithm>
#include <cstdint>
#include <memory>

namespace platform::win32 {

namespace {

constexpr int IndentPixels = 8;

// A folder's ancestors, then its subfolders, indented, with the shell's
// folder icons. A double-click or Enter opens one.
class FolderList : public ControlPeer<backend::FolderListPeer>
{
public:
    FolderList(backend::ContainerPeer &parent, backend::ControlEvents &events)
        : ControlPeer(parent, events)
    {
        adopt(CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY
                                      | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
                              0, 0, 0, 0, parentArea(), nullptr, instance(), nullptr));
        wantReturnKey();
    }
    ~FolderList() override { *alive = false; }
    FolderList(const FolderList &) = delete;
    FolderList &operator=(const FolderList &) = delete;

    void setEntries(const std::vector<backend::FolderEntry> &entries, int current) override
    {
        ++generation;
        shown = entries;
        SendMessageW(handle(), WM_SETREDRAW, FALSE, 0);
        SendMessageW(handle(), LB_RESETCONTENT, 0, 0);
        for (const backend::FolderEntry &entry : entries)
            SendMessageW(handle(), LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(wide(entry.text).c_str()));
        SendMessageW(handle(), LB_SETCURSEL, static_cast<WPARAM>(current), 0);
        SendMessageW(handle(), WM_SETREDRAW, TRUE, 0);
        InvalidateRect(handle(), nullptr, TRUE);
    }

    bool reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result) override
    {
        if (message == WM_COMMAND && HIWORD(wParam) == LBN_DBLCLK) {
            activateSelected();
            result = 0;
            return true;
        }
        if (message == WM_DRAWITEM) {
            draw(*reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
            result = TRUE;
            return true;
        }
        return false;
    }

    void rescale() override
    {
        ChildControl::rescale();
        SendMessageW(handle(), LB_SETITEMHEIGHT, 0, entryHeight(handle(), font(), scale().dpi));
    }

protected:
    void returnPressed() override { activateSelected(); }

private:
    // The runtime rebuilds the list when a folder is opened, and the entry
    // opened is one of those it replaces: it hears of it once the event is
    // over, and only if the list is still the one the user saw.
    void activateSelected()
    {
        const auto selected = SendMessageW(handle(), LB_GETCURSEL, 0, 0);
        if (selected == LB_ERR)
            return;
        const int row = static_cast<int>(selected);
        const std::uint64_t seen = generation;
        backend::post([this, row, seen, alive = alive] {
            if (*alive && seen == generation)
                events().entryActivated(row);
        });
    }

    void draw(const DRAWITEMSTRUCT &item)
    {
        if (item.itemID == static_cast<UINT>(-1) || item.itemID >= shown.size())
            return;
        const backend::FolderEntry &entry = shown[item.itemID];
        drawEntry(item, entry.open ? SIID_FOLDEROPEN : SIID_FOLDER, scale().dpi,
                  scale().device(entry.depth * IndentPixels), wide(entry.text).c_str());
    }

    std::vector<backend::FolderEntry> shown;
    std::uint64_t generation = 0;
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
};

} // namespace

} // namespace platform::win32

namespace platform::backend {

std::unique_ptr<FolderListPeer> createFolderList(ContainerPeer &parent, ControlEvents &events)
{
    return std::make_unique<win32::FolderList>(parent, events);
}

} // namespace platform::backend
