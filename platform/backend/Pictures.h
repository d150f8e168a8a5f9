// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

// Decoding through the back end's codec.

#include "platform/detail/Bitmap.h"

#include <atomic>
#include <optional>

namespace platform::detail {
class PictureFile;
}

namespace platform::backend {

struct DecodedPicture
{
    // Exactly detail::decodeSize(stored, transposed, screen), as stored
    // (not yet turned upright).
    detail::Bitmap image;
    // The picture's own size as stored.
    detail::PixelSize stored;
};

// Decodes a GIF (its first frame) or a JPEG, whatever its name says, from
// the open file, from its start, for a screen of `screen` device pixels;
// `transposed` says the picture will be turned a quarter to be upright.
// Never holds more than one full-size decode at a time. Nothing when the
// file is not a GIF or JPEG, has a side of zero, cannot be decoded, or
// `cancel` turns true on the way. Safe on any thread.
std::optional<DecodedPicture> decodePicture(const detail::PictureFile &file,
                                            detail::PixelSize screen, bool transposed,
                                            const std::atomic<bool> *cancel);

} // namespace platform::backend
