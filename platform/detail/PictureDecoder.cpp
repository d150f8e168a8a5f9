// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/PictureDecoder.h"

#include "platform/detail/AreaScaler.h"
#include "platform/detail/JpegDecoder.h"

#include <QFile>
#include <QImageReader>

#include <cerrno>
#include <unistd.h>

namespace platform::detail {

namespace {

// Every JPEG starts with a start-of-image marker; that alone decides, as
// it does for Qt's own reader.
bool startsLikeJpeg(int descriptor)
{
    unsigned char start[2] = {};
    ssize_t count;
    do
        count = ::pread(descriptor, start, sizeof start, 0);
    while (count < 0 && errno == EINTR);
    return count == 2 && start[0] == 0xff && start[1] == 0xd8;
}

// GIFs are small enough for Qt's reader: it decodes the frame at full size,
// and the copy is shrunk here rather than by Qt, whose smooth scaling
// borrows the application's shared threads.
std::shared_ptr<PictureData> decodeGif(int descriptor, QSize screen)
{
    const int own = ::dup(descriptor);
    if (own < 0)
        return nullptr;
    QFile file;
    if (!file.open(own, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(own);
        return nullptr;
    }
    // No file name reaches the reader: the content decides the format.
    QImageReader reader(&file);
    if (reader.format() != "gif")
        return nullptr;
    const QSize stored = reader.size();
    if (!stored.isValid() || stored.isEmpty())
        return nullptr;
    QImage image = reader.read();
    if (image.isNull() || image.width() == 0 || image.height() == 0)
        return nullptr;
    image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                            : QImage::Format_RGB32);
    const QSize decoded = decodeSize(stored, false, screen);
    if (image.size() != decoded) {
        image = decoded.width() <= image.width() && decoded.height() <= image.height()
                ? shrink(image, decoded)
                : image.scaled(decoded, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    auto data = std::make_shared<PictureData>();
    data->image = std::move(image);
    data->size = stored;
    return data;
}

} // namespace

std::shared_ptr<PictureData> decodePicture(int descriptor, QSize screen, QSize likely,
                                           const std::atomic<bool> *cancel)
{
    std::shared_ptr<PictureData> data;
    if (startsLikeJpeg(descriptor)) {
        std::optional<DecodedJpeg> jpeg = decodeJpeg(descriptor, screen, cancel);
        if (!jpeg)
            return nullptr;
        data = std::make_shared<PictureData>();
        data->image = std::move(jpeg->image);
        data->size = jpeg->size;
    } else {
        data = decodeGif(descriptor, screen);
        if (!data)
            return nullptr;
    }
    const QSize image = data->image.size();
    if (likely.isValid() && !likely.isEmpty() && likely != image && likely.width() <= image.width()
        && likely.height() <= image.height())
        data->prescaled = shrink(data->image, likely);
    return data;
}

} // namespace platform::detail
