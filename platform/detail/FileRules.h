// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/backend/Files.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::detail {

// The wildcards of a ";"-separated pattern; "*.jpg" also admits ".jpeg".
std::vector<std::string> wildcards(std::string_view pattern);

// '*' for any run of characters, '?' for any one, everything else itself
// without regard to case (ASCII letters: the extensions a pattern names).
bool matchesWildcard(std::string_view name, std::string_view wildcard);

// The names a file list shows: visible files matching one of the
// wildcards, in natural order, at most `limit` of them. Folders, hidden
// files and special files are left out.
std::vector<std::string> listedFiles(const std::vector<backend::DirectoryEntry> &entries,
                                     const std::vector<std::string> &wildcards, std::size_t limit);

// Puts names in the order `compare` gives their places in the list
// (negative: the first before the second); names it holds equal keep one
// order, byte by byte, so a listing always comes out the same. The back
// ends' natural orders are made with it.
void sortByOrder(std::vector<std::string> &names,
                 const std::function<int(std::size_t, std::size_t)> &compare);

// The visible subfolders, in natural order.
std::vector<std::string> listedFolders(const std::vector<backend::DirectoryEntry> &entries);

} // namespace platform::detail
