// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/PictureDecoder.h"

#include "platform/detail/AreaScaler.h"
#include "platform/detail/ColourConverter.h"
#include "platform/detail/Exif.h"
#include "platform/detail/GifDecoder.h"
#include "platform/detail/JpegDecoder.h"
#include "platform/detail/PictureFile.h"

namespace platform::detail {

PixelSize decodeSize(PixelSize stored, bool transposed, PixelSize screen)
{
    const PixelSize limit = transposed ? screen.transposed() : screen;
    return { std::min(stored.width, std::max(1, limit.width)),
             std::min(stored.height, std::max(1, limit.height)) };
}

std::shared_ptr<PictureData> decodePicture(const PictureFile &file, PixelSize screen,
                                           PixelSize likely, const std::atomic<bool> *cancel)
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
    if (decoded->colour)
        decoded->colour->apply(decoded->image);
    auto data = std::make_shared<PictureData>();
    data->displayGeneration = display;
    data->image = upright(std::move(decoded->image), orientation);
    if (data->image.empty())
        return nullptr;
    data->size = transposes(orientation) ? decoded->stored.transposed() : decoded->stored;
    const PixelSize image = data->image.size();
    if (!likely.empty() && likely != image && likely.width <= image.width
        && likely.height <= image.height)
        data->prescaled = shrink(data->image, likely);
    return data;
}

} // namespace platform::detail
