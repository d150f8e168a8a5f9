// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

// The runtime's texts are UTF-8; Windows' are UTF-16. A name the file
// system holds with a lone surrogate comes back with U+FFFD in its place.
std::wstring wide(std::string_view text);
std::string narrow(std::wstring_view text);

} // namespace platform::win32
