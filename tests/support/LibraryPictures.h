// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

// Pictures written by the picture libraries' own encoders, for the kinds
// the tests' own writer does not make (CMYK, progressive), and what the
// decoder tests say of a pixel.

#include "tests/support/PictureBytes.h"

#include <cstdint>
#include <string>

namespace testsupport {

enum class JpegKind {
    Rgb,
    Grey,
    Cmyk, // inverted, as Adobe's programs store it; with no black, the inks are the RGB values
    Progressive,
};

std::string libjpegBytes(int width, int height, const PixelFunction &pixel, JpegKind kind,
                         int quality = 95);

// A 0xAARRGGBB pixel's colour, and its name as "#rrggbb".
Rgb rgbOf(std::uint32_t pixel);
std::string nameOf(Rgb colour);
// Each channel within `tolerance` of the other's.
bool near(Rgb a, Rgb b, int tolerance = 24);

} // namespace testsupport
