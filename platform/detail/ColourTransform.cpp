// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/ColourTransform.h"

#include <algorithm>

#include <lcms2.h>

namespace platform::detail {

namespace {

constexpr std::uint32_t Opaque = 0xff000000u;

// In three passes over a few hundred pixels at a time: the lookups, then
// the matrix in straight loops the compiler vectorises, then the lookups
// back; a third faster than each pixel through all at once.
void applyShaper(const ShaperMatrix &shaper, std::uint32_t *pixels, std::size_t count)
{
    constexpr std::int32_t Half = LinearOne / 2;
    constexpr int FractionBits = 14;
    static_assert(LinearOne == 1 << FractionBits);
    constexpr std::size_t Chunk = 256;
    std::int32_t linear[3][Chunk];
    std::int32_t index[3][Chunk];
    const auto &m = shaper.matrix;
    for (std::size_t base = 0; base < count; base += Chunk) {
        const std::size_t n = std::min(Chunk, count - base);
        std::uint32_t *chunk = pixels + base;
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint32_t pixel = chunk[i];
            linear[0][i] = shaper.toLinear[0][(pixel >> 16) & 0xff];
            linear[1][i] = shaper.toLinear[1][(pixel >> 8) & 0xff];
            linear[2][i] = shaper.toLinear[2][pixel & 0xff];
        }
        for (std::size_t row = 0; row < 3; ++row) {
            const std::int32_t r = m[row * 3];
            const std::int32_t g = m[row * 3 + 1];
            const std::int32_t b = m[row * 3 + 2];
            for (std::size_t i = 0; i < n; ++i) {
                const std::int32_t value
                        = (r * linear[0][i] + g * linear[1][i] + b * linear[2][i] + Half)
                        >> FractionBits;
                index[row][i] = std::clamp(value, 0, LinearOne);
            }
        }
        for (std::size_t i = 0; i < n; ++i) {
            const auto out = [&](std::size_t row) {
                return std::uint32_t{
                    shaper.fromLinear[row][static_cast<std::size_t>(index[row][i])]
                };
            };
            chunk[i] = (chunk[i] & Opaque) | (out(0) << 16) | (out(1) << 8) | out(2);
        }
    }
}

} // namespace

ColourTransform::ColourTransform(void *transform, ColourLayout layout)
    : handle(transform), from(layout)
{ }

ColourTransform::ColourTransform(std::unique_ptr<const ShaperMatrix> tables)
    : shaper(std::move(tables)), from(ColourLayout::Rgb)
{ }

ColourTransform::~ColourTransform()
{
    if (handle)
        cmsDeleteTransform(static_cast<cmsHTRANSFORM>(handle));
}

void ColourTransform::apply(std::uint32_t *pixels, std::size_t count) const
{
    if (count == 0)
        return;
    if (shaper) {
        applyShaper(*shaper, pixels, count);
        return;
    }
    // In place: every layout is four bytes a pixel, which Little CMS allows.
    cmsDoTransform(static_cast<cmsHTRANSFORM>(handle), pixels, pixels,
                   static_cast<cmsUInt32Number>(count));
    // The output's alpha byte is left as the input had it: for CMYK that
    // was the black ink.
    if (from == ColourLayout::InvertedCmyk) {
        for (std::size_t i = 0; i < count; ++i)
            pixels[i] |= Opaque;
    }
}

void ColourTransform::apply(Bitmap &image) const
{
    // The rows follow each other without gaps.
    if (!image.empty())
        apply(image.row(0),
              static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height()));
}

} // namespace platform::detail
