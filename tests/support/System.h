// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

namespace testsupport {

// The process's resident memory now, in kilobytes.
long residentKilobytes();

// "linux" or "windows": which system's expectations apply where they differ.
const char *systemName();

// Rounds of the long tests: as many as given on Linux; on Windows, where
// every change of a window goes through Wine's server and takes some
// milliseconds, a twentieth of them, enough to see memory grow.
int longRun(int rounds);

} // namespace testsupport
