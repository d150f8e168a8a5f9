// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

// Decoding through the Windows Imaging Component, in the two ways its
// decoders allow: scaled while decoding, where the frame offers it
// (Windows' own JPEG decoder does), or at full size a band of rows at a
// time, averaged down to the target as the bands come (Wine's).

#include "platform/detail/Bitmap.h"
#include "platform/win32/WicSourceTransform.h"

#include <wincodec.h>

#include <atomic>
#include <optional>

namespace platform::win32 {

// The size to have the frame decode at: the smallest it can make that still
// covers the target on both sides; the stored size when it can make none
// smaller.
detail::PixelSize transformSize(IWICBitmapSourceTransform &transform, detail::PixelSize stored,
                                detail::PixelSize target);

// Through a frame that scales while it decodes: decoded at transformSize()
// and averaged down to the target. Nothing when it fails or is cancelled.
std::optional<detail::Bitmap> decodeScaled(IWICBitmapSourceTransform &transform,
                                           detail::PixelSize stored, detail::PixelSize target,
                                           const std::atomic<bool> *cancel);

// At full size, converted to premultiplied BGRA a band of rows at a time,
// each band averaged into the target as it comes: the full-size picture is
// never held here, whatever the decoder itself holds.
std::optional<detail::Bitmap> decodeInBands(IWICImagingFactory &factory, IWICBitmapSource &frame,
                                            detail::PixelSize stored, detail::PixelSize target,
                                            const std::atomic<bool> *cancel);

} // namespace platform::win32
