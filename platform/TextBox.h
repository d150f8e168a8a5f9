// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Alignment.h"
#include "platform/Control.h"

#include <string>
#include <string_view>

namespace platform {

// A one-line text field of at most 32767 characters. A text set by the
// program reads back exactly as set, whatever bytes it holds, until the
// user edits it.
class TextBox : public Control
{
public:
    explicit TextBox(Container &parent);

    std::string text() const { return content; }
    void setText(std::string_view text);
    void setAlignment(Alignment alignment);

private:
    void textEdited(const std::string &text) override;

    backend::TextBoxPeer *peer;
    std::string content;
};

} // namespace platform
