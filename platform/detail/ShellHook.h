// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Values.h"

#include <cstdint>
#include <functional>
#include <string>

namespace platform::detail {

struct ShellCall
{
    std::uintptr_t hwnd = 0;
    std::string operation;
    std::string file;
    std::string parameters;
    std::string directory;
    Long showCommand = 0;
};

// Tests record what would be opened instead of opening it.
using ShellHook = std::function<Long(const ShellCall &)>;
ShellHook setShellHook(ShellHook hook);

} // namespace platform::detail
