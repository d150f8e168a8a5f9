// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/RuntimeError.h"

namespace platform {

namespace {

const char *describe(ErrorNumber number)
{
    switch (number) {
    case ErrorNumber::Overflow:
        return "Overflow";
    case ErrorNumber::OutOfMemory:
        return "Out of memory";
    case ErrorNumber::DivisionByZero:
        return "Division by zero";
    case ErrorNumber::TypeMismatch:
        return "Type mismatch";
    case ErrorNumber::FileNotFound:
        return "File not found";
    case ErrorNumber::PathFileAccessError:
        return "Path/File access error";
    case ErrorNumber::PathNotFound:
        return "Path not found";
    case ErrorNumber::InvalidPropertyValue:
        return "Invalid property value";
    case ErrorNumber::DllEntryPointNotFound:
        return "Can't find DLL entry point";
    case ErrorNumber::InvalidPicture:
        return "Invalid picture";
    }
    return "Application-defined or object-defined error";
}

} // namespace

RuntimeError::RuntimeError(ErrorNumber number) : errorNumber(number), text(describe(number)) { }

std::string RuntimeError::message() const
{
    return "Run-time error '" + std::to_string(static_cast<int>(errorNumber)) + "':\n\n" + text;
}

void raise(ErrorNumber number)
{
    throw RuntimeError(number);
}

} // namespace platform
