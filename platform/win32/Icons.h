// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <windows.h>

#include <shellapi.h>

namespace platform::win32 {

// The shell's own small icon for folders and drives, kept for the run; null
// where the shell has none.
HICON stockIcon(SHSTOCKICONID which);

// The icon of a drive, by its kind, from a drive list's text ("c: [...]").
SHSTOCKICONID driveIcon(const wchar_t *text);

// Draws a list entry of an owner-drawn list: its icon indented, its text.
void drawEntry(const DRAWITEMSTRUCT &item, HICON icon, int indent, const wchar_t *text);

} // namespace platform::win32
