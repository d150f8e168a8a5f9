// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Picture.h"

#include "platform/RuntimeError.h"
#include "platform/detail/PictureData.h"
#include "platform/detail/ScreenSize.h"
#include "platform/detail/Text.h"

#include <QFile>
#include <QImageReader>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace detail {

QSize decodeSize(QSize stored, bool transposed, QSize screen)
{
    const QSize limit = transposed ? screen.transposed() : screen;
    return QSize(std::min(stored.width(), std::max(1, limit.width())),
                 std::min(stored.height(), std::max(1, limit.height())));
}

} // namespace detail

namespace {

// Opens without blocking, so a pipe or device named like a picture cannot
// hang the program, and refuses anything but a regular file.
int openRegularFile(const QByteArray &path)
{
    const int descriptor = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0)
        raise(ErrorNumber::FileNotFound);
    struct stat status = {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        raise(ErrorNumber::InvalidPicture);
    }
    return descriptor;
}

bool transposes(QImageIOHandler::Transformations transformation)
{
    return transformation.testFlag(QImageIOHandler::TransformationRotate90);
}

} // namespace

Picture::Picture() = default;
Picture::~Picture() = default;
Picture::Picture(const Picture &) = default;
Picture &Picture::operator=(const Picture &) = default;
Picture::Picture(std::shared_ptr<const detail::PictureData> data) : data(std::move(data)) { }

Long Picture::width() const
{
    return data ? data->size.width() * HimetricPerPixel : 0;
}

Long Picture::height() const
{
    return data ? data->size.height() * HimetricPerPixel : 0;
}

bool Picture::empty() const
{
    return !data;
}

Picture LoadPicture(std::string_view path)
{
    if (path.empty())
        raise(ErrorNumber::FileNotFound);
    QFile file;
    if (!file.open(openRegularFile(QFile::encodeName(detail::toQString(path))), QIODevice::ReadOnly,
                   QFileDevice::AutoCloseHandle))
        raise(ErrorNumber::FileNotFound);

    // No file name reaches the reader: the content decides the format.
    QImageReader reader(&file);
    const QByteArray format = reader.format();
    if (format != "gif" && format != "jpeg")
        raise(ErrorNumber::InvalidPicture);
    const QSize stored = reader.size();
    if (!stored.isValid() || stored.isEmpty())
        raise(ErrorNumber::InvalidPicture);
    const bool transposed = transposes(reader.transformation());

    const QSize decoded = detail::decodeSize(stored, transposed, detail::screenDevicePixels());
    if (decoded != stored)
        reader.setScaledSize(decoded);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull() || image.width() == 0 || image.height() == 0)
        raise(ErrorNumber::InvalidPicture);
    image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                            : QImage::Format_RGB32);

    auto data = std::make_shared<detail::PictureData>();
    data->image = std::move(image);
    data->size = transposed ? stored.transposed() : stored;
    return detail::PictureData::make(std::move(data));
}

} // namespace platform
