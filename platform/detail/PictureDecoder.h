// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/detail/PictureData.h"

#include <QSize>

#include <atomic>
#include <memory>

namespace platform::detail {

// Decodes a GIF (its first frame) or a JPEG, whatever its name says, from
// an open regular file, at decodeSize() for a screen of `screen` device
// pixels, upright. With a `likely` size smaller than that, also makes the
// smooth copy for it. Null when the file is not a GIF or JPEG, has a side
// of zero or cannot be decoded, or when `cancel` turns true. Uses no
// window-system state, so it runs on any thread; the descriptor stays open.
std::shared_ptr<PictureData> decodePicture(int descriptor, QSize screen, QSize likely = {},
                                           const std::atomic<bool> *cancel = nullptr);

} // namespace platform::detail
