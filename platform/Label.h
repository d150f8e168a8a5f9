// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Alignment.h"
#include "platform/Control.h"
#include "platform/Font.h"
#include "platform/Values.h"
#include "platform/detail/ClickRule.h"

#include <functional>
#include <string>
#include <string_view>

namespace platform {

// Text that takes no focus; it wraps at its width.
class Label : public Control
{
public:
    explicit Label(Container &parent);

    std::string caption() const { return text; }
    // A CR LF pair shows as one line break.
    void setCaption(std::string_view text);
    void setAlignment(Alignment alignment);
    void setFont(const Font &font);
    // A colour as 0x00BBGGRR.
    void setForeColor(Long color);
    void onClick(std::function<void()> handler);

private:
    void mousePressed() override;
    void mouseReleased(bool inside) override;

    backend::LabelPeer *peer;
    std::string text;
    detail::ClickRule click;
    std::function<void()> clickHandler;
};

} // namespace platform
