// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/PictureDecoder.h"

#include "platform/detail/AreaScaler.h"
#include "platform/detail/ColourConverter.h"
#include "platform/detail/Exif.h"
#include "platform/detail/GifDecoder.h"
#include "platform/detail/JpegDecoder.h"
#include "platform/detail/PictureFile.h"

#include <algorithm>
#include <new>
#include <stdexcept>

namespace platform::detail {

namespace {

// What libjpeg gives rows it has no data for.
constexpr std::uint32_t MissingData = 0xff808080u;

std::shared_ptr<PictureData> decode(const PictureFile &file, PixelSize screen, PixelSize likely,
                                    const std::atomic<bool> *cancel)
{
    // Read first: a display changed meanwhile makes the picture one for
    // the old display, which is then not handed out.
    const std::uint64_t display = ColourConverter::instance().displayGeneration();
    // The bytes decide the format, whatever the name says.
    const bool jpeg = startsLikeJpeg(file);
    JpegHeader header;
    if (jpeg) {
        header = readJpegHeader(file);
        if (header.profile.empty() && header.adobeRgb)
            header.profile = ColourConverter::adobeRgb();
    }
    const int orientation = header.orientation;
    std::optional<DecodedPicture> decoded = jpeg
            ? decodeJpeg(file, screen, transposes(orientation), cancel, header.profile)
            : decodeGif(file, screen, cancel);
    if (!decoded || decoded->stored.empty() || decoded->image.empty())
        return nullptr;
    // At screen size, so that a large photo costs no more to convert than
    // a small one; before anything is averaged with transparency.
    Bitmap &image = decoded->image;
    if (decoded->colour)
        decoded->colour->apply(image);
    for (int y = std::max(decoded->completeRows, 0); y < image.height(); ++y)
        std::fill(image.row(y), image.row(y) + image.width(), MissingData);
    auto data = std::make_shared<PictureData>();
    data->displayGeneration = display;
    data->image = upright(std::move(image), orientation);
    if (data->image.empty())
        return nullptr;
    data->size = transposes(orientation) ? decoded->stored.transposed() : decoded->stored;
    const PixelSize size = data->image.size();
    if (!likely.empty() && likely != size && likely.width <= size.width
        && likely.height <= size.height)
        data->prescaled = shrink(data->image, likely);
    return data;
}

} // namespace

PixelSize decodeSize(PixelSize stored, bool transposed, PixelSize screen)
{
    const PixelSize limit = transposed ? screen.transposed() : screen;
    return { std::min(stored.width, std::max(1, limit.width)),
             std::min(stored.height, std::max(1, limit.height)) };
}

std::shared_ptr<PictureData> decodePicture(const PictureFile &file, PixelSize screen,
                                           PixelSize likely, const std::atomic<bool> *cancel)
{
    // A picture that needs more memory than there is to spare is one that
    // cannot be shown now, on the worker as on the tick.
    try {
        return decode(file, screen, likely, cancel);
    } catch (const std::bad_alloc &) {
        return nullptr;
    } catch (const std::length_error &) {
        return nullptr;
    }
}

} // namespace platform::detail
