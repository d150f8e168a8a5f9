// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Values.h"

#include <Qt>

class QKeyEvent;

namespace platform::qt {

// The Windows virtual-key code of a pressed key, or 0 for a key that has
// none.
Integer keyCode(const QKeyEvent &event);

// The key that gives a virtual-key code, and whether it is the keypad's:
// for tests that press keys by their codes. Qt::Key_unknown for a code no
// key gives.
struct QtKey
{
    Qt::Key key = Qt::Key_unknown;
    bool keypad = false;
};
QtKey keyOfCode(Integer code);

} // namespace platform::qt
