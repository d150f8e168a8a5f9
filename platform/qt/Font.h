// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Font.h"

#include <QFont>

namespace platform::qt {

QFont toQFont(const Font &font);

} // namespace platform::qt
