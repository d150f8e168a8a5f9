// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/AreaScaler.h"
#include "platform/detail/PictureData.h"
#include "platform/detail/ScreenSize.h"
#include "platform/win32/App.h"
#include "platform/win32/Controls.h"
#include "platform/win32/Window.h"

#include <chrono>
#include <memory>
#include <utility>
#include <vector>

namespace platform::win32 {

namespace {

constexpr wchar_t ImageClass[] = L"PelorinImage";
constexpr UINT_PTR SettleTimer = 1;
// As the window judges its own steps: the smooth copy is never made
// between two late steps of an opening.
constexpr int SettleMilliseconds = static_cast<int>(Window::SettlingTime.count());
// A quick stretch's band: a megabyte.
constexpr int BandPixels = 256 * 1024;

using detail::Bitmap;
using detail::PixelSize;

BITMAPINFO describe(PixelSize size)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.width;
    // Rows from the top, as the bitmap holds them.
    info.bmiHeader.biHeight = -size.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

BITMAPINFO describe(const Bitmap &bitmap)
{
    return describe(bitmap.size());
}

// A picture with transparency, drawn over the window's colour once, so
// that every later drawing is a plain copy.
Bitmap overBackground(const Bitmap &picture)
{
    Bitmap opaque(picture.size(), false);
    if (opaque.empty())
        return opaque;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const unsigned background[3] = { GetBValue(face), GetGValue(face), GetRValue(face) };
    for (int y = 0; y < picture.height(); ++y) {
        const std::uint32_t *in = picture.row(y);
        std::uint32_t *out = opaque.row(y);
        for (int x = 0; x < picture.width(); ++x) {
            const std::uint32_t pixel = in[x];
            const unsigned alpha = pixel >> 24;
            std::uint32_t blended = 0xff000000u;
            for (int channel = 0; channel < 3; ++channel) {
                const unsigned value = (pixel >> (8 * channel)) & 0xff;
                const unsigned mixed = value + background[channel] * (255 - alpha) / 255;
                blended |= std::min(mixed, 255u) << (8 * channel);
            }
            out[x] = blended;
        }
    }
    return opaque;
}

// Larger than the picture on a side: Windows' halftone stretch smooths it.
Bitmap stretchSmoothly(const Bitmap &picture, PixelSize size)
{
    Bitmap result(size, false);
    if (result.empty())
        return result;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO target = describe(result);
    void *bits = nullptr;
    const HBITMAP dib = CreateDIBSection(screen, &target, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib && bits) {
        const HGDIOBJ old = SelectObject(memory, dib);
        SetStretchBltMode(memory, HALFTONE);
        SetBrushOrgEx(memory, 0, 0, nullptr);
        const BITMAPINFO source = describe(picture);
        StretchDIBits(memory, 0, 0, size.width, size.height, 0, 0, picture.width(),
                      picture.height(), picture.data(), &source, DIB_RGB_COLORS, SRCCOPY);
        GdiFlush();
        const auto *pixels = static_cast<const std::uint32_t *>(bits);
        for (int y = 0; y < size.height; ++y) {
            std::uint32_t *out = result.row(y);
            for (int x = 0; x < size.width; ++x)
                out[x] = pixels[static_cast<std::size_t>(y) * size.width + x] | 0xff000000u;
        }
        SelectObject(memory, old);
    }
    if (dib)
        DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return result;
}

Bitmap scaledSmoothly(const Bitmap &picture, PixelSize size)
{
    if (size.width <= picture.width() && size.height <= picture.height())
        return detail::shrink(picture, size);
    return stretchSmoothly(picture, size);
}

// Draws a picture stretched over the whole control. While the control's
// size keeps changing (the opening) it draws a quick unfiltered stretch;
// once the size has held for a moment, a smooth copy made once for that
// size, in one blit. A new picture is never held back for scaling: it is
// drawn at once from a copy that already fits (the picture itself, or the
// one decoded ahead for the likely size), or unfiltered, with the smooth
// copy made right after that first paint.
class ImageView : public ControlPeer<backend::ImagePeer>
{
public:
    ImageView(backend::ContainerPeer &parent, backend::ControlEvents &events)
        : ControlPeer(parent, events)
    {
        registerClass();
        adopt(CreateWindowExW(0, ImageClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parentArea(),
                              nullptr, instance(), this));
        reportMouseButtons();
    }

    void setPicture(std::shared_ptr<const detail::PictureData> newPicture) override
    {
        picture = std::move(newPicture);
        opaque = picture && picture->image.hasAlpha() ? overBackground(picture->image) : Bitmap();
        smooth = Bitmap();
        fresh = true;
        adoptFittingCopy();
        InvalidateRect(handle(), nullptr, FALSE);
    }

    void setStretch(bool value) override
    {
        stretched = value;
        smooth = Bitmap();
        InvalidateRect(handle(), nullptr, TRUE);
    }

private:
    static void registerClass()
    {
        static const bool registered = [] {
            WNDCLASSEXW windowClass{};
            windowClass.cbSize = sizeof windowClass;
            windowClass.lpfnWndProc = &ImageView::procedure;
            windowClass.hInstance = instance();
            windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
            windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
            windowClass.lpszClassName = ImageClass;
            return RegisterClassExW(&windowClass) != 0;
        }();
        (void)registered;
    }

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            const auto *create = reinterpret_cast<const CREATESTRUCTW *>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto *self = reinterpret_cast<ImageView *>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self) {
            switch (message) {
            case WM_PAINT:
                self->paint();
                return 0;
            case WM_ERASEBKGND:
                // A stretched opaque picture covers every pixel.
                if (self->picture && self->stretched)
                    return 1;
                break;
            case WM_SIZE:
                self->resized();
                return 0;
            case WM_TIMER:
                if (wParam == SettleTimer) {
                    KillTimer(window, SettleTimer);
                    self->settle();
                    return 0;
                }
                break;
            case WM_NCDESTROY:
                SetWindowLongPtrW(window, GWLP_USERDATA, 0);
                break;
            default:
                break;
            }
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    const Bitmap &pixels() const { return opaque.empty() ? picture->image : opaque; }

    PixelSize deviceSize() const
    {
        RECT rect{};
        GetClientRect(handle(), &rect);
        return { rect.right - rect.left, rect.bottom - rect.top };
    }

    // A copy the size of the control is made only when the control is no
    // larger than the screen: the picture can be set far larger for a
    // moment, and only the part inside the window is ever seen.
    bool cacheable() const
    {
        const PixelSize size = deviceSize();
        const PixelSize screen = detail::screenDevicePixels();
        return stretched && !size.empty() && size.width <= 2 * screen.width
                && size.height <= 2 * screen.height;
    }

    void settledAt(PixelSize size)
    {
        if (IsWindowVisible(handle()))
            events().pictureSettled(size);
    }

    // Takes the picture itself or its copy decoded ahead when either is
    // exactly the control's size: no scaling at all.
    bool adoptFittingCopy()
    {
        if (!picture || !cacheable())
            return false;
        const PixelSize size = deviceSize();
        if (!smooth.empty() && smooth.size() == size)
            return true;
        if (pixels().size() == size)
            smooth = pixels();
        else if (opaque.empty() && picture->prescaled.size() == size)
            smooth = picture->prescaled;
        else
            return false;
        settledAt(size);
        return true;
    }

    void settle()
    {
        if (!picture || !cacheable()) {
            smooth = Bitmap();
            return;
        }
        if (!adoptFittingCopy()) {
            const PixelSize size = deviceSize();
            smooth = scaledSmoothly(pixels(), size);
            settledAt(size);
        }
        InvalidateRect(handle(), nullptr, FALSE);
    }

    void resized()
    {
        if (!smooth.empty() && smooth.size() != deviceSize())
            smooth = Bitmap();
        adoptFittingCopy();
        // Sizes coming quicker than the settling time are an animation; a
        // single resize (a picture fitted on its change) is not.
        const auto now = std::chrono::steady_clock::now();
        animating = now - lastResize < std::chrono::milliseconds(SettleMilliseconds);
        lastResize = now;
        SetTimer(handle(), SettleTimer, SettleMilliseconds, nullptr);
        InvalidateRect(handle(), nullptr, FALSE);
    }

    void paint()
    {
        PAINTSTRUCT paintInfo;
        const HDC dc = BeginPaint(handle(), &paintInfo);
        if (picture) {
            const PixelSize size = deviceSize();
            if (!stretched) {
                const BITMAPINFO info = describe(pixels());
                SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(pixels().width()),
                                  static_cast<DWORD>(pixels().height()), 0, 0, 0,
                                  static_cast<UINT>(pixels().height()), pixels().data(), &info,
                                  DIB_RGB_COLORS);
            } else if (adoptFittingCopy()) {
                fresh = false;
                const BITMAPINFO info = describe(smooth);
                SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(smooth.width()),
                                  static_cast<DWORD>(smooth.height()), 0, 0, 0,
                                  static_cast<UINT>(smooth.height()), smooth.data(), &info,
                                  DIB_RGB_COLORS);
            } else {
                drawQuickly(dc, size);
                SetTimer(handle(), SettleTimer,
                         std::exchange(fresh, false) && !animating ? USER_TIMER_MINIMUM
                                                                   : SettleMilliseconds,
                         nullptr);
            }
        }
        EndPaint(handle(), &paintInfo);
    }

    // Unfiltered: cheap enough for every step of an animation, and
    // replaced by the smooth copy once it settles, or, for a new picture,
    // as soon as this paint is on screen. The stretch is made here, a band
    // of rows at a time and only where the window is seen, and copied as
    // it is: GDI's own stretch costs three times as much under Wine, where
    // it was most of an opening step on a 4K screen.
    void drawQuickly(HDC dc, PixelSize size)
    {
        const Bitmap &prescaled = picture->prescaled;
        const bool prescaledCovers = opaque.empty() && prescaled.width() >= size.width
                && prescaled.height() >= size.height;
        // The smaller source of the two, when it has enough pixels: fewer
        // rows to fetch from.
        const Bitmap &source = prescaledCovers ? prescaled : pixels();
        RECT seen{};
        const RECT whole{ 0, 0, size.width, size.height };
        if (GetClipBox(dc, &seen) == ERROR || !IntersectRect(&seen, &seen, &whole))
            return;
        const int width = seen.right - seen.left;
        const int rows = std::max(1, BandPixels / width);
        for (int top = seen.top; top < seen.bottom; top += rows) {
            const int count = std::min(rows, static_cast<int>(seen.bottom) - top);
            if (!detail::stretchNearest(source, size, { seen.left, top, width, count }, band))
                break;
            const BITMAPINFO info = describe(PixelSize{ width, count });
            SetDIBitsToDevice(dc, seen.left, top, static_cast<DWORD>(width),
                              static_cast<DWORD>(count), 0, 0, 0, static_cast<UINT>(count),
                              band.data(), &info, DIB_RGB_COLORS);
        }
    }

    std::shared_ptr<const detail::PictureData> picture;
    Bitmap opaque;
    Bitmap smooth;
    // A band of the quick stretch's rows, kept for the next.
    std::vector<std::uint32_t> band;
    bool stretched = false;
    // A picture set since the last paint.
    bool fresh = false;
    bool animating = false;
    std::chrono::steady_clock::time_point lastResize;
};

} // namespace

} // namespace platform::win32

namespace platform::backend {

std::unique_ptr<ImagePeer> createImage(ContainerPeer &parent, ControlEvents &events)
{
    return std::make_unique<win32::ImageView>(parent, events);
}

} // namespace platform::backend
