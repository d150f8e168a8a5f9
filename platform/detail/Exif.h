// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/detail/Geometry.h"

#include <cstddef>
#include <optional>

namespace platform::detail {

class PictureFile;

// Whether the file starts with a JPEG's start-of-image marker: that alone
// decides the format, whatever the name says.
bool startsLikeJpeg(const PictureFile &file);

// The EXIF orientation (1 to 8) of a JPEG, read from the file's own bytes:
// its APP1 segments before the first scan. 1 when it has none or an
// invalid one. Read here rather than by the codec, as not every codec
// reports it.
int jpegOrientation(const PictureFile &file);

// The size a JPEG's frame header claims, before anything is decoded; none
// when the header cannot be read.
std::optional<PixelSize> jpegFrameSize(const PictureFile &file);

// The EXIF orientation in an APP1 segment's data, from its "Exif" header
// on; 1 when it holds none or an invalid one.
int exifOrientation(const unsigned char *data, std::size_t length);

} // namespace platform::detail
