// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/detail/Geometry.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::detail {

// Decoded pixels as both back ends draw them without conversion: 32 bits a
// pixel, 0xAARRGGBB in native order (blue first in memory), premultiplied
// when the picture has transparency, opaque pixels with alpha 0xff.
class Bitmap
{
public:
    Bitmap() = default;
    // Pixels left undefined; an allocation that fails leaves it empty.
    Bitmap(PixelSize size, bool alpha);

    PixelSize size() const { return extent; }
    int width() const { return extent.width; }
    int height() const { return extent.height; }
    bool empty() const { return pixels.empty(); }
    bool hasAlpha() const { return alpha; }

    std::uint32_t *row(int y) { return pixels.data() + static_cast<std::size_t>(y) * rowLength(); }
    const std::uint32_t *row(int y) const
    {
        return pixels.data() + static_cast<std::size_t>(y) * rowLength();
    }
    const std::uint32_t *data() const { return pixels.data(); }
    std::uint32_t pixel(int x, int y) const { return row(y)[x]; }
    void fill(std::uint32_t value);

private:
    std::size_t rowLength() const { return static_cast<std::size_t>(extent.width); }

    PixelSize extent;
    bool alpha = false;
    std::vector<std::uint32_t> pixels;
};

// The part of the picture stretched to a size that lies in `part` of that
// size, taking the pixel under each target pixel's centre, into rows of
// the part's width: the quick stretch of an animation's step, whose next
// step comes before anyone could see its coarseness. False, and nothing
// written, when the memory is not there or the part is empty or not all
// inside the size.
bool stretchNearest(const Bitmap &picture, PixelSize size, PixelRect part,
                    std::vector<std::uint32_t> &into);

// An EXIF orientation (1 to 8) undone: the picture as it is meant to be
// seen. Orientations 5 to 8 swap the sides.
Bitmap upright(Bitmap stored, int orientation);
bool transposes(int orientation);

} // namespace platform::detail
