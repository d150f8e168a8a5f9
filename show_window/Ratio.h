// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Values.h"

// A picture's longer side over its shorter, as a whole number rounded half
// to even (1.5 gives 2, 2.5 gives 2). A ratio too large for an Integer is
// held at 32767 rather than ending the program.
platform::Integer wholeRatio(platform::Long longer, platform::Long shorter);
