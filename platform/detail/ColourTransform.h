// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/detail/Bitmap.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform::detail {

// How a decoder's 32-bit pixels hold their colour before it is converted.
enum class ColourLayout {
    // 0xAARRGGBB, as every bitmap ends up.
    Rgb,
    // A grey level repeated in red, green and blue.
    Grey,
    // Four inks a pixel as libjpeg hands them out, C, M, Y, K in memory,
    // inverted as Adobe's programs store them (255 is no ink).
    InvertedCmyk,
};

// Linear light in fixed point: 1.0 is this many steps.
constexpr int LinearOne = 1 << 14;

// A conversion between two matrix-shaper profiles (most RGB ones: sRGB,
// Adobe RGB, Display P3, ProPhoto, a calibrated display's): curves to
// linear light, a 3 by 3 matrix, curves back. Run without Little CMS's
// per-pixel calls it costs a fraction of the time, which a large photo's
// decode ahead feels.
struct ShaperMatrix
{
    std::array<std::array<std::uint16_t, 256>, 3> toLinear;
    // Rows for red, green and blue out, in steps of 1 / LinearOne.
    std::array<std::int32_t, 9> matrix;
    std::array<std::array<std::uint8_t, LinearOne + 1>, 3> fromLinear;
};

// A built conversion from a picture's colour space to the display's, for
// one layout; it turns the pixels into opaque or untouched-alpha
// 0xAARRGGBB in place. Immutable and safe to use from several threads at
// once.
class ColourTransform
{
public:
    // Takes over a Little CMS transform.
    ColourTransform(void *transform, ColourLayout layout);
    // RGB through curves and a matrix.
    explicit ColourTransform(std::unique_ptr<const ShaperMatrix> tables);
    ~ColourTransform();
    ColourTransform(const ColourTransform &) = delete;
    ColourTransform &operator=(const ColourTransform &) = delete;

    ColourLayout layout() const { return from; }
    void apply(Bitmap &image) const;
    void apply(std::uint32_t *pixels, std::size_t count) const;

private:
    void *handle = nullptr;
    std::unique_ptr<const ShaperMatrix> shaper;
    ColourLayout from;
};

} // namespace platform::detail
