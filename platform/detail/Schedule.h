// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace platform::detail {

// A timer's ticks are due at whole intervals from the moment it was
// enabled. After tick `tick` has fired at `now` (milliseconds since then),
// the next is the one after it, unless the program was held up past that
// one too: then the ticks it missed are let go and the next whole interval
// is due, so the timer falls back onto its schedule instead of drifting
// from wherever it woke.
std::int64_t nextTick(std::int64_t tick, std::int64_t interval, std::int64_t now);

} // namespace platform::detail
