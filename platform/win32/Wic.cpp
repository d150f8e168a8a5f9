// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/win32/Wic.h"

#include "platform/detail/AreaScaler.h"

#include <wrl/client.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace platform::win32 {

namespace {

using detail::Bitmap;
using detail::PixelSize;
using Microsoft::WRL::ComPtr;

// Rows converted at a time: few enough to stay small, many enough that the
// converter's per-call cost does not count.
constexpr UINT BandRows = 64;

bool cancelled(const std::atomic<bool> *cancel)
{
    return cancel && cancel->load(std::memory_order_relaxed);
}

// BGRA's colours stand apart from its alpha; the runtime's are scaled by it.
std::uint32_t premultiplied(std::uint32_t pixel)
{
    const std::uint32_t alpha = pixel >> 24;
    if (alpha == 0xff)
        return pixel;
    std::uint32_t result = pixel & 0xff000000u;
    for (int shift = 0; shift < 24; shift += 8)
        result |= (((pixel >> shift) & 0xff) * alpha + 127) / 255 << shift;
    return result;
}

// Whether any pixel lets the background through.
bool transparent(const Bitmap &bitmap)
{
    for (int y = 0; y < bitmap.height(); ++y) {
        const std::uint32_t *row = bitmap.row(y);
        for (int x = 0; x < bitmap.width(); ++x) {
            if ((row[x] >> 24) != 0xff)
                return true;
        }
    }
    return false;
}

Bitmap withAlphaKnown(Bitmap &&bitmap)
{
    if (!transparent(bitmap))
        return std::move(bitmap);
    Bitmap marked(bitmap.size(), true);
    if (marked.empty())
        return marked;
    for (int y = 0; y < bitmap.height(); ++y)
        std::memcpy(marked.row(y), bitmap.row(y), static_cast<std::size_t>(bitmap.width()) * 4);
    return marked;
}

// A band of rows of `width` pixels, fed to the scaler or copied straight
// into the target when no scaling is needed.
class Rows
{
public:
    Rows(PixelSize source, Bitmap &target)
        : target(target), straight(source == target.size()), scaler(source, target)
    { }

    void add(const std::uint32_t *row)
    {
        if (straight) {
            std::memcpy(target.row(next++), row, static_cast<std::size_t>(target.width()) * 4);
            return;
        }
        scaler.addRow(row);
    }

private:
    Bitmap &target;
    bool straight;
    int next = 0;
    detail::AreaScaler scaler;
};

} // namespace

PixelSize transformSize(IWICBitmapSourceTransform &transform, PixelSize stored, PixelSize target)
{
    PixelSize best = stored;
    // The JPEG decoder scales by halves, quarters and eighths; others may
    // offer more. The smallest offer that still covers the target wins.
    for (const int divisor : { 2, 4, 8 }) {
        UINT width = static_cast<UINT>((stored.width + divisor - 1) / divisor);
        UINT height = static_cast<UINT>((stored.height + divisor - 1) / divisor);
        if (FAILED(transform.GetClosestSize(&width, &height)))
            continue;
        const PixelSize offered{ static_cast<int>(width), static_cast<int>(height) };
        if (offered.width >= target.width && offered.height >= target.height
            && offered.width <= best.width && offered.height <= best.height)
            best = offered;
    }
    return best;
}

std::optional<Bitmap> decodeScaled(IWICBitmapSourceTransform &transform, PixelSize stored,
                                   PixelSize target, const std::atomic<bool> *cancel)
{
    const PixelSize size = transformSize(transform, stored, target);
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppPBGRA;
    if (FAILED(transform.GetClosestPixelFormat(&format)))
        return std::nullopt;
    // The scaled picture whole, in the format the decoder gives: by the
    // choice of size, less than twice the target on each side.
    UINT bytesPerPixel = 4;
    if (IsEqualGUID(format, GUID_WICPixelFormat24bppBGR))
        bytesPerPixel = 3;
    else if (IsEqualGUID(format, GUID_WICPixelFormat8bppGray))
        bytesPerPixel = 1;
    else if (!IsEqualGUID(format, GUID_WICPixelFormat32bppPBGRA)
             && !IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA)
             && !IsEqualGUID(format, GUID_WICPixelFormat32bppBGR))
        return std::nullopt;
    const std::size_t stride = static_cast<std::size_t>(size.width) * bytesPerPixel;
    std::vector<BYTE> pixels;
    try {
        pixels.resize(stride * static_cast<std::size_t>(size.height));
    } catch (const std::bad_alloc &) {
        return std::nullopt;
    }
    if (cancelled(cancel)
        || FAILED(transform.CopyPixels(nullptr, static_cast<UINT>(size.width),
                                       static_cast<UINT>(size.height), &format,
                                       WICBitmapTransformRotate0, static_cast<UINT>(stride),
                                       static_cast<UINT>(pixels.size()), pixels.data())))
        return std::nullopt;
    Bitmap result(target, false);
    if (result.empty())
        return std::nullopt;
    Rows rows(size, result);
    std::vector<std::uint32_t> row(static_cast<std::size_t>(size.width));
    for (int y = 0; y < size.height; ++y) {
        if (cancelled(cancel))
            return std::nullopt;
        const BYTE *in = pixels.data() + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < size.width; ++x, in += bytesPerPixel) {
            if (bytesPerPixel == 4)
                std::memcpy(&row[static_cast<std::size_t>(x)], in, 4);
            else if (bytesPerPixel == 3)
                row[static_cast<std::size_t>(x)] = 0xff000000u | (std::uint32_t{ in[2] } << 16)
                        | (std::uint32_t{ in[1] } << 8) | in[0];
            else
                row[static_cast<std::size_t>(x)]
                        = 0xff000000u | (std::uint32_t{ in[0] } * 0x010101u);
        }
        if (IsEqualGUID(format, GUID_WICPixelFormat32bppBGR)) {
            for (std::uint32_t &pixel : row)
                pixel |= 0xff000000u;
        } else if (IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA)) {
            for (std::uint32_t &pixel : row)
                pixel = premultiplied(pixel);
        }
        rows.add(row.data());
    }
    return withAlphaKnown(std::move(result));
}

std::optional<Bitmap> decodeInBands(IWICImagingFactory &factory, IWICBitmapSource &frame,
                                    PixelSize stored, PixelSize target,
                                    const std::atomic<bool> *cancel)
{
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(factory.CreateFormatConverter(&converter))
        || FAILED(converter->Initialize(&frame, GUID_WICPixelFormat32bppPBGRA,
                                        WICBitmapDitherTypeNone, nullptr, 0.0,
                                        WICBitmapPaletteTypeCustom)))
        return std::nullopt;
    Bitmap result(target, false);
    if (result.empty())
        return std::nullopt;
    Rows rows(stored, result);
    const UINT stride = static_cast<UINT>(stored.width) * 4;
    std::vector<std::uint32_t> band;
    try {
        band.resize(static_cast<std::size_t>(stored.width) * BandRows);
    } catch (const std::bad_alloc &) {
        return std::nullopt;
    }
    for (int first = 0; first < stored.height; first += static_cast<int>(BandRows)) {
        if (cancelled(cancel))
            return std::nullopt;
        const int count = std::min(static_cast<int>(BandRows), stored.height - first);
        const WICRect rect{ 0, first, stored.width, count };
        if (FAILED(converter->CopyPixels(&rect, stride, stride * static_cast<UINT>(count),
                                         reinterpret_cast<BYTE *>(band.data()))))
            return std::nullopt;
        for (int y = 0; y < count; ++y)
            rows.add(band.data()
                     + static_cast<std::size_t>(y) * static_cast<std::size_t>(stored.width));
    }
    return withAlphaKnown(std::move(result));
}

} // namespace platform::win32
