// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Values.h"

namespace platform {

// The key codes a KeyDown handler gets are the Windows virtual-key codes:
// one per key, so a letter has the same code shifted or not. The program
// names only the keys it handles.
inline constexpr Integer vbKeyEscape = 27;

} // namespace platform
