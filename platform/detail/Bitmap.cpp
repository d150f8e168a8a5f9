// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/Bitmap.h"

#include <algorithm>
#include <new>
#include <stdexcept>

namespace platform::detail {

Bitmap::Bitmap(PixelSize size, bool alpha) : alpha(alpha)
{
    if (size.empty())
        return;
    try {
        pixels.resize(static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height));
    } catch (const std::bad_alloc &) {
        return;
    } catch (const std::length_error &) {
        return;
    }
    extent = size;
}

void Bitmap::fill(std::uint32_t value)
{
    std::fill(pixels.begin(), pixels.end(), value);
}

bool stretchNearest(const Bitmap &picture, PixelSize size, PixelRect part,
                    std::vector<std::uint32_t> &into)
{
    if (picture.empty() || part.width <= 0 || part.height <= 0 || part.x < 0 || part.y < 0
        || part.width > size.width - part.x || part.height > size.height - part.y)
        return false;
    const auto width = static_cast<std::size_t>(part.width);
    std::vector<int> columns;
    try {
        into.resize(width * static_cast<std::size_t>(part.height));
        columns.resize(width);
    } catch (const std::bad_alloc &) {
        return false;
    } catch (const std::length_error &) {
        return false;
    }
    // Centre to centre, in 64 bits: a side may be near the largest int.
    const auto source = [](int target, int from, int to) {
        return static_cast<int>((2 * static_cast<std::uint64_t>(target) + 1)
                                * static_cast<std::uint64_t>(from)
                                / (2 * static_cast<std::uint64_t>(to)));
    };
    for (std::size_t x = 0; x < width; ++x)
        columns[x] = source(part.x + static_cast<int>(x), picture.width(), size.width);
    int lastRow = -1;
    for (int y = 0; y < part.height; ++y) {
        std::uint32_t *out = into.data() + static_cast<std::size_t>(y) * width;
        const int row = source(part.y + y, picture.height(), size.height);
        // Rows that pick the same source row are the same row.
        if (row == lastRow) {
            std::copy_n(out - width, width, out);
            continue;
        }
        lastRow = row;
        const std::uint32_t *in = picture.row(row);
        for (std::size_t x = 0; x < width; ++x)
            out[x] = in[columns[x]];
    }
    return true;
}

bool transposes(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

// Orientation n stores the picture so that, read row by row, the pixel at
// (x, y) of the upright picture comes from the stored position below.
Bitmap upright(Bitmap stored, int orientation)
{
    if (orientation < 2 || orientation > 8 || stored.empty())
        return stored;
    const int w = stored.width();
    const int h = stored.height();
    const PixelSize size = transposes(orientation) ? stored.size().transposed() : stored.size();
    Bitmap result(size, stored.hasAlpha());
    if (result.empty())
        return result;
    for (int y = 0; y < size.height; ++y) {
        std::uint32_t *out = result.row(y);
        for (int x = 0; x < size.width; ++x) {
            int sx = x;
            int sy = y;
            switch (orientation) {
            case 2: // mirrored
                sx = w - 1 - x;
                break;
            case 3: // turned half round
                sx = w - 1 - x;
                sy = h - 1 - y;
                break;
            case 4: // flipped
                sy = h - 1 - y;
                break;
            case 5: // mirrored along the main diagonal
                sx = y;
                sy = x;
                break;
            case 6: // turned a quarter clockwise to be upright
                sx = y;
                sy = h - 1 - x;
                break;
            case 7: // mirrored along the other diagonal
                sx = w - 1 - y;
                sy = h - 1 - x;
                break;
            case 8: // turned a quarter anticlockwise to be upright
                sx = w - 1 - y;
                sy = x;
                break;
            default:
                break;
            }
            out[x] = stored.pixel(sx, sy);
        }
    }
    return result;
}

} // namespace platform::detail
