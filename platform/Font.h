// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace platform {

// A font as the forms describe it: points are at 96 dots per inch, the
// resolution twips are measured against.
struct Font
{
    std::string name;
    double size = 8.25;
    int weight = 400;
    bool underline = false;
    int charset = 0;
};

} // namespace platform
