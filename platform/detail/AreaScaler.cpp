// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/AreaScaler.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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
AreaScaler::Spans AreaScaler::spans(int source, int target)
{
    const std::int64_t s = source;
    const std::int64_t t = target;
    Spans result;
    for (std::int64_t j = 0; j < t; ++j) {
        const int first = static_cast<int>(j * s / t);
        const int last = static_cast<int>(((j + 1) * s + t - 1) / t) - 1;
        result.taps = std::max(result.taps, last - first + 1);
    }
    result.first.resize(static_cast<std::size_t>(target));
    result.lastTap.resize(static_cast<std::size_t>(target));
    result.weights.assign(static_cast<std::size_t>(target) * result.taps, 0);
    for (std::int64_t j = 0; j < t; ++j) {
        const std::int64_t begin = j * s;
        const std::int64_t end = (j + 1) * s;
        const int first = static_cast<int>(begin / t);
        const int last = static_cast<int>((end + t - 1) / t) - 1;
        const int start = std::min(first, source - result.taps);
        result.first[static_cast<std::size_t>(j)] = start;
        result.lastTap[static_cast<std::size_t>(j)] = last - start;
        std::int16_t *weights = &result.weights[static_cast<std::size_t>(j) * result.taps];
        std::int64_t covered = 0;
        std::uint64_t given = 0;
        for (int i = first; i <= last; ++i) {
            const std::int64_t overlap = std::min<std::int64_t>((i + 1) * t, end)
                    - std::max<std::int64_t>(i * t, begin);
            covered += overlap;
            const std::uint64_t upTo = static_cast<std::uint64_t>(covered) * WeightOne
                    / static_cast<std::uint64_t>(s);
            weights[i - start] = static_cast<std::int16_t>(upTo - given);
            given = upTo;
        }
    }
    return result;
}

AreaScaler::AreaScaler(PixelSize source, Bitmap &target)
    : source(source),
      target(target),
      columns(spans(source.width, target.width())),
      rows(spans(source.height, target.height())),
      sums(static_cast<std::size_t>(target.width()) * 4, 0),
      horizontal(static_cast<std::size_t>(target.width()) * 4, 0),
      identityColumns(source.width == target.width())
{ }

// The four channels of `Taps` neighbouring pixels, weighted and summed.
// With SSE2 two taps at a time: their bytes interleaved as 16-bit lanes,
// one multiply-add gives four 32-bit channel sums.
template<int Taps>
void AreaScaler::shrinkRow(const unsigned char *bytes)
{
    const auto width = static_cast<std::size_t>(target.width());
    const int *first = columns.first.data();
    const std::int16_t *weights = columns.weights.data();
    std::uint32_t *out = horizontal.data();
    for (std::size_t x = 0; x < width; ++x, weights += Taps, out += 4) {
        const unsigned char *pixel = bytes + static_cast<std::size_t>(first[x]) * 4;
#ifdef __SSE2__
        const __m128i zero = _mm_setzero_si128();
        __m128i sum = zero;
        int k = 0;
        for (; k + 1 < Taps; k += 2) {
            std::uint64_t two;
            std::memcpy(&two, pixel + static_cast<std::ptrdiff_t>(k) * 4, 8);
            // a0 a1 a2 a3 b0 b1 b2 b3 -> a0 b0 a1 b1 a2 b2 a3 b3
            const __m128i lanes
                    = _mm_unpacklo_epi8(_mm_cvtsi64_si128(static_cast<long long>(two)), zero);
            const __m128i paired = _mm_unpacklo_epi16(lanes, _mm_srli_si128(lanes, 8));
            const __m128i w = _mm_set1_epi32(static_cast<int>(
                    static_cast<std::uint16_t>(weights[k])
                    | (static_cast<std::uint32_t>(static_cast<std::uint16_t>(weights[k + 1]))
                       << 16)));
            sum = _mm_add_epi32(sum, _mm_madd_epi16(paired, w));
        }
        if constexpr (Taps % 2 == 1) {
            std::uint32_t one;
            std::memcpy(&one, pixel + static_cast<std::ptrdiff_t>(Taps - 1) * 4, 4);
            const __m128i lanes = _mm_unpacklo_epi16(
                    _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(one)), zero), zero);
            const __m128i w = _mm_set1_epi32(weights[Taps - 1]);
            sum = _mm_add_epi32(sum, _mm_madd_epi16(lanes, w));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out), sum);
#else
        std::uint32_t c0 = 0, c1 = 0, c2 = 0, c3 = 0;
        for (int k = 0; k < Taps; ++k) {
            const auto w = static_cast<std::uint32_t>(weights[k]);
            c0 += w * pixel[k * 4];
            c1 += w * pixel[k * 4 + 1];
            c2 += w * pixel[k * 4 + 2];
            c3 += w * pixel[k * 4 + 3];
        }
        out[0] = c0;
        out[1] = c1;
        out[2] = c2;
        out[3] = c3;
#endif
    }
}

void AreaScaler::shrinkRowAnyTaps(const unsigned char *bytes)
{
    const auto width = static_cast<std::size_t>(target.width());
    const int taps = columns.taps;
    for (std::size_t x = 0; x < width; ++x) {
        const unsigned char *pixel = bytes + static_cast<std::size_t>(columns.first[x]) * 4;
        const std::int16_t *weights = &columns.weights[x * static_cast<std::size_t>(taps)];
        std::uint32_t c0 = 0, c1 = 0, c2 = 0, c3 = 0;
        for (int k = 0; k < taps; ++k, pixel += 4) {
            const auto w = static_cast<std::uint32_t>(weights[k]);
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

void AreaScaler::addRow(const std::uint32_t *row)
{
    if (targetRow >= target.height())
        return;
    const auto *bytes = reinterpret_cast<const unsigned char *>(row);
    const std::size_t values = static_cast<std::size_t>(target.width()) * 4;
    if (identityColumns) {
        for (std::size_t x = 0; x < values; ++x)
            horizontal[x] = static_cast<std::uint32_t>(bytes[x]) << WeightBits;
    } else {
        switch (columns.taps) {
        case 2:
            shrinkRow<2>(bytes);
            break;
        case 3:
            shrinkRow<3>(bytes);
            break;
        case 4:
            shrinkRow<4>(bytes);
            break;
        case 5:
            shrinkRow<5>(bytes);
            break;
        default:
            shrinkRowAnyTaps(bytes);
            break;
        }
    }
    accumulate(false);
}

void AreaScaler::addUniformRows(int count, std::uint32_t pixel)
{
    // The weights of every target pixel add up to exactly one, so a uniform
    // row shrinks to itself.
    const bool empty = pixel == 0;
    if (!empty) {
        const auto *bytes = reinterpret_cast<const unsigned char *>(&pixel);
        for (std::size_t x = 0; x < horizontal.size(); ++x)
            horizontal[x] = static_cast<std::uint32_t>(bytes[x % 4]) << WeightBits;
    }
    const std::size_t values = static_cast<std::size_t>(target.width()) * 4;
    while (count > 0 && targetRow < target.height()) {
        // The rows before the target row's last tap add to it alone: their
        // shares add up, and the row is added once for all of them. A GIF
        // that claims 65535 rows and has data for a few costs a pass for
        // each target row, not for each of its own.
        const auto span = static_cast<std::size_t>(targetRow);
        const int index = sourceRow - rows.first[span];
        const int run = index >= 0 ? std::min(count, rows.lastTap[span] - index) : 0;
        if (run <= 0) {
            accumulate(empty);
            --count;
            continue;
        }
        const std::int16_t *shares = &rows.weights[span * static_cast<std::size_t>(rows.taps)];
        std::uint32_t w = 0;
        for (int tap = index; tap < index + run; ++tap)
            w += static_cast<std::uint32_t>(shares[tap]);
        if (w != 0 && !empty) {
            for (std::size_t x = 0; x < values; ++x)
                sums[x] += w * horizontal[x];
        }
        sourceRow += run;
        count -= run;
    }
}

// Adds the horizontally shrunk row to the target rows it falls in (nothing
// when it is all zero), and writes out those it ends. A source row touches
// at most two target rows: the end of one and the start of the next.
void AreaScaler::accumulate(bool empty)
{
    const std::size_t values = static_cast<std::size_t>(target.width()) * 4;
    while (targetRow < target.height()) {
        const auto span = static_cast<std::size_t>(targetRow);
        const int index = sourceRow - rows.first[span];
        if (index < 0 || index >= rows.taps)
            break;
        const auto w = static_cast<std::uint32_t>(
                rows.weights[span * static_cast<std::size_t>(rows.taps) + index]);
        if (w != 0 && !empty) {
            std::uint32_t *sum = sums.data();
            const std::uint32_t *add = horizontal.data();
            for (std::size_t x = 0; x < values; ++x)
                sum[x] += w * add[x];
        }
        if (index != rows.lastTap[span])
            break;
        emitRow();
    }
    ++sourceRow;
}

void AreaScaler::emitRow()
{
    auto *out = reinterpret_cast<unsigned char *>(target.row(targetRow));
    const std::size_t values = static_cast<std::size_t>(target.width()) * 4;
    constexpr std::uint32_t Half = 1u << (2 * WeightBits - 1);
    for (std::size_t x = 0; x < values; ++x)
        out[x] = static_cast<unsigned char>((sums[x] + Half) >> (2 * WeightBits));
    std::memset(sums.data(), 0, sums.size() * sizeof(std::uint32_t));
    ++targetRow;
}

Bitmap shrink(const Bitmap &image, PixelSize size)
{
    if (image.size() == size)
        return image;
    Bitmap result(size, image.hasAlpha());
    if (result.empty())
        return result;
    AreaScaler scaler(image.size(), result);
    for (int y = 0; y < image.height(); ++y)
        scaler.addRow(image.row(y));
    return result;
}

} // namespace platform::detail
