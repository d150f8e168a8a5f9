// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

namespace platform {
class Form;
}

namespace platform::detail {

// Tests watch which forms are loaded.
using LoadHook = std::function<void(const Form &)>;
LoadHook setLoadHook(LoadHook hook);
void formLoading(const Form &form);

} // namespace platform::detail
