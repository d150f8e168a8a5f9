// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Values.h"

namespace platform {

// The key codes a KeyDown handler gets, numbered as the Windows virtual
// keys are: one per key, so a letter has the same code shifted or not.
inline constexpr Integer vbKeyBack = 8;
inline constexpr Integer vbKeyTab = 9;
inline constexpr Integer vbKeyReturn = 13;
inline constexpr Integer vbKeyShift = 16;
inline constexpr Integer vbKeyControl = 17;
inline constexpr Integer vbKeyMenu = 18;
inline constexpr Integer vbKeyPause = 19;
inline constexpr Integer vbKeyCapital = 20;
inline constexpr Integer vbKeyEscape = 27;
inline constexpr Integer vbKeySpace = 32;
inline constexpr Integer vbKeyPageUp = 33;
inline constexpr Integer vbKeyPageDown = 34;
inline constexpr Integer vbKeyEnd = 35;
inline constexpr Integer vbKeyHome = 36;
inline constexpr Integer vbKeyLeft = 37;
inline constexpr Integer vbKeyUp = 38;
inline constexpr Integer vbKeyRight = 39;
inline constexpr Integer vbKeyDown = 40;
inline constexpr Integer vbKeyInsert = 45;
inline constexpr Integer vbKeyDelete = 46;
// Digits are vbKey0 + n, letters vbKeyA + n, function keys vbKeyF1 + n - 1.
inline constexpr Integer vbKey0 = 48;
inline constexpr Integer vbKeyA = 65;
inline constexpr Integer vbKeyNumpad0 = 96;
inline constexpr Integer vbKeyMultiply = 106;
inline constexpr Integer vbKeyAdd = 107;
inline constexpr Integer vbKeySubtract = 109;
inline constexpr Integer vbKeyDecimal = 110;
inline constexpr Integer vbKeyDivide = 111;
inline constexpr Integer vbKeyF1 = 112;
inline constexpr Integer vbKeyNumlock = 144;

} // namespace platform
