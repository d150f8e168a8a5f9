// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/Schedule.h"

namespace platform::detail {

std::int64_t nextTick(std::int64_t tick, std::int64_t interval, std::int64_t now)
{
    const std::int64_t next = tick + 1;
    if (next * interval > now)
        return next;
    return now / interval + 1;
}

} // namespace platform::detail
