// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Container.h"

namespace platform {

Container::~Container() = default;

} // namespace platform
