// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string_view>

namespace platform::detail {

// Tests answer message boxes through this instead of a modal window.
using MsgBoxHook = std::function<int(std::string_view prompt, int style, std::string_view title)>;
MsgBoxHook setMsgBoxHook(MsgBoxHook hook);

} // namespace platform::detail
