// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "show_window/Ratio.h"

platform::Integer wholeRatio(platform::Long longer, platform::Long shorter)
{
    const double ratio = platform::divide(longer, shorter);
    // From 32767.5 on, rounding would leave the Integer range.
    if (ratio >= platform::IntegerMax + 0.5)
        return platform::IntegerMax;
    return platform::CInt(ratio);
}
