// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/backend/Pictures.h"

#include "platform/detail/AreaScaler.h"
#include "platform/detail/Exif.h"
#include "platform/detail/PictureData.h"
#include "platform/detail/PictureFile.h"
#include "platform/qt/JpegDecoder.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

#include <cstring>

#include <unistd.h>

namespace platform::qt {

namespace {

using detail::Bitmap;
using detail::PixelSize;

// GIFs are small enough for Qt's reader: it decodes the frame at full size,
// and the rows are averaged down here as they are copied out, rather than
// by Qt, whose smooth scaling borrows the application's shared threads.
std::optional<backend::DecodedPicture> decodeGif(const detail::PictureFile &file, PixelSize screen)
{
    const int own = ::dup(static_cast<int>(file.handle()));
    if (own < 0)
        return std::nullopt;
    QFile device;
    if (!device.open(own, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(own);
        return std::nullopt;
    }
    device.seek(0);
    // No file name reaches the reader: the content decides the format.
    QImageReader reader(&device);
    if (reader.format() != "gif")
        return std::nullopt;
    const QSize storedSize = reader.size();
    if (!storedSize.isValid() || storedSize.isEmpty())
        return std::nullopt;
    QImage image = reader.read();
    if (image.isNull() || image.width() == 0 || image.height() == 0)
        return std::nullopt;
    const bool alpha = image.hasAlphaChannel();
    image.convertTo(alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    const PixelSize stored{ storedSize.width(), storedSize.height() };
    const PixelSize target = detail::decodeSize(stored, false, screen);
    if (target.width > image.width() || target.height > image.height())
        image = image.scaled(target.width, target.height, Qt::IgnoreAspectRatio,
                             Qt::SmoothTransformation);
    Bitmap pixels(target, alpha);
    if (pixels.empty())
        return std::nullopt;
    if (image.width() == target.width && image.height() == target.height) {
        for (int y = 0; y < target.height; ++y)
            std::memcpy(pixels.row(y), image.constScanLine(y),
                        static_cast<std::size_t>(target.width) * 4);
    } else {
        detail::AreaScaler scaler({ image.width(), image.height() }, pixels);
        for (int y = 0; y < image.height(); ++y)
            scaler.addRow(reinterpret_cast<const std::uint32_t *>(image.constScanLine(y)));
    }
    return backend::DecodedPicture{ std::move(pixels), stored };
}

} // namespace

} // namespace platform::qt

namespace platform::backend {

std::optional<DecodedPicture> decodePicture(const detail::PictureFile &file,
                                            detail::PixelSize screen, bool transposed,
                                            const std::atomic<bool> *cancel)
{
    if (detail::startsLikeJpeg(file))
        return qt::decodeJpeg(static_cast<int>(file.handle()), screen, transposed, cancel);
    return qt::decodeGif(file, screen);
}

} // namespace platform::backend
