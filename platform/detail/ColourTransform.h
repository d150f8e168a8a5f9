// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/detail/Bitmap.h"

#include <cstddef>
#include <cstdint>

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

// A built conversion from a picture's colour space to the display's, for
// one layout; it turns the pixels into opaque or untouched-alpha
// 0xAARRGGBB in place. Immutable and safe to use from several threads at
// once.
class ColourTransform
{
public:
    // Takes over a Little CMS transform.
    ColourTransform(void *transform, ColourLayout layout);
    ~ColourTransform();
    ColourTransform(const ColourTransform &) = delete;
    ColourTransform &operator=(const ColourTransform &) = delete;

    ColourLayout layout() const { return from; }
    void apply(Bitmap &image) const;
    void apply(std::uint32_t *pixels, std::size_t count) const;

private:
    void *handle;
    ColourLayout from;
};

} // namespace platform::detail
