// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Container.h"
#include "platform/Control.h"

namespace platform {

// A panel with a border line and no caption; it hides the controls inside
// it when hidden and covers the controls behind it when shown.
class Frame : public Control, public Container
{
public:
    explicit Frame(Container &parent);

private:
    backend::ContainerPeer &containerPeer() const override;

    backend::FramePeer *peer;
};

} // namespace platform
