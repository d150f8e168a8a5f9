// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

// A path as the wide calls take it, of any length: an absolute path gets
// the \\?\ form, which lifts the 260-character limit (and takes names such
// as "con.jpg" as files, not devices); others are passed as they are.
std::wstring systemPath(std::string_view path);

} // namespace platform::win32
