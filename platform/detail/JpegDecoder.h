// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QSize>

#include <atomic>
#include <cstddef>
#include <optional>

namespace platform::detail {

struct DecodedJpeg
{
    // Upright, exactly decodeSize() of the stored picture for the screen.
    QImage image;
    // The picture's own size, upright.
    QSize size;
};

// Decodes the JPEG read from an open file, from its start, for a screen of
// `screen` device pixels, and turns it upright by its EXIF orientation.
// libjpeg-turbo shrinks it while decoding (by eighths, to the smallest size
// still covering the target) and the rows are averaged down to the target
// as they come, so a large photo is never held at full size. Data that ends
// early shows what it holds, the rest grey. Nothing when the data cannot be
// decoded, or when `cancel` turns true on the way. Safe on any thread.
std::optional<DecodedJpeg> decodeJpeg(int descriptor, QSize screen,
                                      const std::atomic<bool> *cancel = nullptr);

// The EXIF orientation (1 to 8) in an APP1 segment's data, from its
// "Exif" header on; 1 when it holds none or an invalid one.
int exifOrientation(const unsigned char *data, std::size_t length);

} // namespace platform::detail
