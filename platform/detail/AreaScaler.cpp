// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/AreaScaler.h"

#include <cstring>

namespace platform::detail {

namespace {

// Weights are fixed-point in 1/4096: a channel (at most 255) times the
// horizontal weights, times the vertical ones, stays below 2^32.
constexpr std::uint32_t WeightBits = 12;
constexpr std::uint64_t WeightOne = 1u << WeightBits;

} // namespace

// Target pixel j covers source [j * source / target, (j + 1) * source / target).
// Counted in 1/target of a source pixel, every bound is a whole number, so
// the overlaps are exact; the weights are rounded from their running sums,
// so they always add up to exactly one and a flat picture stays flat.
std::vector<AreaScaler::Span> AreaScaler::spans(int source, int target)
{
    std::vector<Span> result(static_cast<std::size_t>(target));
    const std::int64_t s = source;
    const std::int64_t t = target;
    for (std::int64_t j = 0; j < t; ++j) {
        const std::int64_t begin = j * s;
        const std::int64_t end = (j + 1) * s;
        Span &span = result[static_cast<std::size_t>(j)];
        span.first = static_cast<int>(begin / t);
        const int last = static_cast<int>((end + t - 1) / t) - 1;
        span.count = last - span.first + 1;
        span.weights.reserve(static_cast<std::size_t>(span.count));
        std::int64_t covered = 0;
        std::uint64_t given = 0;
        for (int i = span.first; i <= last; ++i) {
            const std::int64_t overlap = std::min<std::int64_t>((i + 1) * t, end)
                    - std::max<std::int64_t>(i * t, begin);
            covered += overlap;
            const std::uint64_t upTo = static_cast<std::uint64_t>(covered) * WeightOne
                    / static_cast<std::uint64_t>(s);
            span.weights.push_back(static_cast<std::uint16_t>(upTo - given));
            given = upTo;
        }
    }
    return result;
}

AreaScaler::AreaScaler(QSize source, QImage &target)
    : source(source),
      target(target),
      columns(spans(source.width(), target.width())),
      rows(spans(source.height(), target.height())),
      sums(static_cast<std::size_t>(target.width()) * 4, 0),
      horizontal(static_cast<std::size_t>(target.width()) * 4, 0),
      identityColumns(source.width() == target.width())
{ }

void AreaScaler::addRow(const std::uint32_t *row)
{
    if (targetRow >= target.height())
        return;
    const auto *bytes = reinterpret_cast<const unsigned char *>(row);
    const std::size_t width = static_cast<std::size_t>(target.width());
    if (identityColumns) {
        for (std::size_t x = 0; x < width * 4; ++x)
            horizontal[x] = static_cast<std::uint32_t>(bytes[x]) << WeightBits;
    } else {
        for (std::size_t x = 0; x < width; ++x) {
            const Span &span = columns[x];
            const unsigned char *pixel = bytes + static_cast<std::size_t>(span.first) * 4;
            std::uint32_t c0 = 0, c1 = 0, c2 = 0, c3 = 0;
            for (int k = 0; k < span.count; ++k, pixel += 4) {
                const std::uint32_t w = span.weights[static_cast<std::size_t>(k)];
                c0 += w * pixel[0];
                c1 += w * pixel[1];
                c2 += w * pixel[2];
                c3 += w * pixel[3];
            }
            std::uint32_t *out = &horizontal[x * 4];
            out[0] = c0;
            out[1] = c1;
            out[2] = c2;
            out[3] = c3;
        }
    }
    // A source row touches at most two target rows: the end of one and the
    // start of the next.
    while (targetRow < target.height()) {
        const Span &span = rows[static_cast<std::size_t>(targetRow)];
        const int index = sourceRow - span.first;
        if (index < 0 || index >= span.count)
            break;
        const std::uint32_t w = span.weights[static_cast<std::size_t>(index)];
        if (w != 0) {
            for (std::size_t x = 0; x < width * 4; ++x)
                sums[x] += w * horizontal[x];
        }
        if (index != span.count - 1)
            break;
        emitRow();
    }
    ++sourceRow;
}

void AreaScaler::emitRow()
{
    auto *out = target.scanLine(targetRow);
    const std::size_t width = static_cast<std::size_t>(target.width());
    constexpr std::uint32_t Half = 1u << (2 * WeightBits - 1);
    for (std::size_t x = 0; x < width * 4; ++x)
        out[x] = static_cast<unsigned char>((sums[x] + Half) >> (2 * WeightBits));
    std::memset(sums.data(), 0, sums.size() * sizeof(std::uint32_t));
    ++targetRow;
}

QImage shrink(const QImage &image, QSize size)
{
    if (image.size() == size)
        return image;
    const bool alpha = image.hasAlphaChannel();
    const QImage source
            = image.convertedTo(alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    QImage result(size, source.format());
    if (result.isNull())
        return result;
    AreaScaler scaler(source.size(), result);
    for (int y = 0; y < source.height(); ++y)
        scaler.addRow(reinterpret_cast<const std::uint32_t *>(source.constScanLine(y)));
    return result;
}

} // namespace platform::detail
