// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Frame.h"

namespace platform {

Frame::Frame(Container &parent) : peer(attach(backend::createFrame(peerOf(parent), events()))) { }

backend::ContainerPeer &Frame::containerPeer() const
{
    return *peer;
}

} // namespace platform
