// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <utility>

namespace platform::detail {

// What counts as a click on a form, a label or an image: the left button
// pressed on it and released inside it. A press that ends outside, or a
// release without a press on it, is no click.
class ClickRule
{
public:
    void pressed() { down = true; }
    // Whether the press and this release make a click.
    bool released(bool inside) { return std::exchange(down, false) && inside; }

private:
    bool down = false;
};

} // namespace platform::detail
