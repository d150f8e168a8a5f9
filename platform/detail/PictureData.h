// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Picture.h"
#include "platform/detail/Bitmap.h"

#include <cstdint>
#include <limits>
#include <memory>

namespace platform::detail {

class ColourTransform;

struct PictureData
{
    // The decoded pixels, upright, at most the screen's size on each side.
    Bitmap image;
    // The picture's own size in pixels, upright.
    PixelSize size;
    // When decoded ahead: a smooth copy at the size it is likely to be shown
    // at, so that showing it needs no scaling on the user-interface thread.
    // Empty when there was no likely size other than the image's own.
    Bitmap prescaled;
    // The display's colour space the pixels were converted into, by the
    // generation ColourConverter gives it.
    std::uint64_t displayGeneration = 0;

    static Picture make(std::shared_ptr<const PictureData> data)
    {
        return Picture(std::move(data));
    }
    static const std::shared_ptr<const PictureData> &of(const Picture &picture)
    {
        return picture.data;
    }
};

// A picture as a decoder hands it out, before it is turned upright.
struct DecodedPicture
{
    // Exactly decodeSize(stored, transposed, screen), as stored.
    Bitmap image;
    // The picture's own size as stored.
    PixelSize stored;
    // The conversion into the display's colour space still to be made,
    // once the pixels are at their size; none when there is nothing to do.
    std::shared_ptr<const ColourTransform> colour;
    // The rows of `image` from this one down had no data: they are to be
    // plain grey once converted, whatever the picture's colour space.
    int completeRows = std::numeric_limits<int>::max();
};

// The size to decode a picture of `stored` pixels at (in its stored, not
// upright, orientation) for a screen of `screen` device pixels: no side
// larger than the screen's matching side, as the picture is always drawn
// stretched and never larger than the screen.
PixelSize decodeSize(PixelSize stored, bool transposed, PixelSize screen);

} // namespace platform::detail
