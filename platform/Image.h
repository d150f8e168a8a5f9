// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Control.h"
#include "platform/Picture.h"

#include <functional>

namespace platform {

class ImageWidget;

// Shows a picture; with Stretch, scaled to the control's size.
class Image : public Control
{
public:
    explicit Image(Container &parent);

    Picture picture() const { return shown; }
    void setPicture(const Picture &picture);
    bool stretch() const;
    void setStretch(bool value);
    void onClick(std::function<void()> handler);

private:
    ImageWidget *imageWidget() const;
    Picture shown;
};

} // namespace platform
