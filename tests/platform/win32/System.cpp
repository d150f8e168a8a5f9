// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "tests/support/System.h"

#include <windows.h>

#include <psapi.h>

namespace testsupport {

long residentKilobytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return 0;
    return static_cast<long>(counters.WorkingSetSize / 1024);
}

const char *systemName()
{
    return "windows";
}

int longRun(int rounds)
{
    return rounds / 20;
}

} // namespace testsupport
