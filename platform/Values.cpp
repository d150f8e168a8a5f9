// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Values.h"

#include "platform/RuntimeError.h"

#include "platform/backend/Desktop.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <string>

namespace platform {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Parses the number grammar; nullopt for any text outside it, and for a
// value too large for a double.
std::optional<double> parse(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;

    const std::optional<char> separator = backend::decimalSeparator();
    std::string normalized;
    normalized.reserve(end - begin);
    std::size_t i = begin;
    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    // Decimal exponent of the leading significant digit, to tell an
    // overflowing value from one that merely underflows to zero.
    long magnitude = 0;
    bool significant = false;
    std::size_t digits = 0;
    bool point = false;
    for (; i < end; ++i) {
        const char c = text[i];
        if (isDigit(c)) {
            ++digits;
            if (c != '0')
                significant = true;
            if (!point && significant)
                ++magnitude;
            else if (point && !significant)
                --magnitude;
            normalized.push_back(c);
        } else if ((c == '.' || (separator && c == *separator)) && !point) {
            point = true;
            normalized.push_back('.');
        } else {
            break;
        }
    }
    if (digits == 0)
        return std::nullopt;

    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        normalized.push_back('e');
        ++i;
        bool exponentNegative = false;
        if (i < end && (text[i] == '+' || text[i] == '-')) {
            exponentNegative = text[i] == '-';
            normalized.push_back(text[i]);
            ++i;
        }
        std::size_t exponentDigits = 0;
        long exponent = 0;
        for (; i < end && isDigit(text[i]); ++i) {
            ++exponentDigits;
            normalized.push_back(text[i]);
            if (exponent < 100000)
                exponent = exponent * 10 + (text[i] - '0');
        }
        if (exponentDigits == 0)
            return std::nullopt;
        magnitude += exponentNegative ? -exponent : exponent;
    }
    if (i != end)
        return std::nullopt;

    double value = 0.0;
    const char *first = normalized.data();
    const char *last = first + normalized.size();
    const auto [ptr, error] = std::from_chars(first, last, value);
    if (ptr != last)
        return std::nullopt;
    if (error == std::errc::result_out_of_range) {
        if (significant && magnitude > 0)
            return std::nullopt;
        value = 0.0;
    } else if (error != std::errc()) {
        return std::nullopt;
    }
    if (!std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

} // namespace

Integer CInt(double value)
{
    if (!std::isfinite(value))
        raise(ErrorNumber::Overflow);
    // nearbyint follows the default rounding mode, round half to even.
    const double rounded = std::nearbyint(value);
    if (rounded < -32768.0 || rounded > 32767.0)
        raise(ErrorNumber::Overflow);
    return static_cast<Integer>(rounded);
}

double Int(double value)
{
    return std::floor(checked(value));
}

Integer increment(Integer value)
{
    if (value == IntegerMax)
        raise(ErrorNumber::Overflow);
    return static_cast<Integer>(value + 1);
}

bool IsNumeric(std::string_view text)
{
    return parse(text).has_value();
}

double CDbl(std::string_view text)
{
    const std::optional<double> value = parse(text);
    if (!value)
        raise(ErrorNumber::TypeMismatch);
    return *value;
}

double checked(double value)
{
    if (!std::isfinite(value))
        raise(ErrorNumber::Overflow);
    return value;
}

double divide(double a, double b)
{
    if (b == 0.0)
        raise(checked(a) == 0.0 ? ErrorNumber::Overflow : ErrorNumber::DivisionByZero);
    return checked(a / b);
}

} // namespace platform
