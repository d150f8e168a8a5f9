// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Values.h"

#include <cstdint>
#include <string_view>

namespace platform {

inline constexpr Long SW_SHOWNORMAL = 1;

// Opens a file or address with the desktop's default handler. The result
// is greater than 32 when a handler took it, as the caller may ignore.
Long ShellExecuteA(std::uintptr_t hwnd, std::string_view operation, std::string_view file,
                   std::string_view parameters, std::string_view directory, Long showCommand);

} // namespace platform
