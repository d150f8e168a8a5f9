// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/KeyCode.h"

#include "platform/KeyCodes.h"

#include <QKeyEvent>

namespace platform::detail {

namespace {

struct Named
{
    int key;
    Integer code;
};

constexpr Named NamedKeys[] = {
    { Qt::Key_Backspace, vbKeyBack },  { Qt::Key_Tab, vbKeyTab },
    { Qt::Key_Backtab, vbKeyTab },     { Qt::Key_Return, vbKeyReturn },
    { Qt::Key_Enter, vbKeyReturn },    { Qt::Key_Shift, vbKeyShift },
    { Qt::Key_Control, vbKeyControl }, { Qt::Key_Alt, vbKeyMenu },
    { Qt::Key_Pause, vbKeyPause },     { Qt::Key_CapsLock, vbKeyCapital },
    { Qt::Key_Escape, vbKeyEscape },   { Qt::Key_Space, vbKeySpace },
    { Qt::Key_PageUp, vbKeyPageUp },   { Qt::Key_PageDown, vbKeyPageDown },
    { Qt::Key_End, vbKeyEnd },         { Qt::Key_Home, vbKeyHome },
    { Qt::Key_Left, vbKeyLeft },       { Qt::Key_Up, vbKeyUp },
    { Qt::Key_Right, vbKeyRight },     { Qt::Key_Down, vbKeyDown },
    { Qt::Key_Insert, vbKeyInsert },   { Qt::Key_Delete, vbKeyDelete },
    { Qt::Key_NumLock, vbKeyNumlock },
};

// The keypad's own keys, told apart from the main keyboard's by the
// keypad modifier Qt sets on them.
Integer keypadCode(int key)
{
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<Integer>(vbKeyNumpad0 + (key - Qt::Key_0));
    switch (key) {
    case Qt::Key_Asterisk:
        return vbKeyMultiply;
    case Qt::Key_Plus:
        return vbKeyAdd;
    case Qt::Key_Minus:
        return vbKeySubtract;
    case Qt::Key_Period:
    case Qt::Key_Comma:
        return vbKeyDecimal;
    case Qt::Key_Slash:
        return vbKeyDivide;
    default:
        return 0;
    }
}

} // namespace

Integer keyCode(const QKeyEvent &event)
{
    const int key = event.key();
    if (event.modifiers() & Qt::KeypadModifier) {
        if (const Integer code = keypadCode(key))
            return code;
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<Integer>(vbKey0 + (key - Qt::Key_0));
    // Qt names a letter key by its capital, shifted or not.
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<Integer>(vbKeyA + (key - Qt::Key_A));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<Integer>(vbKeyF1 + (key - Qt::Key_F1));
    for (const Named &named : NamedKeys) {
        if (named.key == key)
            return named.code;
    }
    return 0;
}

} // namespace platform::detail
