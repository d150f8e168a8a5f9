// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Values.h"

class QKeyEvent;

namespace platform::detail {

// The key code of a pressed key (platform/KeyCodes.h), or 0 for a key that
// has none.
Integer keyCode(const QKeyEvent &event);

} // namespace platform::detail
