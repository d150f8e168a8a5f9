// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/RuntimeError.h"
#include "platform/Single.h"
#include "platform/Values.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <string>

using namespace platform;

namespace {

ErrorNumber errorOf(auto &&operation)
{
    try {
        operation();
    } catch (const RuntimeError &error) {
        return error.number();
    }
    ADD_FAILURE() << "no runtime error";
    return ErrorNumber::InvalidPropertyValue;
}

struct NumberCase
{
    const char *text;
    std::optional<double> value; // nullopt: not numeric
};

void PrintTo(const NumberCase &row, std::ostream *out)
{
    *out << '"' << row.text << '"';
}

class NumericText : public ::testing::TestWithParam<NumberCase>
{ };

TEST_P(NumericText, IsNumericAndCDblAgree)
{
    const NumberCase &row = GetParam();
    EXPECT_EQ(IsNumeric(row.text), row.value.has_value());
    if (row.value)
        EXPECT_DOUBLE_EQ(CDbl(row.text), *row.value);
    else
        EXPECT_EQ(errorOf([&] { CDbl(row.text); }), ErrorNumber::TypeMismatch);
}

INSTANTIATE_TEST_SUITE_P(
        Texts, NumericText,
        ::testing::Values(NumberCase{ "2", 2.0 }, NumberCase{ " 2 ", 2.0 },
                          NumberCase{ "\t7\t", 7.0 }, NumberCase{ "2.7", 2.7 },
                          NumberCase{ "0.9", 0.9 }, NumberCase{ ".5", 0.5 },
                          NumberCase{ "5.", 5.0 }, NumberCase{ "-3", -3.0 },
                          NumberCase{ "+4", 4.0 }, NumberCase{ "1e3", 1000.0 },
                          NumberCase{ "1E+2", 100.0 }, NumberCase{ "25e-1", 2.5 },
                          NumberCase{ "32768", 32768.0 }, NumberCase{ "1e-400", 0.0 },
                          NumberCase{ "0e999999", 0.0 }, NumberCase{ "", std::nullopt },
                          NumberCase{ "   ", std::nullopt }, NumberCase{ "abc", std::nullopt },
                          NumberCase{ "2a", std::nullopt }, NumberCase{ "1.2.3", std::nullopt },
                          NumberCase{ ".", std::nullopt }, NumberCase{ "-", std::nullopt },
                          NumberCase{ "1e", std::nullopt }, NumberCase{ "e5", std::nullopt },
                          NumberCase{ "1 2", std::nullopt }, NumberCase{ "--1", std::nullopt },
                          NumberCase{ "0x10", std::nullopt }, NumberCase{ "$5", std::nullopt },
                          NumberCase{ "inf", std::nullopt }, NumberCase{ "nan", std::nullopt },
                          NumberCase{ "1e400", std::nullopt },
                          NumberCase{ "-1e309", std::nullopt }));

TEST(NumericText, AVeryLongNumberIsStillANumber)
{
    const std::string digits = "0." + std::string(10000, '0') + "1";
    EXPECT_TRUE(IsNumeric(digits));
    EXPECT_EQ(CDbl(digits), 0.0);
    EXPECT_FALSE(IsNumeric(std::string(400, '9')));
}

TEST(CInt, RoundsHalfToEven)
{
    const struct
    {
        double value;
        Integer expected;
    } rows[] = { { 0.5, 0 },          { 1.5, 2 },         { 2.5, 2 },           { 3.5, 4 },
                 { -0.5, 0 },         { -1.5, -2 },       { -2.5, -2 },         { 1.78, 2 },
                 { 1.4999, 1 },       { 32767.4, 32767 }, { -32768.4, -32768 }, { 32766.5, 32766 },
                 { -32768.5, -32768 } };
    for (const auto &row : rows)
        EXPECT_EQ(CInt(row.value), row.expected) << row.value;
}

TEST(CInt, OverflowsOutsideTheIntegerRange)
{
    for (double value : { 32767.5, 32768.0, -32768.6, -32769.5, -40000.0, 1e300,
                          std::numeric_limits<double>::infinity(), std::nan("") })
        EXPECT_EQ(errorOf([&] { CInt(value); }), ErrorNumber::Overflow) << value;
}

TEST(Integers, IncrementOverflowsInsteadOfWrapping)
{
    EXPECT_EQ(increment(-1), 0);
    EXPECT_EQ(increment(32766), 32767);
    EXPECT_EQ(errorOf([] { increment(32767); }), ErrorNumber::Overflow);
}

TEST(Floating, IntRoundsDown)
{
    EXPECT_EQ(Int(2.7), 2.0);
    EXPECT_EQ(Int(-2.1), -3.0);
    EXPECT_EQ(Int(0.9), 0.0);
}

TEST(Floating, DivisionIsChecked)
{
    EXPECT_EQ(divide(3, 2), 1.5);
    EXPECT_EQ(errorOf([] { divide(1, 0); }), ErrorNumber::DivisionByZero);
    EXPECT_EQ(errorOf([] { divide(0, 0); }), ErrorNumber::Overflow);
    EXPECT_EQ(errorOf([] { divide(1e308, 1e-308); }), ErrorNumber::Overflow);
}

TEST(Floating, SingleRejectsWhatAFloatCannotHold)
{
    EXPECT_EQ(Single(15360) + 1000, Single(16360));
    EXPECT_EQ(errorOf([] { Single(1e39); }), ErrorNumber::Overflow);
    EXPECT_EQ(errorOf([] { Single(std::nan("")); }), ErrorNumber::Overflow);
    EXPECT_EQ(errorOf([] { Single(3e38) * 10; }), ErrorNumber::Overflow);
    EXPECT_EQ(errorOf([] { Single(1) / 0; }), ErrorNumber::DivisionByZero);
}

TEST(RuntimeErrors, MessageNamesNumberAndDescription)
{
    EXPECT_EQ(RuntimeError(ErrorNumber::Overflow).message(), "Run-time error '6':\n\nOverflow");
    EXPECT_EQ(RuntimeError(ErrorNumber::InvalidPicture).message(),
              "Run-time error '481':\n\nInvalid picture");
}

} // namespace

namespace {

// What the number grammar admits, written independently of the parser:
// blanks, sign, digits and at most one point with a digit somewhere,
// exponent, blanks.
bool grammarAdmits(std::string text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    while (!text.empty() && blank(text.front()))
        text.erase(0, 1);
    while (!text.empty() && blank(text.back()))
        text.pop_back();
    if (!text.empty() && (text.front() == '+' || text.front() == '-'))
        text.erase(0, 1);
    const std::size_t exponent = text.find_first_of("eE");
    const std::string mantissa = text.substr(0, exponent);
    if (exponent != std::string::npos) {
        std::string power = text.substr(exponent + 1);
        if (!power.empty() && (power.front() == '+' || power.front() == '-'))
            power.erase(0, 1);
        if (power.empty() || !std::all_of(power.begin(), power.end(), digit))
            return false;
    }
    const auto points = std::count(mantissa.begin(), mantissa.end(), '.');
    const auto digits = std::count_if(mantissa.begin(), mantissa.end(), digit);
    return points <= 1 && digits > 0 && digits + points == static_cast<long>(mantissa.size());
}

TEST(NumericProperties, AgreeWithTheGrammarAndWithStrtod)
{
    std::mt19937 random(8122026);
    const std::string alphabet = "0123456789012345678901234567890.+-eE \tx,$";
    for (int trial = 0; trial < 200000; ++trial) {
        std::string text;
        const int length = std::uniform_int_distribution<int>(0, 12)(random);
        for (int i = 0; i < length; ++i)
            text += alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(
                    random)];
        bool numeric = false;
        ASSERT_NO_THROW(numeric = IsNumeric(text)) << text;
        const double reference = std::strtod(text.c_str(), nullptr);
        ASSERT_EQ(numeric, grammarAdmits(text) && std::isfinite(reference)) << '"' << text << '"';
        if (numeric) {
            const double value = CDbl(text);
            ASSERT_EQ(value, reference) << '"' << text << '"';
            // Every numeric text converts to a seconds value without error.
            ASSERT_NO_THROW(Int(value));
        } else {
            ASSERT_THROW(CDbl(text), RuntimeError) << '"' << text << '"';
        }
    }
}

} // namespace
