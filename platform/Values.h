// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

using Integer = std::int16_t;
using Long = std::int32_t;

// Flags are Integers holding exactly -1 or 0; handlers compare against these.
inline constexpr Integer True = -1;
inline constexpr Integer False = 0;

inline constexpr Integer IntegerMax = 32767;

// Rounds half to even (1.5 and 2.5 both give 2); Overflow outside the
// Integer range or for a value that is not finite.
Integer CInt(double value);

// Rounds down; Overflow for a value that is not finite.
double Int(double value);

// value + 1, with Overflow instead of wrapping past 32767.
Integer increment(Integer value);

// Optional blanks, an optional sign, digits with at most one decimal point
// ('.' or the user's locale separator), an optional exponent, optional blanks.
// A text whose value is not finite is not numeric.
bool IsNumeric(std::string_view text);

// The value of a numeric text; Type mismatch for any other.
double CDbl(std::string_view text);

// Every floating-point result passes through here before use: NaN or a
// value beyond the double range raise Overflow.
double checked(double value);

// a / b: Division by zero for x / 0, Overflow for 0 / 0.
double divide(double a, double b);

} // namespace platform
