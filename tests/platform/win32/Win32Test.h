// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

// What the Windows back end's own tests reach past the runtime for: the
// windows behind the forms and controls, as the system sees them.

#include "platform/Control.h"
#include "platform/Form.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace win32test {

HWND handleOf(const platform::Control &control);
HWND handleOf(const platform::Form &form);

// A child window's rectangle in its parent's client area, in device pixels.
RECT rectInParent(HWND child);

// What a top-level window shows of itself on the screen, once the events
// waiting have been handled: the whole window, or the part its region
// leaves.
RECT shownRect(HWND window);

// The top-level windows of this thread of a class, with a title when one
// is given; the other test programs in the same Wine prefix have theirs.
std::vector<HWND> threadWindows(const wchar_t *className, const wchar_t *title = nullptr);

// Whether the program runs under Wine rather than on Windows itself.
bool underWine();

// A bitmap of its own to draw on, and its pixels read back.
class Canvas
{
public:
    Canvas(int width, int height, COLORREF background);
    ~Canvas();
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    HDC dc() const { return context; }
    int width() const { return wide; }
    int height() const { return high; }
    COLORREF pixel(int x, int y) const;

private:
    int wide;
    int high;
    HDC context;
    HBITMAP bitmap;
    HGDIOBJ previous;
    std::uint32_t *bits = nullptr;
};

// Whether the canvas holds the other, drawn the same, with its top left
// corner at (x, y).
bool holdsAt(const Canvas &canvas, const Canvas &part, int x, int y);

// Whether an owner-drawn drop-down list draws its entry whole, with the
// icon at this side near its left edge.
bool drawsEntryWithIcon(HWND list, int index, HICON icon, int side);

} // namespace win32test
