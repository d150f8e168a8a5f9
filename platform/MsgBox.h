// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace platform {

inline constexpr int vbOKOnly = 0;
inline constexpr int vbCritical = 16;
inline constexpr int vbOK = 1;

// A modal message box with an OK button, titled with the application title
// unless a title is given; style 16 shows the critical icon.
int MsgBox(std::string_view prompt, int style = vbOKOnly, std::string_view title = {});

} // namespace platform
