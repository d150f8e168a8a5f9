// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

namespace platform {

// Geometry is designed at 96 dots per inch: 1440 twips an inch, 15 a pixel.
inline constexpr double TwipsPerPixel = 15.0;

// The designed non-client metrics of a window with a fixed single border:
// its outer size less these is its client area, whatever the window
// manager draws around it.
inline constexpr double TitleBarTwips = 435.0; // title bar and top border
inline constexpr double BorderTwips = 45.0;

} // namespace platform
