// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// Decoding through WIC. Windows' JPEG decoder scales while it decodes
// (IWICBitmapSourceTransform); Wine's does not, so that path is driven here
// by a decoder of the test's own that scales as Windows' does. The banded
// path runs on Wine's real decoder.
#include "tests/support/System.h"
#include "tests/support/TestPictures.h"

#include "platform/Picture.h"
#include "platform/RuntimeError.h"
#include "platform/Testing.h"
#include "platform/win32/Text.h"
#include "platform/win32/Wic.h"

#include <gtest/gtest.h>

#include <psapi.h>
#include <wrl/client.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;
using platform::detail::Bitmap;
using platform::detail::PixelSize;

namespace {

struct Copy
{
    PixelSize size;
    WICPixelFormatGUID format;
    WICBitmapTransformOptions transform;
    bool wholeFrame;
};

// COM objects are released, never deleted: like the interfaces they
// implement, the test's own have no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// A frame that scales while it decodes as Windows' JPEG decoder does: by
// halves, quarters and eighths (or fewer, when told), each side rounded
// up. Its pixels are red on the left half and blue on the right, in the
// format it is made with, with the alpha it is given.
class ScalingFrame final : public IWICBitmapSourceTransform
{
public:
    ScalingFrame(PixelSize stored, WICPixelFormatGUID format,
                 std::vector<int> divisors = { 2, 4, 8 }, BYTE alpha = 0xff)
        : stored(stored), format(format), divisors(std::move(divisors)), alpha(alpha)
    { }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override
    {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(IWICBitmapSourceTransform))) {
            *out = static_cast<IWICBitmapSourceTransform *>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // It lives on the test's stack: the count is only watched.
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }

    // The smallest size it makes that still holds the size asked for.
    HRESULT STDMETHODCALLTYPE GetClosestSize(UINT *width, UINT *height) override
    {
        if (!width || !height)
            return E_INVALIDARG;
        asked.push_back({ static_cast<int>(*width), static_cast<int>(*height) });
        PixelSize closest = stored;
        for (const int divisor : divisors) {
            const PixelSize made = scaled(divisor);
            if (made.width >= static_cast<int>(*width) && made.height >= static_cast<int>(*height)
                && made.width <= closest.width)
                closest = made;
        }
        *width = static_cast<UINT>(closest.width);
        *height = static_cast<UINT>(closest.height);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID *wanted) override
    {
        if (!wanted)
            return E_INVALIDARG;
        *wanted = format;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform,
                                                   BOOL *supported) override
    {
        *supported = transform == WICBitmapTransformRotate0;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect *rect, UINT width, UINT height,
                                         WICPixelFormatGUID *wanted,
                                         WICBitmapTransformOptions transform, UINT stride,
                                         UINT bufferSize, BYTE *buffer) override
    {
        if (!wanted)
            return E_INVALIDARG;
        const PixelSize size{ static_cast<int>(width), static_cast<int>(height) };
        copies.push_back({ size, *wanted, transform,
                           !rect
                                   || (rect->X == 0 && rect->Y == 0 && rect->Width == size.width
                                       && rect->Height == size.height) });
        if (whileCopying)
            whileCopying();
        if (!makes(size) || !IsEqualGUID(*wanted, format) || !copies.back().wholeFrame)
            return E_INVALIDARG;
        const UINT bytes = IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) ? 3 : 4;
        if (stride < width * bytes || bufferSize < stride * (height - 1) + width * bytes)
            return WINCODEC_ERR_INSUFFICIENTBUFFER;
        for (UINT y = 0; y < height; ++y) {
            BYTE *out = buffer + static_cast<std::size_t>(y) * stride;
            for (UINT x = 0; x < width; ++x, out += bytes) {
                const bool left = x < width / 2;
                out[0] = left ? 0 : 0xff; // blue
                out[1] = 0;
                out[2] = left ? 0xff : 0; // red
                if (bytes == 4)
                    out[3] = alpha;
            }
        }
        return S_OK;
    }

    PixelSize scaled(int divisor) const
    {
        return { (stored.width + divisor - 1) / divisor, (stored.height + divisor - 1) / divisor };
    }

    bool makes(PixelSize size) const
    {
        if (size == stored)
            return true;
        for (const int divisor : divisors) {
            if (scaled(divisor) == size)
                return true;
        }
        return false;
    }

    std::vector<PixelSize> asked;
    std::vector<Copy> copies;
    std::function<void()> whileCopying;
    ULONG references = 1;

private:
    PixelSize stored;
    WICPixelFormatGUID format;
    std::vector<int> divisors;
    BYTE alpha;
};

// A frame whose decoder can scale by nothing.
class FixedFrame final : public IWICBitmapSourceTransform
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void **out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetClosestSize(UINT *, UINT *) override
    {
        return WINCODEC_ERR_UNSUPPORTEDOPERATION;
    }
    HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID *) override
    {
        return WINCODEC_ERR_UNSUPPORTEDOPERATION;
    }
    HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions, BOOL *) override
    {
        return WINCODEC_ERR_UNSUPPORTEDOPERATION;
    }
    HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect *, UINT, UINT, WICPixelFormatGUID *,
                                         WICBitmapTransformOptions, UINT, UINT, BYTE *) override
    {
        return WINCODEC_ERR_UNSUPPORTEDOPERATION;
    }
};

#pragma GCC diagnostic pop

std::string formatName(const WICPixelFormatGUID &format)
{
    if (IsEqualGUID(format, GUID_WICPixelFormat24bppBGR))
        return "24bppBGR";
    if (IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA))
        return "32bppBGRA";
    return "other";
}

std::uint32_t rgbOf(std::uint32_t pixel)
{
    return pixel & 0xffffffu;
}

int channel(std::uint32_t pixel, int shift)
{
    return static_cast<int>((pixel >> shift) & 0xff);
}

// Within a JPEG's error of the colour.
::testing::AssertionResult closeTo(std::uint32_t pixel, testsupport::Rgb colour)
{
    const int differences[] = { std::abs(channel(pixel, 16) - colour.red),
                                std::abs(channel(pixel, 8) - colour.green),
                                std::abs(channel(pixel, 0) - colour.blue) };
    for (const int difference : differences) {
        if (difference > 24) {
            return ::testing::AssertionFailure()
                    << std::hex << "pixel 0x" << rgbOf(pixel) << " is not near " << std::dec
                    << int(colour.red) << "," << int(colour.green) << "," << int(colour.blue);
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(WicTransformSize, TheSmallestScaleThatCoversTheTargetWins)
{
    const struct
    {
        PixelSize stored;
        PixelSize target;
        std::vector<int> divisors;
        PixelSize chosen;
    } rows[] = {
        { { 4000, 3000 }, { 1024, 768 }, { 2, 4, 8 }, { 2000, 1500 } },
        { { 4000, 3000 }, { 1000, 750 }, { 2, 4, 8 }, { 1000, 750 } },
        { { 4000, 3000 }, { 1001, 750 }, { 2, 4, 8 }, { 2000, 1500 } },
        { { 4000, 3000 }, { 1000, 751 }, { 2, 4, 8 }, { 2000, 1500 } },
        { { 4000, 3000 }, { 500, 375 }, { 2, 4, 8 }, { 500, 375 } },
        { { 4000, 3000 }, { 120, 90 }, { 2, 4, 8 }, { 500, 375 } },
        { { 4000, 3000 }, { 2001, 1000 }, { 2, 4, 8 }, { 4000, 3000 } },
        { { 4000, 3000 }, { 4000, 3000 }, { 2, 4, 8 }, { 4000, 3000 } },
        // Odd sides: an eighth of 4001 is 501 rounded up.
        { { 4001, 3001 }, { 501, 376 }, { 2, 4, 8 }, { 501, 376 } },
        { { 4001, 3001 }, { 502, 376 }, { 2, 4, 8 }, { 1001, 751 } },
        // A portrait picture shown on a landscape screen.
        { { 3000, 4000 }, { 576, 768 }, { 2, 4, 8 }, { 750, 1000 } },
        // A decoder that only halves.
        { { 4000, 3000 }, { 500, 375 }, { 2 }, { 2000, 1500 } },
        { { 4000, 3000 }, { 2001, 1500 }, { 2 }, { 4000, 3000 } },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.stored) + " to "
                     + ::testing::PrintToString(row.target));
        ScalingFrame frame(row.stored, GUID_WICPixelFormat24bppBGR, row.divisors);
        EXPECT_EQ(platform::win32::transformSize(frame, row.stored, row.target), row.chosen);
        EXPECT_FALSE(frame.asked.empty());
    }
    FixedFrame fixed;
    EXPECT_EQ(platform::win32::transformSize(fixed, { 4000, 3000 }, { 500, 375 }),
              (PixelSize{ 4000, 3000 }));
}

TEST(WicDecodeScaled, DecodesAtTheChosenSizeAndAveragesToTheTarget)
{
    const struct
    {
        WICPixelFormatGUID format;
        PixelSize target;
        PixelSize decoded;
    } rows[] = {
        { GUID_WICPixelFormat24bppBGR, { 1024, 768 }, { 2000, 1500 } },
        { GUID_WICPixelFormat32bppBGRA, { 1024, 768 }, { 2000, 1500 } },
        // At exactly a size the decoder makes, nothing is averaged.
        { GUID_WICPixelFormat24bppBGR, { 500, 375 }, { 500, 375 } },
        { GUID_WICPixelFormat32bppBGRA, { 1000, 750 }, { 1000, 750 } },
        { GUID_WICPixelFormat24bppBGR, { 333, 250 }, { 500, 375 } },
    };
    const PixelSize stored{ 4000, 3000 };
    for (const auto &row : rows) {
        SCOPED_TRACE(formatName(row.format) + " to " + ::testing::PrintToString(row.target));
        ScalingFrame frame(stored, row.format);
        const std::optional<Bitmap> result
                = platform::win32::decodeScaled(frame, stored, row.target, nullptr);
        ASSERT_TRUE(result);
        ASSERT_EQ(frame.copies.size(), 1U);
        EXPECT_EQ(frame.copies[0].size, row.decoded);
        EXPECT_TRUE(IsEqualGUID(frame.copies[0].format, row.format));
        EXPECT_EQ(frame.copies[0].transform, WICBitmapTransformRotate0);
        EXPECT_EQ(result->size(), row.target);
        EXPECT_FALSE(result->hasAlpha());
        const int width = row.target.width;
        for (const int y : { 0, row.target.height / 2, row.target.height - 1 }) {
            EXPECT_EQ(result->pixel(0, y), 0xffff0000u) << y;
            EXPECT_EQ(result->pixel(width / 2 - 2, y), 0xffff0000u) << y;
            EXPECT_EQ(result->pixel(width / 2 + 2, y), 0xff0000ffu) << y;
            EXPECT_EQ(result->pixel(width - 1, y), 0xff0000ffu) << y;
        }
        EXPECT_EQ(frame.references, 1U);
    }
}

// BGRA is straight alpha; the runtime's pixels are premultiplied.
TEST(WicDecodeScaled, StraightAlphaComesOutPremultiplied)
{
    const PixelSize stored{ 800, 600 };
    ScalingFrame frame(stored, GUID_WICPixelFormat32bppBGRA, { 2, 4, 8 }, 0x80);
    const std::optional<Bitmap> result
            = platform::win32::decodeScaled(frame, stored, { 200, 150 }, nullptr);
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->hasAlpha());
    EXPECT_EQ(result->pixel(10, 10), 0x80800000u);
    EXPECT_EQ(result->pixel(190, 140), 0x80000080u);
}

TEST(WicDecodeScaled, ACancelStopsIt)
{
    const PixelSize stored{ 4000, 3000 };
    std::atomic<bool> cancel{ true };
    ScalingFrame before(stored, GUID_WICPixelFormat24bppBGR);
    EXPECT_FALSE(platform::win32::decodeScaled(before, stored, { 1024, 768 }, &cancel));
    EXPECT_TRUE(before.copies.empty()) << "decoded although cancelled before";

    // The user moves on while the decoder works.
    cancel = false;
    ScalingFrame during(stored, GUID_WICPixelFormat24bppBGR);
    during.whileCopying = [&] { cancel = true; };
    EXPECT_FALSE(platform::win32::decodeScaled(during, stored, { 1024, 768 }, &cancel));
    EXPECT_EQ(during.copies.size(), 1U);

    cancel = false;
    ScalingFrame left(stored, GUID_WICPixelFormat24bppBGR);
    EXPECT_TRUE(platform::win32::decodeScaled(left, stored, { 1024, 768 }, &cancel));
}

TEST(WicDecodeScaled, AFormatItCannotReadIsLeftToTheBandedPath)
{
    const PixelSize stored{ 800, 600 };
    ScalingFrame frame(stored, GUID_WICPixelFormat32bppCMYK);
    EXPECT_FALSE(platform::win32::decodeScaled(frame, stored, { 200, 150 }, nullptr));
    EXPECT_TRUE(frame.copies.empty());
}

// A JPEG of four quarters written to a file and opened by the system's own
// decoder.
class WicFrame : public ::testing::Test
{
protected:
    void open(int width, int height)
    {
        testsupport::JpegOptions options;
        options.quality = 95;
        options.colours = testsupport::JpegColours::YCbCr444;
        // A name of its own each time: the decoder before holds its file open.
        const std::string path = folder.write(
                "quarters " + std::to_string(++opened) + ".jpg",
                testsupport::jpegBytes(
                        width, height,
                        [&](int x, int y) { return quarter(x * 2 >= width, y * 2 >= height); },
                        options));
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr,
                                               CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))));
        ComPtr<IWICBitmapDecoder> decoder;
        ASSERT_TRUE(SUCCEEDED(factory->CreateDecoderFromFilename(
                platform::win32::wide(path).c_str(), nullptr, GENERIC_READ,
                WICDecodeMetadataCacheOnDemand, &decoder)));
        ASSERT_TRUE(SUCCEEDED(decoder->GetFrame(0, &frame)));
        UINT w = 0;
        UINT h = 0;
        ASSERT_TRUE(SUCCEEDED(frame->GetSize(&w, &h)));
        stored = { static_cast<int>(w), static_cast<int>(h) };
        ASSERT_EQ(stored, (PixelSize{ width, height }));
    }

    static testsupport::Rgb quarter(bool right, bool bottom)
    {
        if (bottom)
            return right ? testsupport::yellow : testsupport::green;
        return right ? testsupport::blue : testsupport::red;
    }

    testsupport::TempFolder folder;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmapFrameDecode> frame;
    PixelSize stored;
    int opened = 0;
};

TEST_F(WicFrame, TheBandedPathGivesTheSameColoursAtTheTargetSize)
{
    const struct
    {
        PixelSize stored;
        PixelSize target;
    } rows[] = {
        { { 640, 480 }, { 160, 120 } },
        // Not a whole ratio, and bands of 64 rows that do not fill the last.
        { { 300, 200 }, { 97, 65 } },
        { { 130, 70 }, { 130, 70 } },
        { { 64, 640 }, { 16, 160 } },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.stored) + " to "
                     + ::testing::PrintToString(row.target));
        open(row.stored.width, row.stored.height);
        const std::optional<Bitmap> result = platform::win32::decodeInBands(
                *factory.Get(), *frame.Get(), stored, row.target, nullptr);
        ASSERT_TRUE(result);
        ASSERT_EQ(result->size(), row.target);
        EXPECT_FALSE(result->hasAlpha());
        const int w = row.target.width;
        const int h = row.target.height;
        for (const bool bottom : { false, true }) {
            for (const bool right : { false, true }) {
                const int x = right ? w - 1 - w / 8 : w / 8;
                const int y = bottom ? h - 1 - h / 8 : h / 8;
                EXPECT_TRUE(closeTo(result->pixel(x, y), quarter(right, bottom)))
                        << "at " << x << "," << y;
                EXPECT_EQ(result->pixel(x, y) >> 24, 0xffu);
            }
        }
    }
}

TEST_F(WicFrame, ACancelStopsTheBandedPath)
{
    open(640, 480);
    std::atomic<bool> cancel{ true };
    EXPECT_FALSE(platform::win32::decodeInBands(*factory.Get(), *frame.Get(), stored, { 160, 120 },
                                                &cancel));
    cancel = false;
    EXPECT_TRUE(platform::win32::decodeInBands(*factory.Get(), *frame.Get(), stored, { 160, 120 },
                                               &cancel));
}

std::size_t peakWorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}

// Wine's decoder would take the whole claimed picture (12 GB at four bytes
// a pixel) before it failed: the size is checked from the file first.
TEST(WicHugeClaim, APictureClaiming65500By65500IsRefusedWithoutTheMemory)
{
    std::string bytes = testsupport::jpegBytes(16, 16);
    const std::size_t frame = bytes.find("\xff\xc0", 0, 2);
    ASSERT_NE(frame, std::string::npos);
    for (const std::size_t at : { frame + 5, frame + 7 }) {
        bytes[at] = static_cast<char>(0xff);
        bytes[at + 1] = static_cast<char>(0xdc);
    }
    testsupport::TempFolder folder;
    const std::string path = folder.write("huge.jpg", bytes);

    const std::size_t before = peakWorkingSet();
    EXPECT_THROW(platform::LoadPicture(path), platform::RuntimeError);
    const std::size_t after = peakWorkingSet();
    EXPECT_LT(after - before, std::size_t{ 64 } << 20)
            << "the peak working set grew by " << ((after - before) >> 20) << " MiB";
    // The same picture at its true size loads.
    EXPECT_NO_THROW(
            platform::LoadPicture(folder.write("small.jpg", testsupport::jpegBytes(16, 16))));
}

} // namespace
