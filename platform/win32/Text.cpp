// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/win32/Text.h"

#include <cstdint>

namespace platform::win32 {

namespace {

constexpr char32_t Replacement = 0xfffd;
constexpr char32_t SurrogateFirst = 0xd800;
constexpr char32_t TrailFirst = 0xdc00;
constexpr char32_t SurrogateLast = 0xdfff;
constexpr char32_t PlaneOne = 0x10000;
constexpr char32_t Largest = 0x10ffff;

bool continuation(unsigned char byte)
{
    return (byte & 0xc0) == 0x80;
}

void append(std::string &out, char32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xc0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3f));
    } else if (code < PlaneOne) {
        out += static_cast<char>(0xe0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (code & 0x3f));
    } else {
        out += static_cast<char>(0xf0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3f));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (code & 0x3f));
    }
}

void append(std::wstring &out, char32_t code)
{
    if (code < PlaneOne) {
        out += static_cast<wchar_t>(code);
        return;
    }
    code -= PlaneOne;
    out += static_cast<wchar_t>(SurrogateFirst + (code >> 10));
    out += static_cast<wchar_t>(TrailFirst + (code & 0x3ff));
}

} // namespace

// UTF-8 as the runtime keeps it, with WTF-8's one addition: a surrogate
// that NTFS holds unpaired comes as its own three bytes and goes back to
// Windows as the same code unit, so such a file can still be opened. A
// paired one written in halves joins up again. Bytes that are no UTF-8 at
// all become U+FFFD, as Windows' own conversion makes them.
std::wstring wide(std::string_view text)
{
    std::wstring result;
    result.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        int more = 0;
        char32_t code = 0;
        char32_t least = 0;
        if (lead < 0x80) {
            result += static_cast<wchar_t>(lead);
            ++at;
            continue;
        }
        if (lead >= 0xc2 && lead <= 0xdf) {
            more = 1;
            code = lead & 0x1f;
            least = 0x80;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            more = 2;
            code = lead & 0x0f;
            least = 0x800;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            more = 3;
            code = lead & 0x07;
            least = PlaneOne;
        } else {
            result += static_cast<wchar_t>(Replacement);
            ++at;
            continue;
        }
        std::size_t next = at + 1;
        int taken = 0;
        while (taken < more && next < text.size()
               && continuation(static_cast<unsigned char>(text[next]))) {
            code = (code << 6) | (static_cast<unsigned char>(text[next]) & 0x3f);
            ++next;
            ++taken;
        }
        if (taken < more || code < least || code > Largest) {
            result += static_cast<wchar_t>(Replacement);
            at = next;
            continue;
        }
        append(result, code);
        at = next;
    }
    return result;
}

std::string narrow(std::wstring_view text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto unit = static_cast<char32_t>(static_cast<std::uint16_t>(text[at]));
        if (unit >= SurrogateFirst && unit < TrailFirst && at + 1 < text.size()) {
            const auto trail = static_cast<char32_t>(static_cast<std::uint16_t>(text[at + 1]));
            if (trail >= TrailFirst && trail <= SurrogateLast) {
                append(result, PlaneOne + ((unit - SurrogateFirst) << 10) + (trail - TrailFirst));
                ++at;
                continue;
            }
        }
        append(result, unit);
    }
    return result;
}

} // namespace platform::win32
