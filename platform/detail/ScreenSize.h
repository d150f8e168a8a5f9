// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QSize>

#include <optional>

namespace platform::detail {

// The primary screen in device-independent pixels, and in the device pixels
// a picture needs to look sharp on it.
QSize screenPixels();
QSize screenDevicePixels();

// Tests choose the screen the program sees, in twips.
void overrideScreen(std::optional<QSizeF> twips);

} // namespace platform::detail
