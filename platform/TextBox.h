// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Control.h"
#include "platform/Label.h"

#include <string>
#include <string_view>

namespace platform {

// A one-line text field.
class TextBox : public Control
{
public:
    explicit TextBox(Container &parent);

    std::string text() const;
    void setText(std::string_view text);
    void setAlignment(Alignment alignment);
};

} // namespace platform
