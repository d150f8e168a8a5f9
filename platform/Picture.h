// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Values.h"

#include <memory>
#include <string_view>

namespace platform {

namespace detail {
struct Access;
struct PictureData;
} // namespace detail

// A whole number of HIMETRIC units a pixel (close to 96 dots per inch), so
// that every picture's sides keep their exact proportion.
inline constexpr Long HimetricPerPixel = 26;

// A loaded picture. Copies share the decoded pixels.
class Picture
{
public:
    Picture();
    ~Picture();
    Picture(const Picture &);
    Picture &operator=(const Picture &);

    // The picture's own size in HIMETRIC, after its EXIF orientation; 0 for
    // no picture.
    Long width() const;
    Long height() const;
    bool empty() const;

private:
    friend struct detail::Access;
    friend struct detail::PictureData;
    explicit Picture(std::shared_ptr<const detail::PictureData> data);
    std::shared_ptr<const detail::PictureData> data;
};

// Reads a GIF (its first frame) or a JPEG, whatever its name says. The
// pixels are decoded no larger than the screen needs. File not found when
// the file cannot be opened; Invalid picture when it is not a regular file,
// not a GIF or JPEG, has a side of zero or cannot be decoded.
Picture LoadPicture(std::string_view path);

} // namespace platform
