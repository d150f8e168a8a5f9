// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Picture.h"

#include "platform/RuntimeError.h"
#include "platform/detail/PictureCache.h"
#include "platform/detail/PictureData.h"
#include "platform/detail/PictureDecoder.h"
#include "platform/detail/ScreenSize.h"
#include "platform/detail/Text.h"

#include <QFile>

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
int openRegularFile(const QByteArray &path, struct stat &status)
{
    const int descriptor = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0)
        raise(ErrorNumber::FileNotFound);
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        raise(ErrorNumber::InvalidPicture);
    }
    return descriptor;
}

class Descriptor
{
public:
    explicit Descriptor(int value) : value(value) { }
    ~Descriptor() { ::close(value); }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return value; }

private:
    int value;
};

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

// The file is opened, and its identity read, before the cache is asked:
// a picture decoded ahead is only used for the file as it is now, and a
// file gone since is not found, as without the cache.
Picture LoadPicture(std::string_view path)
{
    if (path.empty())
        raise(ErrorNumber::FileNotFound);
    const std::string name(path);
    struct stat status = {};
    const Descriptor file(openRegularFile(QFile::encodeName(detail::toQString(path)), status));
    const QSize screen = detail::screenDevicePixels();
    if (auto ahead
        = detail::PictureCache::instance().find(name, detail::identityOf(status), screen))
        return detail::PictureData::make(std::move(ahead));
    std::shared_ptr<detail::PictureData> data = detail::decodePicture(file.get(), screen);
    if (!data)
        raise(ErrorNumber::InvalidPicture);
    return detail::PictureData::make(std::move(data));
}

} // namespace platform
