// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/detail/PictureData.h"

#include <atomic>
#include <optional>

namespace platform::detail {

class PictureFile;

// Decodes a GIF's first frame read from an open file, from its start, for a
// screen of `screen` device pixels. The picture is the GIF's logical screen
// (the frame's own extent where the screen claims a side of zero) with the
// frame in its place: what the frame leaves uncovered, and rows past where
// its data ends, are the screen's background colour; its transparent colour
// is transparent. The frame's rows are averaged down as giflib hands them
// out, so no 32-bit copy of a large frame is ever held; an interlaced
// frame, whose rows come out of order, is held at one byte a pixel. Nothing
// when the
// data is no GIF or cannot be decoded, or when `cancel` turns true on the
// way. Safe on any thread.
std::optional<DecodedPicture> decodeGif(const PictureFile &file, PixelSize screen,
                                        const std::atomic<bool> *cancel = nullptr);

} // namespace platform::detail
