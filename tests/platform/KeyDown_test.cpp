// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Form.h"
#include "platform/KeyCodes.h"
#include "platform/Testing.h"
#include "platform/TextBox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace platform;
namespace user = platform::testing;

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
        const char *name;
        Integer code;
        unsigned modifiers;
    } rows[] = {
        { "Esc", vbKeyEscape, user::NoModifier },
        { "Shift+Esc", 27, user::Shift },
        { "Return", 13, user::NoModifier },
        { "Space", 32, user::NoModifier },
        { "Backspace", 8, user::NoModifier },
        { "Tab", 9, user::NoModifier },
        { "A", 65, user::NoModifier },
        { "Shift+A", 65, user::Shift },
        { "Ctrl+Z", 90, user::Ctrl },
        { "Ctrl+Shift+Z", 90, user::Ctrl | user::Shift },
        { "0", 48, user::NoModifier },
        { "9", 57, user::NoModifier },
        { "keypad 5", 101, user::NoModifier },
        { "keypad +", 107, user::NoModifier },
        { "F1", 112, user::NoModifier },
        { "Alt+F5", 116, user::Alt },
        { "F12", 123, user::NoModifier },
        { "Left", 37, user::NoModifier },
        { "Up", 38, user::NoModifier },
        { "Right", 39, user::NoModifier },
        { "Down", 40, user::NoModifier },
        { "PageUp", 33, user::NoModifier },
        { "PageDown", 34, user::NoModifier },
        { "End", 35, user::NoModifier },
        { "Home", 36, user::NoModifier },
        { "Insert", 45, user::NoModifier },
        { "Delete", 46, user::NoModifier },
        { "Shift", 16, user::Shift },
        { "Control", 17, user::Ctrl },
    };
    Window window;
    window.show();
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        window.codes.clear();
        user::pressKey(window, row.code, row.modifiers);
        // A modifier held down is a key press of its own, before the key's.
        ASSERT_FALSE(window.codes.empty());
        EXPECT_EQ(window.codes.back(), row.code);
        const std::size_t modifierKeys = (row.modifiers & user::Shift ? 1 : 0)
                + (row.modifiers & user::Ctrl ? 1 : 0) + (row.modifiers & user::Alt ? 1 : 0);
        EXPECT_EQ(window.codes.size(), modifierKeys + 1);
        std::vector<Integer> held;
        for (std::size_t i = 0; i + 1 < window.codes.size(); ++i)
            held.push_back(window.codes[i]);
        for (const Integer code : held)
            EXPECT_TRUE((code == 16 && (row.modifiers & user::Shift))
                        || (code == 17 && (row.modifiers & user::Ctrl))
                        || (code == 18 && (row.modifiers & user::Alt)))
                    << code;
    }
}

TEST(KeyDown, IsTheFormsOnlyWhileNoControlHasTheFocus)
{
    WindowWithField window;
    window.show();
    user::typeText(window.field, "x");
    ASSERT_TRUE(user::waitFor(
            [&] { return user::focusedControl(window, { &window.field }) == &window.field; }));
    // The field passes Esc on to its window, which does not take it; a
    // letter is the field's.
    user::pressKey(window, vbKeyEscape);
    user::pressKey(window, 'Z');
    EXPECT_TRUE(window.codes.empty());
    EXPECT_EQ(window.field.text(), "xz");
}

} // namespace
