// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/qt/Keys.h"

#include <QKeyEvent>

namespace platform::qt {

namespace {

// Windows' virtual-key codes, which the forms' KeyDown handlers get.
constexpr Integer VkDigit0 = 0x30;
constexpr Integer VkLetterA = 0x41;
constexpr Integer VkNumpad0 = 0x60;
constexpr Integer VkF1 = 0x70;

struct Named
{
    Qt::Key key;
    Integer code;
    bool keypad;
};

constexpr Named NamedKeys[] = {
    { Qt::Key_Backspace, 0x08, false }, { Qt::Key_Tab, 0x09, false },
    { Qt::Key_Backtab, 0x09, false },   { Qt::Key_Return, 0x0d, false },
    { Qt::Key_Enter, 0x0d, false },     { Qt::Key_Shift, 0x10, false },
    { Qt::Key_Control, 0x11, false },   { Qt::Key_Alt, 0x12, false },
    { Qt::Key_Pause, 0x13, false },     { Qt::Key_CapsLock, 0x14, false },
    { Qt::Key_Escape, 0x1b, false },    { Qt::Key_Space, 0x20, false },
    { Qt::Key_PageUp, 0x21, false },    { Qt::Key_PageDown, 0x22, false },
    { Qt::Key_End, 0x23, false },       { Qt::Key_Home, 0x24, false },
    { Qt::Key_Left, 0x25, false },      { Qt::Key_Up, 0x26, false },
    { Qt::Key_Right, 0x27, false },     { Qt::Key_Down, 0x28, false },
    { Qt::Key_Insert, 0x2d, false },    { Qt::Key_Delete, 0x2e, false },
    { Qt::Key_NumLock, 0x90, false },   { Qt::Key_Asterisk, 0x6a, true },
    { Qt::Key_Plus, 0x6b, true },       { Qt::Key_Minus, 0x6d, true },
    { Qt::Key_Period, 0x6e, true },     { Qt::Key_Comma, 0x6e, true },
    { Qt::Key_Slash, 0x6f, true },
};

} // namespace

Integer keyCode(const QKeyEvent &event)
{
    const int key = event.key();
    // The keypad's own keys are told apart from the main keyboard's by the
    // keypad modifier Qt sets on them.
    const bool keypad = event.modifiers() & Qt::KeypadModifier;
    if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<Integer>(VkNumpad0 + (key - Qt::Key_0));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<Integer>(VkDigit0 + (key - Qt::Key_0));
    // Qt names a letter key by its capital, shifted or not.
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<Integer>(VkLetterA + (key - Qt::Key_A));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<Integer>(VkF1 + (key - Qt::Key_F1));
    for (const Named &named : NamedKeys) {
        if (named.key == key && (named.keypad == keypad || !named.keypad))
            return named.code;
    }
    return 0;
}

QtKey keyOfCode(Integer code)
{
    if (code >= VkNumpad0 && code <= VkNumpad0 + 9)
        return { static_cast<Qt::Key>(Qt::Key_0 + (code - VkNumpad0)), true };
    if (code >= VkDigit0 && code <= VkDigit0 + 9)
        return { static_cast<Qt::Key>(Qt::Key_0 + (code - VkDigit0)), false };
    if (code >= VkLetterA && code <= VkLetterA + 25)
        return { static_cast<Qt::Key>(Qt::Key_A + (code - VkLetterA)), false };
    if (code >= VkF1 && code <= VkF1 + 23)
        return { static_cast<Qt::Key>(Qt::Key_F1 + (code - VkF1)), false };
    for (const Named &named : NamedKeys) {
        if (named.code == code)
            return { named.key, named.keypad };
    }
    return {};
}

} // namespace platform::qt
