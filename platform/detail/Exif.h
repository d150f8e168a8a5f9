// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <vector>

namespace platform::detail {

class PictureFile;

// Whether the file starts with a JPEG's start-of-image marker: that alone
// decides the format, whatever the name says.
bool startsLikeJpeg(const PictureFile &file);

// What a JPEG's header says about showing it, read from its own bytes: the
// APP1 (EXIF) and APP2 (ICC profile) segments before the first scan.
struct JpegHeader
{
    // The EXIF orientation, 1 to 8; 1 for none or an invalid one.
    int orientation = 1;
    // The embedded ICC profile, its chunks joined in their numbered order.
    // Empty when there is none, when a chunk is missing, repeated or
    // numbered inconsistently, or when it would be larger than a profile
    // can sensibly be (MaxProfileBytes).
    std::vector<unsigned char> profile;
    // EXIF says Adobe RGB (1998): an uncalibrated colour space with the
    // interoperability index "R03", as cameras mark it.
    bool adobeRgb = false;
};
JpegHeader readJpegHeader(const PictureFile &file);

// The EXIF orientation (1 to 8) of a JPEG, read from the file's own bytes:
// its APP1 segments before the first scan. 1 when it has none or an
// invalid one. Read here rather than by the codec, as not every codec
// reports it.
int jpegOrientation(const PictureFile &file);

// The EXIF orientation in an APP1 segment's data, from its "Exif" header
// on; 1 when it holds none or an invalid one.
int exifOrientation(const unsigned char *data, std::size_t length);

// What an APP1 segment's EXIF data says about showing the picture.
struct ExifInfo
{
    int orientation = 1;
    bool adobeRgb = false;
};
ExifInfo readExif(const unsigned char *data, std::size_t length);

} // namespace platform::detail
