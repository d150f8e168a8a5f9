// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/win32/Icons.h"

#include <shlobj.h>

#include <algorithm>
#include <map>
#include <utility>

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

// The icon in a file, at a side: the shell's own extraction picks the
// file's image nearest that size.
HICON iconAt(const wchar_t *file, int index, int side)
{
    HICON icon = nullptr;
    if (SHDefExtractIconW(file, index, 0, &icon, nullptr, static_cast<UINT>(side)) != S_OK)
        return nullptr;
    return icon;
}

// Wine 8 answers SHGetStockIconInfo with success and no icon, and a
// location that is no drive's or folder's. The shell's icon of any folder,
// or of the root of a drive of the kind, is the same picture; a folder's
// is asked by its attributes alone, with no disk access.
HICON shellIcon(SHSTOCKICONID which, int side)
{
    SHFILEINFOW info{};
    UINT flags = SHGFI_ICONLOCATION;
    const wchar_t *path = nullptr;
    DWORD attributes = 0;
    wchar_t root[] = { L'A', L':', L'\\', L'\0' };
    if (which == SIID_FOLDER || which == SIID_FOLDEROPEN) {
        path = L"folder";
        attributes = FILE_ATTRIBUTE_DIRECTORY;
        flags |= SHGFI_USEFILEATTRIBUTES | (which == SIID_FOLDEROPEN ? SHGFI_OPENICON : 0);
    } else {
        const DWORD drives = GetLogicalDrives();
        for (int letter = 0; letter < 26 && !path; ++letter) {
            root[0] = static_cast<wchar_t>(L'A' + letter);
            if ((drives >> letter & 1) != 0 && kindIcon(GetDriveTypeW(root)) == which)
                path = root;
        }
        if (!path)
            return nullptr;
    }
    if (SHGetFileInfoW(path, attributes, &info, sizeof info, flags) && info.szDisplayName[0]) {
        if (const HICON icon = iconAt(info.szDisplayName, info.iIcon, side))
            return icon;
    }
    // No file to take it from at that size: the small icon as the shell has it.
    info = {};
    SHGetFileInfoW(path, attributes, &info, sizeof info,
                   (flags & ~SHGFI_ICONLOCATION) | SHGFI_ICON | SHGFI_SMALLICON);
    return info.hIcon;
}

} // namespace

int smallIconSide(UINT dpi)
{
    return GetSystemMetricsForDpi(SM_CXSMICON, dpi ? dpi : USER_DEFAULT_SCREEN_DPI);
}

// The system's small icons are made at the DPI the user signed in with;
// a monitor of another scale needs its own, made from the icon's file.
HICON stockIcon(SHSTOCKICONID which, int side)
{
    static std::map<std::pair<SHSTOCKICONID, int>, HICON> icons;
    const auto found = icons.find({ which, side });
    if (found != icons.end())
        return found->second;
    SHSTOCKICONINFO info{};
    info.cbSize = sizeof info;
    HICON icon = nullptr;
    if (SUCCEEDED(
                SHGetStockIconInfo(which, SHGSI_ICON | SHGSI_SMALLICON | SHGSI_ICONLOCATION, &info))
        && info.hIcon) {
        DestroyIcon(info.hIcon);
        icon = iconAt(info.szPath, info.iIcon, side);
    }
    if (!icon)
        icon = shellIcon(which, side);
    icons[{ which, side }] = icon;
    return icon;
}

int entryHeight(HWND list, HFONT font, UINT dpi)
{
    const HDC dc = GetDC(list);
    const HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    return std::max<int>(smallIconSide(dpi) + 2, metrics.tmHeight);
}

// Asked of the drive's kind alone, which needs no disk in it.
SHSTOCKICONID driveIcon(const wchar_t *text)
{
    if (!text || !text[0] || text[1] != L':')
        return SIID_DRIVEFIXED;
    const wchar_t root[] = { text[0], L':', L'\\', L'\0' };
    return kindIcon(GetDriveTypeW(root));
}

void drawEntry(const DRAWITEMSTRUCT &item, SHSTOCKICONID which, UINT dpi, int indent,
               const wchar_t *text)
{
    const int side = smallIconSide(dpi);
    const HICON icon = stockIcon(which, side);
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    RECT rect = item.rcItem;
    FillRect(item.hDC, &rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
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
