// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "tests/platform/win32/Win32Test.h"

#include "platform/Testing.h"
#include "platform/detail/Access.h"
#include "platform/win32/Controls.h"

namespace win32test {

HWND handleOf(const platform::Control &control)
{
    return dynamic_cast<const platform::win32::ChildControl &>(
                   platform::detail::Access::peer(control))
            .handle();
}

HWND handleOf(const platform::Form &form)
{
    return reinterpret_cast<HWND>(form.hWnd());
}

RECT rectInParent(HWND child)
{
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

RECT shownRect(HWND window)
{
    platform::testing::processEvents();
    RECT rect{};
    GetWindowRect(window, &rect);
    RECT region{};
    if (GetWindowRgnBox(window, &region) != ERROR) {
        OffsetRect(&region, rect.left, rect.top);
        IntersectRect(&rect, &rect, &region);
    }
    return rect;
}

std::vector<HWND> threadWindows(const wchar_t *className, const wchar_t *title)
{
    struct Search
    {
        const wchar_t *className;
        const wchar_t *title;
        std::vector<HWND> found;
    } search{ className, title, {} };
    EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM data) {
                auto &wanted = *reinterpret_cast<Search *>(data);
                wchar_t name[256] = {};
                GetClassNameW(window, name, 256);
                if (std::wstring(name) != wanted.className)
                    return TRUE;
                wchar_t text[256] = {};
                GetWindowTextW(window, text, 256);
                if (!wanted.title || std::wstring(text) == wanted.title)
                    wanted.found.push_back(window);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool underWine()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

Canvas::Canvas(int width, int height, COLORREF background)
    : wide(width), high(height), context(CreateCompatibleDC(nullptr))
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *memory = nullptr;
    bitmap = CreateDIBSection(context, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    bits = static_cast<std::uint32_t *>(memory);
    previous = SelectObject(context, bitmap);
    const HBRUSH brush = CreateSolidBrush(background);
    const RECT all{ 0, 0, width, height };
    FillRect(context, &all, brush);
    DeleteObject(brush);
}

Canvas::~Canvas()
{
    SelectObject(context, previous);
    DeleteObject(bitmap);
    DeleteDC(context);
}

COLORREF Canvas::pixel(int x, int y) const
{
    GdiFlush();
    const std::uint32_t value = bits[static_cast<std::size_t>(y) * static_cast<std::size_t>(wide)
                                     + static_cast<std::size_t>(x)];
    return RGB((value >> 16) & 0xff, (value >> 8) & 0xff, value & 0xff);
}

bool holdsAt(const Canvas &canvas, const Canvas &part, int x, int y)
{
    if (x < 0 || y < 0 || x + part.width() > canvas.width() || y + part.height() > canvas.height())
        return false;
    for (int row = 0; row < part.height(); ++row) {
        for (int column = 0; column < part.width(); ++column) {
            if (canvas.pixel(x + column, y + row) != part.pixel(column, row))
                return false;
        }
    }
    return true;
}

bool drawsEntryWithIcon(HWND list, int index, HICON icon, int side)
{
    RECT client{};
    GetClientRect(list, &client);
    const int height = static_cast<int>(SendMessageW(list, CB_GETITEMHEIGHT, 0, 0));
    const COLORREF background = GetSysColor(COLOR_WINDOW);
    Canvas expected(side, side, background);
    DrawIconEx(expected.dc(), 0, 0, icon, side, side, 0, nullptr, DI_NORMAL);
    Canvas drawn(client.right, height, RGB(1, 2, 3));
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_COMBOBOX;
    item.CtlID = static_cast<UINT>(GetDlgCtrlID(list));
    item.itemID = static_cast<UINT>(index);
    item.itemAction = ODA_DRAWENTIRE;
    item.hwndItem = list;
    item.hDC = drawn.dc();
    item.rcItem = { 0, 0, client.right, height };
    SendMessageW(GetParent(list), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
    bool found = false;
    for (int x = 0; x <= side && !found; ++x) {
        for (int y = 0; y + side <= height && !found; ++y)
            found = holdsAt(drawn, expected, x, y);
    }
    return found && drawn.pixel(client.right - 1, 0) == background;
}

} // namespace win32test
