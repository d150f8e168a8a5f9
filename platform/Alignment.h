// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

namespace platform {

// How a label or a text field places its text across its width.
enum class Alignment { Left, Right, Center };

} // namespace platform
