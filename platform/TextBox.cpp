// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/TextBox.h"

namespace platform {

TextBox::TextBox(Container &parent) : peer(attach(backend::createTextBox(peerOf(parent), events())))
{ }

void TextBox::setText(std::string_view text)
{
    content = text;
    peer->setText(text);
}

void TextBox::setAlignment(Alignment alignment)
{
    peer->setAlignment(alignment);
}

void TextBox::textEdited(const std::string &text)
{
    content = text;
}

} // namespace platform
