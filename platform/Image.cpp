// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Image.h"

#include "platform/detail/ImageWidget.h"
#include "platform/detail/PictureData.h"

namespace platform {

Image::Image(Container &parent) : Control(parent, new ImageWidget) { }

ImageWidget *Image::imageWidget() const
{
    return static_cast<ImageWidget *>(widget());
}

void Image::setPicture(const Picture &picture)
{
    shown = picture;
    imageWidget()->setPicture(detail::PictureData::of(picture));
}

bool Image::stretch() const
{
    return imageWidget()->stretch();
}

void Image::setStretch(bool value)
{
    imageWidget()->setStretch(value);
}

void Image::onClick(std::function<void()> handler)
{
    imageWidget()->setClickHandler(std::move(handler));
}

} // namespace platform
