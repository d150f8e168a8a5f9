// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

namespace platform {

enum class BorderStyle {
    None, // no title bar, no frame, no taskbar button
    FixedSingle, // title bar with system menu and close box; not resizable
};

} // namespace platform
