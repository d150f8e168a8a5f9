// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// Any text typed as the seconds: IsNumeric and CDbl must agree, and a
// numeric text must give a finite number.
#include "platform/RuntimeError.h"
#include "platform/Values.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const bool numeric = platform::IsNumeric(text);
    try {
        const double value = platform::CDbl(text);
        if (!numeric || !std::isfinite(value))
            std::abort();
        platform::Int(value);
    } catch (const platform::RuntimeError &error) {
        if (numeric || error.number() != platform::ErrorNumber::TypeMismatch)
            std::abort();
    }
    return 0;
}
