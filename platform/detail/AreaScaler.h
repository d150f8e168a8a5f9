// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/detail/Bitmap.h"

#include <cstdint>
#include <vector>

namespace platform::detail {

// Shrinks 32-bit pixels by averaging the area each target pixel covers,
// taking the source one row at a time as a decoder hands it out, so that a
// large picture never has to be held whole. Each side of the target must be
// no larger than the source's. All four bytes of a pixel are averaged alike,
// which is right for opaque and for premultiplied pixels.
class AreaScaler
{
public:
    AreaScaler(PixelSize source, Bitmap &target);

    // Feeds the next source row of source.width() pixels.
    void addRow(const std::uint32_t *row);
    // Feeds `count` rows whose every pixel is `pixel` (a picture's
    // background, or the part that has no data), at the cost of the target
    // rows they fall in.
    void addUniformRows(int count, std::uint32_t pixel);
    // The target rows finished so far.
    int rowsDone() const { return targetRow; }

private:
    // The source pixels (or rows) one target pixel (or row) averages: `taps`
    // of them from `first` on, each with its share in 1/4096, the shares
    // adding up to 4096. Every span has the same number of taps, the
    // shares of those past its area zero, so the inner loop has a fixed
    // length; a span near the end starts early instead of reading past it.
    struct Spans
    {
        int taps = 0;
        std::vector<int> first;
        std::vector<int> lastTap; // the index of the last tap with a share
        std::vector<std::int16_t> weights; // taps per span
    };
    static Spans spans(int source, int target);
    template<int Taps>
    void shrinkRow(const unsigned char *bytes);
    void shrinkRowAnyTaps(const unsigned char *bytes);
    void accumulate(bool empty);
    void emitRow();

    PixelSize source;
    Bitmap &target;
    Spans columns;
    Spans rows;
    // The current target row's sums, four bytes a pixel.
    std::vector<std::uint32_t> sums;
    std::vector<std::uint32_t> horizontal;
    int sourceRow = 0;
    int targetRow = 0;
    bool identityColumns = false;
};

// The whole bitmap shrunk the same way; `size` no larger than the bitmap on
// either side. Empty when the memory for it cannot be had.
Bitmap shrink(const Bitmap &image, PixelSize size);

} // namespace platform::detail
