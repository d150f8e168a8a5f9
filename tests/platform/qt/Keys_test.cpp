// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// The keys as Qt reports them, and the Windows codes the forms get for
// them: the keypad's own keys, and keys that have no code at all.
#include "platform/Form.h"
#include "platform/KeyCodes.h"

#include "tests/platform/qt/WidgetAccess.h"

#include <QKeySequence>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

using namespace platform;

namespace {

class Window : public Form
{
public:
    Window() : Form(BorderStyle::None, 3000, 1500)
    {
        onKeyDown([this](Integer keyCode) { codes.push_back(keyCode); });
    }
    std::vector<Integer> codes;
};

TEST(KeyDown, GivesEachQtKeyItsWindowsCode)
{
    const struct
    {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        Integer code;
    } rows[] = {
        { Qt::Key_Escape, Qt::NoModifier, vbKeyEscape },
        { Qt::Key_Escape, Qt::ShiftModifier, 27 },
        { Qt::Key_Return, Qt::NoModifier, 13 },
        // The keypad's Enter is Return to Windows too.
        { Qt::Key_Enter, Qt::KeypadModifier, 13 },
        { Qt::Key_Space, Qt::NoModifier, 32 },
        { Qt::Key_Backspace, Qt::NoModifier, 8 },
        { Qt::Key_Tab, Qt::NoModifier, 9 },
        { Qt::Key_A, Qt::NoModifier, 65 },
        { Qt::Key_A, Qt::ShiftModifier, 65 },
        { Qt::Key_Z, Qt::ControlModifier, 90 },
        { Qt::Key_0, Qt::NoModifier, 48 },
        { Qt::Key_9, Qt::NoModifier, 57 },
        { Qt::Key_5, Qt::KeypadModifier, 101 },
        { Qt::Key_Plus, Qt::KeypadModifier, 107 },
        { Qt::Key_Minus, Qt::KeypadModifier, 109 },
        { Qt::Key_Asterisk, Qt::KeypadModifier, 106 },
        { Qt::Key_Slash, Qt::KeypadModifier, 111 },
        { Qt::Key_F1, Qt::NoModifier, 112 },
        { Qt::Key_F4, Qt::AltModifier, 115 },
        { Qt::Key_F12, Qt::NoModifier, 123 },
        { Qt::Key_Left, Qt::NoModifier, 37 },
        { Qt::Key_Up, Qt::NoModifier, 38 },
        { Qt::Key_Right, Qt::NoModifier, 39 },
        { Qt::Key_Down, Qt::NoModifier, 40 },
        { Qt::Key_PageUp, Qt::NoModifier, 33 },
        { Qt::Key_PageDown, Qt::NoModifier, 34 },
        { Qt::Key_End, Qt::NoModifier, 35 },
        { Qt::Key_Home, Qt::NoModifier, 36 },
        { Qt::Key_Insert, Qt::NoModifier, 45 },
        { Qt::Key_Delete, Qt::NoModifier, 46 },
        { Qt::Key_Shift, Qt::ShiftModifier, 16 },
        { Qt::Key_Control, Qt::ControlModifier, 17 },
    };
    Window window;
    window.show();
    for (const auto &row : rows) {
        SCOPED_TRACE(QKeySequence(row.key | row.modifiers).toString().toStdString());
        window.codes.clear();
        QTest::keyPress(qttest::windowOf(window), row.key, row.modifiers);
        // A modifier held down is a key press of its own, before the key's.
        ASSERT_FALSE(window.codes.empty());
        EXPECT_EQ(window.codes.back(), row.code);
        const size_t modifierKeys = (row.modifiers & Qt::ShiftModifier ? 1 : 0)
                + (row.modifiers & Qt::ControlModifier ? 1 : 0)
                + (row.modifiers & Qt::AltModifier ? 1 : 0);
        EXPECT_EQ(window.codes.size(), modifierKeys + 1);
        QTest::keyRelease(qttest::windowOf(window), row.key, row.modifiers);
    }
}

TEST(KeyDown, KeysWithoutACodeAreNotReported)
{
    Window window;
    window.show();
    for (const Qt::Key key : { Qt::Key_Exclam, Qt::Key_Eacute, Qt::Key_VolumeUp, Qt::Key_Meta })
        QTest::keyPress(qttest::windowOf(window), key);
    EXPECT_TRUE(window.codes.empty());
    // A key that has one still is, after them.
    QTest::keyPress(qttest::windowOf(window), Qt::Key_Escape);
    EXPECT_EQ(window.codes, std::vector<Integer>{ vbKeyEscape });
}

} // namespace
