// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

// Picture files for the tests, made with nothing but the standard library
// so that the same test sources build for every back end, including one
// with neither Qt nor libjpeg to encode with.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

struct Rgb
{
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;

    friend bool operator==(const Rgb &, const Rgb &) = default;
};

inline constexpr Rgb red{ 255, 0, 0 };
inline constexpr Rgb green{ 0, 255, 0 };
inline constexpr Rgb blue{ 0, 0, 255 };
inline constexpr Rgb yellow{ 255, 255, 0 };
inline constexpr Rgb grey{ 128, 128, 128 };
inline constexpr Rgb white{ 255, 255, 255 };
inline constexpr Rgb black{ 0, 0, 0 };

// The colour of the pixel at column x, row y. The encoder asks for each
// pixel once, row by row from the top, left to right within a row.
using PixelFunction = std::function<Rgb(int x, int y)>;

enum class JpegColours {
    YCbCr420, // colour at half resolution each way, as cameras store it
    YCbCr444, // colour at full resolution
    Grey, // one component: the luma of each pixel
};

// The byte order of the TIFF header inside an EXIF segment: "MM" or "II".
enum class ExifOrder { BigEndian, LittleEndian };

struct JpegOptions
{
    int orientation = 0; // EXIF orientation; 0 writes no EXIF segment
    int quality = 90; // 1 to 100, libjpeg's scale for the standard tables
    JpegColours colours = JpegColours::YCbCr420;
    ExifOrder exifOrder = ExifOrder::BigEndian;
};

// A baseline JFIF JPEG, the left half (columns below width / 2) `left` and
// the rest `right`, with an EXIF orientation when one is given. Sides run
// from 1 to 65535; anything outside that, or a quality outside 1 to 100,
// throws std::invalid_argument.
std::string jpegBytes(int width, int height, Rgb left = red, Rgb right = blue, int orientation = 0,
                      int quality = 90);
std::string jpegBytes(int width, int height, Rgb left, Rgb right, const JpegOptions &options);
std::string jpegBytes(int width, int height, const PixelFunction &pixel,
                      const JpegOptions &options = {});

// The JPEG with one EXIF segment holding just this orientation: an EXIF
// segment already there is replaced, and a new one goes after the JFIF
// header. Any value from 0 to 65535 is written as given, so that tests can
// also store the ones a reader must ignore. Throws std::invalid_argument
// unless the bytes start a JPEG.
std::string withOrientation(const std::string &jpeg, int orientation,
                            ExifOrder order = ExifOrder::BigEndian);

// A GIF89a with one frame per colour (at most 256), each frame filled with
// its colour and shown for a tenth of a second; the logical screen is the
// frame's size unless given. Sides run from 0 to 65535.
std::string gifBytes(int width, int height, const std::vector<Rgb> &frames = { green },
                     int screenWidth = -1, int screenHeight = -1);

// Throws std::runtime_error when the file cannot be written whole.
void writeFile(const std::string &path, const std::string &bytes);

} // namespace testsupport
