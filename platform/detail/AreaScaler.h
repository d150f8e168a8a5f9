// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QSize>

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
    AreaScaler(QSize source, QImage &target);

    // Feeds the next source row of source.width() pixels.
    void addRow(const std::uint32_t *row);
    // The target rows finished so far.
    int rowsDone() const { return targetRow; }

private:
    struct Span
    {
        int first = 0; // the first source pixel (or row) that touches a target one
        int count = 0;
        // Each touching pixel's share, in 1/WeightOne, adding up to WeightOne.
        std::vector<std::uint16_t> weights;
    };
    static std::vector<Span> spans(int source, int target);
    void emitRow();

    QSize source;
    QImage &target;
    std::vector<Span> columns;
    std::vector<Span> rows;
    // The current target row's sums, four bytes a pixel.
    std::vector<std::uint32_t> sums;
    std::vector<std::uint32_t> horizontal;
    int sourceRow = 0;
    int targetRow = 0;
    bool identityColumns = false;
};

// The whole image shrunk the same way; `size` no larger than the image on
// either side. Used off the user-interface thread, where Qt's own smooth
// scaling would spread its work over the application's shared threads.
QImage shrink(const QImage &image, QSize size);

} // namespace platform::detail
