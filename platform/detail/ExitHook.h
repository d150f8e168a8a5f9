// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

namespace platform::detail {

// Tests record the program's end instead of ending the event loop.
using ExitHook = std::function<void(int code)>;
ExitHook setExitHook(ExitHook hook);

} // namespace platform::detail
