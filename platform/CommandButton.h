// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Control.h"

#include <functional>
#include <string>
#include <string_view>

namespace platform {

// A push button. It is never the window's default or cancel button.
class CommandButton : public Control
{
public:
    explicit CommandButton(Container &parent);

    std::string caption() const { return text; }
    void setCaption(std::string_view caption);
    void onClick(std::function<void()> handler);

private:
    void clicked() override;

    backend::ButtonPeer *peer;
    std::string text;
    std::function<void()> clickHandler;
};

} // namespace platform
