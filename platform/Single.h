// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <compare>
#include <iosfwd>

namespace platform {

// A single-precision number whose every construction and result is checked:
// NaN, infinity or a value beyond the float range raise Overflow, a division
// by zero raises Division by zero. Geometry in twips is held in these.
class Single
{
public:
    constexpr Single() = default;
    Single(double value); // NOLINT(google-explicit-constructor): numbers mix freely, as twips do

    float value() const { return number; }

    friend Single operator+(Single a, Single b);
    friend Single operator-(Single a, Single b);
    friend Single operator*(Single a, Single b);
    friend Single operator/(Single a, Single b);
    friend Single operator-(Single a);

    friend bool operator==(Single a, Single b) { return a.number == b.number; }
    friend std::partial_ordering operator<=>(Single a, Single b) { return a.number <=> b.number; }

private:
    float number = 0.0F;
};

std::ostream &operator<<(std::ostream &stream, Single value);

} // namespace platform
