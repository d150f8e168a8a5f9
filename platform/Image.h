// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Control.h"
#include "platform/Picture.h"
#include "platform/detail/ClickRule.h"

#include <functional>

namespace platform {

// Shows a picture; with Stretch, scaled to the control's size.
class Image : public Control
{
public:
    explicit Image(Container &parent);

    Picture picture() const { return shown; }
    void setPicture(const Picture &picture);
    void setStretch(bool value);
    void onClick(std::function<void()> handler);

private:
    void mousePressed() override;
    void mouseReleased(bool inside) override;
    void pictureSettled(detail::PixelSize devicePixels) override;

    backend::ImagePeer *peer;
    Picture shown;
    detail::ClickRule click;
    std::function<void()> clickHandler;
};

} // namespace platform
