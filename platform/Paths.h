// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace platform {

// What joins a folder and a file name into a path: "/" on Linux, "\" on
// Windows.
extern const char *const PathSeparator;

// The folder, the separator and the name, joined as they stand: a folder
// that already ends in a separator gets a second one, which every file
// system reads as one.
std::string joinPath(std::string_view folder, std::string_view name);

} // namespace platform
