// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <vector>

namespace platform::detail {

// Whether a transform through this ICC profile costs what a real profile's
// costs, judged from its bytes alone, before Little CMS reads any of it.
// Every pipeline a transform may take (the AToB, BToA, DToB and BToD tags)
// must hold the tables its header claims, so that reading it allocates no
// more than the file holds; and must have few stages of few channels, as
// Little CMS evaluates the whole pipeline at each of the thousands of
// colours it samples a transform into: a table over n channels costs 2^n
// corners at every one. The rest of the profile is left to Little CMS.
bool profileCostIsBounded(const std::vector<unsigned char> &profile);

} // namespace platform::detail
