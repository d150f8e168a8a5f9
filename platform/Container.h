// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

namespace platform {

namespace backend {
class ContainerPeer;
}
namespace detail {
struct Access;
}

// Something controls are placed in: a form or a frame. Positions of the
// controls inside are relative to its top left corner.
class Container
{
public:
    virtual ~Container();
    Container(const Container &) = delete;
    Container &operator=(const Container &) = delete;

protected:
    Container() = default;

private:
    friend struct detail::Access;
    virtual backend::ContainerPeer &containerPeer() const = 0;
};

} // namespace platform
