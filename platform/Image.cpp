// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Image.h"

#include "platform/detail/DecodeAhead.h"
#include "platform/detail/Dispatch.h"
#include "platform/detail/PictureData.h"

namespace platform {

Image::Image(Container &parent) : peer(attach(backend::createImage(peerOf(parent), events()))) { }

void Image::setPicture(const Picture &picture)
{
    shown = picture;
    peer->setPicture(detail::PictureData::of(picture));
}

void Image::setStretch(bool value)
{
    peer->setStretch(value);
}

void Image::onClick(std::function<void()> handler)
{
    clickHandler = std::move(handler);
}

void Image::mousePressed()
{
    click.pressed();
}

void Image::mouseReleased(bool inside)
{
    if (click.released(inside))
        detail::dispatch(clickHandler);
}

// Where a show's pictures are drawn, so the size the next one is likely
// drawn at: the decode ahead scales it to this size on its worker.
void Image::pictureSettled(detail::PixelSize devicePixels)
{
    detail::DecodeAhead::instance().shownAt(devicePixels);
}

} // namespace platform
