// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/ColourTransform.h"

#include <lcms2.h>

namespace platform::detail {

namespace {

constexpr std::uint32_t Opaque = 0xff000000u;

} // namespace

ColourTransform::ColourTransform(void *transform, ColourLayout layout)
    : handle(transform), from(layout)
{ }

ColourTransform::~ColourTransform()
{
    cmsDeleteTransform(static_cast<cmsHTRANSFORM>(handle));
}

void ColourTransform::apply(std::uint32_t *pixels, std::size_t count) const
{
    if (count == 0)
        return;
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
