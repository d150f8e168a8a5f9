// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "tests/support/System.h"

#include <fstream>

#include <unistd.h>

namespace testsupport {

long residentKilobytes()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

const char *systemName()
{
    return "linux";
}

int longRun(int rounds)
{
    return rounds;
}

} // namespace testsupport
