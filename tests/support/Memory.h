// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

namespace testsupport {

// The process's resident memory now, in kilobytes.
long residentKilobytes();

} // namespace testsupport
