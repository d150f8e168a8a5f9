// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Single.h"

namespace platform {

// The primary screen's size in twips.
class Screen
{
public:
    static Single width();
    static Single height();
};

} // namespace platform
