// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/backend/Pictures.h"

#include "platform/detail/Exif.h"
#include "platform/detail/PictureData.h"
#include "platform/detail/PictureFile.h"
#include "platform/win32/Wic.h"

#include <objbase.h>
#include <wrl/client.h>

namespace platform::win32 {

namespace {

using detail::PixelSize;
using Microsoft::WRL::ComPtr;

// The most pixels a picture may claim: Wine's JPEG decoder holds the whole
// picture while it decodes, and one that claims 65500 by 65500 would take
// gigabytes before failing. A 120-megapixel photo is 360 MB there.
constexpr long long MostPixels = 120LL * 1000 * 1000;

// The logical screen a GIF claims, from its first bytes.
std::optional<PixelSize> gifScreenSize(const detail::PictureFile &file)
{
    unsigned char header[10] = {};
    if (file.read(0, header, sizeof header) != sizeof header || header[0] != 'G' || header[1] != 'I'
        || header[2] != 'F')
        return std::nullopt;
    return PixelSize{ header[6] | (header[7] << 8), header[8] | (header[9] << 8) };
}

bool tooLarge(std::optional<PixelSize> claimed)
{
    return !claimed || claimed->empty()
            || static_cast<long long>(claimed->width) * claimed->height > MostPixels;
}

// Each thread that decodes, the decode-ahead worker too, joins COM once;
// the user-interface thread has joined it already, as a single-threaded
// apartment.
bool comReady()
{
    thread_local const bool ready = [] {
        const HRESULT joined = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        return SUCCEEDED(joined) || joined == RPC_E_CHANGED_MODE;
    }();
    return ready;
}

} // namespace

} // namespace platform::win32

namespace platform::backend {

std::optional<DecodedPicture> decodePicture(const detail::PictureFile &file,
                                            detail::PixelSize screen, bool transposed,
                                            const std::atomic<bool> *cancel)
{
    using namespace win32;
    const bool jpeg = detail::startsLikeJpeg(file);
    if (tooLarge(jpeg ? detail::jpegFrameSize(file) : gifScreenSize(file)) || !comReady())
        return std::nullopt;
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory))))
        return std::nullopt;
    // WIC reads through the handle from where it points: the start.
    const auto handle = reinterpret_cast<HANDLE>(file.handle());
    LARGE_INTEGER start{};
    SetFilePointerEx(handle, start, nullptr, FILE_BEGIN);
    ComPtr<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromFileHandle(reinterpret_cast<ULONG_PTR>(handle), nullptr,
                                                    WICDecodeMetadataCacheOnDemand, &decoder)))
        return std::nullopt;
    GUID container{};
    if (FAILED(decoder->GetContainerFormat(&container))
        || !(IsEqualGUID(container, GUID_ContainerFormatJpeg)
             || IsEqualGUID(container, GUID_ContainerFormatGif)))
        return std::nullopt;
    ComPtr<IWICBitmapFrameDecode> frame;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&width, &height))
        || width == 0 || height == 0)
        return std::nullopt;
    const PixelSize stored{ static_cast<int>(width), static_cast<int>(height) };
    const PixelSize target = detail::decodeSize(stored, transposed, screen);
    std::optional<detail::Bitmap> image;
    ComPtr<IWICBitmapSourceTransform> transform;
    if (SUCCEEDED(frame.As(&transform)))
        image = decodeScaled(*transform.Get(), stored, target, cancel);
    if (!image)
        image = decodeInBands(*factory.Get(), *frame.Get(), stored, target, cancel);
    if (!image)
        return std::nullopt;
    return DecodedPicture{ std::move(*image), stored };
}

} // namespace platform::backend
