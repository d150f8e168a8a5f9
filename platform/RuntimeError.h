// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <exception>
#include <string>

namespace platform {

// The runtime's error numbers; the forms see them only through the message
// that ends the program.
enum class ErrorNumber : int {
    Overflow = 6,
    OutOfMemory = 7,
    DivisionByZero = 11,
    TypeMismatch = 13,
    FileNotFound = 53,
    PathFileAccessError = 75,
    PathNotFound = 76,
    InvalidPropertyValue = 380,
    DllEntryPointNotFound = 453,
    InvalidPicture = 481,
};

class RuntimeError : public std::exception
{
public:
    explicit RuntimeError(ErrorNumber number);

    ErrorNumber number() const noexcept { return errorNumber; }
    const std::string &description() const noexcept { return text; }
    // "Run-time error '6':\n\nOverflow", as the message box shows it.
    std::string message() const;
    const char *what() const noexcept override { return text.c_str(); }

private:
    ErrorNumber errorNumber;
    std::string text;
};

[[noreturn]] void raise(ErrorNumber number);

} // namespace platform
