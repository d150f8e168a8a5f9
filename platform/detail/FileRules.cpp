// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/FileRules.h"

#include <algorithm>
#include <numeric>

namespace platform::detail {

namespace {

char fold(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return fold(x) == fold(y);
           });
}

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::vector<std::string> wildcards(std::string_view pattern)
{
    std::vector<std::string> result;
    while (!pattern.empty()) {
        const std::size_t end = std::min(pattern.find(';'), pattern.size());
        const std::string_view wildcard = trimmed(pattern.substr(0, end));
        pattern.remove_prefix(std::min(end + 1, pattern.size()));
        if (wildcard.empty())
            continue;
        result.emplace_back(wildcard);
        if (sameIgnoringCase(wildcard, "*.jpg"))
            result.emplace_back("*.jpeg");
    }
    return result;
}

// Backtracks only to the last '*', so the time is bounded by the product
// of the two lengths, whatever the pattern.
bool matchesWildcard(std::string_view name, std::string_view wildcard)
{
    std::size_t n = 0;
    std::size_t w = 0;
    std::size_t starAt = std::string_view::npos;
    std::size_t resumeAt = 0;
    while (n < name.size()) {
        if (w < wildcard.size() && wildcard[w] == '*') {
            starAt = w++;
            resumeAt = n;
        } else if (w < wildcard.size()
                   && (wildcard[w] == '?' || fold(wildcard[w]) == fold(name[n]))) {
            ++w;
            ++n;
        } else if (starAt != std::string_view::npos) {
            w = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (w < wildcard.size() && wildcard[w] == '*')
        ++w;
    return w == wildcard.size();
}

std::vector<std::string> listedFiles(const std::vector<backend::DirectoryEntry> &entries,
                                     const std::vector<std::string> &patterns, std::size_t limit)
{
    std::vector<std::string> names;
    for (const backend::DirectoryEntry &entry : entries) {
        if (entry.kind != backend::DirectoryEntry::Kind::File || entry.hidden)
            continue;
        if (std::any_of(patterns.begin(), patterns.end(), [&](const std::string &wildcard) {
                return matchesWildcard(entry.name, wildcard);
            }))
            names.push_back(entry.name);
    }
    backend::sortNaturally(names);
    if (names.size() > limit)
        names.resize(limit);
    return names;
}

void sortByOrder(std::vector<std::string> &names,
                 const std::function<int(std::size_t, std::size_t)> &compare)
{
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t{ 0 });
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int byOrder = compare(a, b);
        if (byOrder != 0)
            return byOrder < 0;
        return names[a] < names[b];
    });
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (std::size_t index : order)
        sorted.push_back(std::move(names[index]));
    names = std::move(sorted);
}

std::vector<std::string> listedFolders(const std::vector<backend::DirectoryEntry> &entries)
{
    std::vector<std::string> names;
    for (const backend::DirectoryEntry &entry : entries) {
        if (entry.kind == backend::DirectoryEntry::Kind::Folder && !entry.hidden)
            names.push_back(entry.name);
    }
    backend::sortNaturally(names);
    return names;
}

} // namespace platform::detail
