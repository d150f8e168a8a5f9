// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Form.h"
#include "platform/KeyCodes.h"
#include "platform/Testing.h"
#include "platform/TextBox.h"

#include <QKeySequence>
#include <QTest>
#include <QWidget>

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

class WindowWithField : public Window
{
public:
    WindowWithField() : field(*this) { field.move(120, 120, 1500, 360); }
    TextBox field;
};

TEST(KeyDown, GivesEachKeyItsCode)
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
        { Qt::Key_Enter, Qt::KeypadModifier, vbKeyReturn },
        { Qt::Key_Space, Qt::NoModifier, 32 },
        { Qt::Key_Backspace, Qt::NoModifier, 8 },
        { Qt::Key_Tab, Qt::NoModifier, 9 },
        { Qt::Key_A, Qt::NoModifier, 65 },
        { Qt::Key_A, Qt::ShiftModifier, 65 },
        { Qt::Key_Z, Qt::ControlModifier, 90 },
        { Qt::Key_0, Qt::NoModifier, 48 },
        { Qt::Key_9, Qt::NoModifier, 57 },
        { Qt::Key_5, Qt::KeypadModifier, 101 },
        { Qt::Key_Plus, Qt::KeypadModifier, vbKeyAdd },
        { Qt::Key_F1, Qt::NoModifier, 112 },
        { Qt::Key_F4, Qt::AltModifier, 115 },
        { Qt::Key_F12, Qt::NoModifier, 123 },
        { Qt::Key_Left, Qt::NoModifier, 37 },
        { Qt::Key_Up, Qt::NoModifier, 38 },
        { Qt::Key_Right, Qt::NoModifier, 39 },
        { Qt::Key_Down, Qt::NoModifier, 40 },
        { Qt::Key_PageUp, Qt::NoModifier, 33 },
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
        SCOPED_TRACE(QKeySequence(row.key).toString().toStdString());
        window.codes.clear();
        QTest::keyPress(platform::testing::windowOf(window), row.key, row.modifiers);
        // A shift key held down is a key press of its own, before the key's.
        ASSERT_FALSE(window.codes.empty());
        EXPECT_EQ(window.codes.back(), row.code);
        const size_t modifierKeys = (row.modifiers & Qt::ShiftModifier ? 1 : 0)
                + (row.modifiers & Qt::ControlModifier ? 1 : 0)
                + (row.modifiers & Qt::AltModifier ? 1 : 0);
        EXPECT_EQ(window.codes.size(), modifierKeys + 1);
    }
}

TEST(KeyDown, KeysWithoutACodeAreNotReported)
{
    Window window;
    window.show();
    for (const Qt::Key key : { Qt::Key_Exclam, Qt::Key_Eacute, Qt::Key_VolumeUp })
        QTest::keyPress(platform::testing::windowOf(window), key);
    EXPECT_TRUE(window.codes.empty());
}

TEST(KeyDown, IsTheFormsOnlyWhileNoControlHasTheFocus)
{
    WindowWithField window;
    window.show();
    QWidget *field = platform::testing::widgetOf(window.field);
    field->setFocus();
    ASSERT_EQ(platform::testing::windowOf(window)->focusWidget(), field);
    // The field passes Esc on to its window, which does not take it.
    QTest::keyClick(field, Qt::Key_Escape);
    QTest::keyClick(field, Qt::Key_X);
    EXPECT_TRUE(window.codes.empty());
    EXPECT_EQ(window.field.text(), "x");
}

} // namespace
