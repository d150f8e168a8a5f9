// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

namespace platform {

// What a screen reader calls a control where its kind alone would say the
// wrong thing: a label the user clicks to open an address is a link.
enum class AccessibleRole { Default, Link };

} // namespace platform
