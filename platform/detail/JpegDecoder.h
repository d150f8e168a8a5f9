// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/detail/PictureData.h"

#include <atomic>
#include <optional>

namespace platform::detail {

class PictureFile;

// Decodes the JPEG read from an open file, from its start, for a screen of
// `screen` device pixels, as stored. libjpeg-turbo shrinks it while
// decoding (by eighths, to the smallest size still covering the target)
// and the rows are averaged down to the target as they come, so a large
// photo is never held at full size. Data that ends early shows what it
// holds, the rest grey. Nothing when the data cannot be decoded, or when
// `cancel` turns true on the way. Safe on any thread.
std::optional<DecodedPicture> decodeJpeg(const PictureFile &file, PixelSize screen, bool transposed,
                                         const std::atomic<bool> *cancel = nullptr);

} // namespace platform::detail
