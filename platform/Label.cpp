// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Label.h"

#include "platform/detail/Dispatch.h"

namespace platform {

Label::Label(Container &parent) : peer(attach(backend::createLabel(peerOf(parent), events()))) { }

void Label::setCaption(std::string_view caption)
{
    text = caption;
    peer->setText(caption);
}

void Label::setAlignment(Alignment alignment)
{
    peer->setAlignment(alignment);
}

void Label::setFont(const Font &font)
{
    peer->setFont(font);
}

void Label::setForeColor(Long color)
{
    peer->setForeColor(color);
}

void Label::onClick(std::function<void()> handler)
{
    clickHandler = std::move(handler);
}

void Label::mousePressed()
{
    click.pressed();
}

void Label::mouseReleased(bool inside)
{
    if (click.released(inside))
        detail::dispatch(clickHandler);
}

} // namespace platform
