// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <windows.h>

#include <shellapi.h>

namespace platform::win32 {

// The side of a small icon at a DPI.
int smallIconSide(UINT dpi);

// The shell's own icon for folders and drives, made at a side in pixels
// and kept for the run; null where the shell has none.
HICON stockIcon(SHSTOCKICONID which, int side);

// The icon of a drive, by its kind, from a drive list's text ("c: [...]").
SHSTOCKICONID driveIcon(const wchar_t *text);

// The height of an owner-drawn list's entry: a small icon at the DPI, or
// a line of the font, whichever is taller.
int entryHeight(HWND list, HFONT font, UINT dpi);

// Draws a list entry of an owner-drawn list: its icon, small at the DPI,
// indented, then its text.
void drawEntry(const DRAWITEMSTRUCT &item, SHSTOCKICONID which, UINT dpi, int indent,
               const wchar_t *text);

} // namespace platform::win32
