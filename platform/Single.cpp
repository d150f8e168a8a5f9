// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Single.h"

#include "platform/RuntimeError.h"
#include "platform/Values.h"

#include <cmath>
#include <limits>
#include <ostream>

namespace platform {

Single::Single(double value)
{
    const double valid = checked(value);
    // Rounding to float can still overflow a finite double.
    if (std::fabs(valid) > static_cast<double>(std::numeric_limits<float>::max()))
        raise(ErrorNumber::Overflow);
    number = static_cast<float>(valid);
}

// Each operation is carried out in double and rounded once to float, which
// gives exactly the float result for + - * / of two floats.
Single operator+(Single a, Single b)
{
    return Single(static_cast<double>(a.number) + static_cast<double>(b.number));
}

Single operator-(Single a, Single b)
{
    return Single(static_cast<double>(a.number) - static_cast<double>(b.number));
}

Single operator*(Single a, Single b)
{
    return Single(static_cast<double>(a.number) * static_cast<double>(b.number));
}

Single operator/(Single a, Single b)
{
    return Single(divide(a.number, b.number));
}

Single operator-(Single a)
{
    return Single(-static_cast<double>(a.number));
}

std::ostream &operator<<(std::ostream &stream, Single value)
{
    return stream << value.value();
}

} // namespace platform
