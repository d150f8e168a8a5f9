// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/CommandButton.h"

#include "platform/detail/Dispatch.h"

namespace platform {

CommandButton::CommandButton(Container &parent)
    : peer(attach(backend::createButton(peerOf(parent), events())))
{ }

void CommandButton::setCaption(std::string_view caption)
{
    text = caption;
    peer->setCaption(caption);
}

void CommandButton::onClick(std::function<void()> handler)
{
    clickHandler = std::move(handler);
}

void CommandButton::clicked()
{
    detail::dispatch(clickHandler);
}

} // namespace platform
