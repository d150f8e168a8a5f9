// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/detail/PictureData.h"

#include <atomic>
#include <memory>

namespace platform::detail {

class PictureFile;

// Decodes a GIF (its first frame) or a JPEG, whatever its name says, from
// an open regular file, at decodeSize() for a screen of `screen` device
// pixels, upright by its EXIF orientation. With a `likely` size smaller
// than that, also makes the smooth copy for it. Null when the file is not a
// GIF or JPEG, has a side of zero or cannot be decoded, or when `cancel`
// turns true. Runs on any thread.
std::shared_ptr<PictureData> decodePicture(const PictureFile &file, PixelSize screen,
                                           PixelSize likely = {},
                                           const std::atomic<bool> *cancel = nullptr);

} // namespace platform::detail
