// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/detail/PictureData.h"

#include <atomic>
#include <optional>
#include <vector>

namespace platform::detail {

class PictureFile;

// Decodes the JPEG read from an open file, from its start, for a screen of
// `screen` device pixels, as stored. libjpeg-turbo shrinks it while
// decoding (by eighths, to the smallest size still covering the target)
// and the rows are averaged down to the target as they come, so a large
// photo is never held at full size. Data that ends early shows what it
// holds; the picture's completeRows say where the rows without data begin,
// to be made grey once converted. A file of several scans is read only as
// far as a photo's scans would take. Nothing when the data cannot be
// decoded, or when `cancel` turns true on the way. Safe on any thread.
//
// `profile` is the picture's colour profile (empty for sRGB): the
// conversion into the display's colour space comes with the pixels, to be
// made once they are upright. CMYK with a profile is handed out as its
// inks, for that conversion to turn into colours; without one, the inks
// are turned into colours here, simply.
std::optional<DecodedPicture> decodeJpeg(const PictureFile &file, PixelSize screen, bool transposed,
                                         const std::atomic<bool> *cancel = nullptr,
                                         const std::vector<unsigned char> &profile = {});

} // namespace platform::detail
