// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/win32/Icons.h"

#include <map>

namespace platform::win32 {

namespace {

SHSTOCKICONID kindIcon(UINT driveType)
{
    switch (driveType) {
    case DRIVE_REMOVABLE:
        return SIID_DRIVEREMOVE;
    case DRIVE_CDROM:
        return SIID_DRIVECD;
    case DRIVE_REMOTE:
        return SIID_DRIVENET;
    case DRIVE_RAMDISK:
        return SIID_DRIVERAM;
    default:
        return SIID_DRIVEFIXED;
    }
}

// Wine 8 answers SHGetStockIconInfo with success and no icon. The shell's
// icon of any folder, or of the root of a drive of the kind, is the same
// picture; a folder's is asked by its attributes alone, with no disk access.
HICON shellIcon(SHSTOCKICONID which)
{
    SHFILEINFOW info{};
    const UINT flags = SHGFI_ICON | SHGFI_SMALLICON;
    if (which == SIID_FOLDER || which == SIID_FOLDEROPEN) {
        SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                       flags | SHGFI_USEFILEATTRIBUTES
                               | (which == SIID_FOLDEROPEN ? SHGFI_OPENICON : 0));
        return info.hIcon;
    }
    const DWORD drives = GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        const wchar_t root[] = { static_cast<wchar_t>(L'A' + letter), L':', L'\\', L'\0' };
        if ((drives >> letter & 1) != 0 && kindIcon(GetDriveTypeW(root)) == which) {
            SHGetFileInfoW(root, 0, &info, sizeof info, flags);
            return info.hIcon;
        }
    }
    return nullptr;
}

} // namespace

HICON stockIcon(SHSTOCKICONID which)
{
    static std::map<SHSTOCKICONID, HICON> icons;
    const auto found = icons.find(which);
    if (found != icons.end())
        return found->second;
    SHSTOCKICONINFO info{};
    info.cbSize = sizeof info;
    HICON icon = SUCCEEDED(SHGetStockIconInfo(which, SHGSI_ICON | SHGSI_SMALLICON, &info))
            ? info.hIcon
            : nullptr;
    if (!icon)
        icon = shellIcon(which);
    icons[which] = icon;
    return icon;
}

// Asked of the drive's kind alone, which needs no disk in it.
SHSTOCKICONID driveIcon(const wchar_t *text)
{
    if (!text || !text[0] || text[1] != L':')
        return SIID_DRIVEFIXED;
    const wchar_t root[] = { text[0], L':', L'\\', L'\0' };
    return kindIcon(GetDriveTypeW(root));
}

void drawEntry(const DRAWITEMSTRUCT &item, HICON icon, int indent, const wchar_t *text)
{
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    RECT rect = item.rcItem;
    FillRect(item.hDC, &rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const UINT dpi = GetDpiForWindow(item.hwndItem);
    const int side = GetSystemMetricsForDpi(SM_CXSMICON, dpi ? dpi : USER_DEFAULT_SCREEN_DPI);
    rect.left += indent + 2;
    if (icon) {
        DrawIconEx(item.hDC, rect.left, rect.top + (rect.bottom - rect.top - side) / 2, icon, side,
                   side, 0, nullptr, DI_NORMAL);
    }
    rect.left += side + 4;
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    DrawTextW(item.hDC, text, -1, &rect,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(item.hDC, &item.rcItem);
}

} // namespace platform::win32
