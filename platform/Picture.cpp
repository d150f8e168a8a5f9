// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Picture.h"

#include "platform/RuntimeError.h"
#include "platform/detail/DecodeAhead.h"
#include "platform/detail/PictureData.h"
#include "platform/detail/PictureDecoder.h"
#include "platform/detail/PictureFile.h"
#include "platform/detail/ScreenSize.h"

namespace platform {

Picture::Picture() = default;
Picture::~Picture() = default;
Picture::Picture(const Picture &) = default;
Picture &Picture::operator=(const Picture &) = default;
Picture::Picture(std::shared_ptr<const detail::PictureData> data) : data(std::move(data)) { }

Long Picture::width() const
{
    return data ? data->size.width * HimetricPerPixel : 0;
}

Long Picture::height() const
{
    return data ? data->size.height * HimetricPerPixel : 0;
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
    const detail::PictureFile file(path);
    if (file.status() == detail::PictureFile::Status::Missing)
        raise(ErrorNumber::FileNotFound);
    if (file.status() != detail::PictureFile::Status::Open)
        raise(ErrorNumber::InvalidPicture);
    const detail::PixelSize screen = detail::screenDevicePixels();
    if (auto ahead
        = detail::DecodeAhead::instance().take(std::string(path), file.identity(), screen))
        return detail::PictureData::make(std::move(ahead));
    std::shared_ptr<detail::PictureData> data = detail::decodePicture(file, screen);
    if (!data)
        raise(ErrorNumber::InvalidPicture);
    return detail::PictureData::make(std::move(data));
}

} // namespace platform
