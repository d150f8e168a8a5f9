// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Container.h"
#include "platform/Font.h"
#include "platform/Single.h"
#include "platform/Values.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class Control;

namespace detail {
class IdlePointer;
class ScreenSaverInhibition;
} // namespace detail

enum class BorderStyle {
    None, // no title bar, no frame, no taskbar button
    FixedSingle, // title bar with system menu and close box; not resizable
};

// A top-level window. Width, Height, Left and Top are its outer size and
// position in twips; the client area of a bordered form is the outer size
// less the designed non-client metrics.
class Form : public Container
{
public:
    ~Form() override;

    void show();
    void hide();
    bool visible() const;

    Single width() const { return outerWidth; }
    Single height() const { return outerHeight; }
    Single left() const;
    Single top() const;
    void setWidth(Single value);
    void setHeight(Single value);
    void setLeft(Single value);
    void setTop(Single value);

    std::string caption() const;
    void setCaption(std::string_view text);
    void setFont(const Font &font);
    // Tab order: focus moves through the enabled, visible controls of the
    // list, in the list's order.
    void setTabOrder(std::initializer_list<Control *> controls);
    std::uintptr_t hWnd() const;

    // Runs the form's Load handler; the program loads each form once, right
    // after creating it.
    void load();
    void onLoad(std::function<void()> handler);
    // A click on the form where no control lies.
    void onClick(std::function<void()> handler);
    // The user closes the window (close box, system menu, close key). The
    // window is hidden before the handler runs.
    void onClose(std::function<void()> handler);
    // A key pressed while the form itself has the focus, which it has when
    // none of its controls can take it; keyCode is one of KeyCodes.h.
    void onKeyDown(std::function<void(Integer keyCode)> handler);

    // While the form is visible, the desktop is asked to hold off its
    // screen saver and not to blank the display.
    void setKeepScreenAwake(bool value);
    bool keepScreenAwake() const { return screenSaver != nullptr; }
    // While the form covers the whole screen, the mouse pointer hides over
    // it after a few seconds without movement, until the mouse moves.
    void setHideIdlePointer(bool value);
    bool hideIdlePointer() const { return idlePointer != nullptr; }

protected:
    Form(BorderStyle style, Single clientWidth, Single clientHeight);

private:
    friend struct detail::Access;
    friend class FormWidget;
    QWidget *childArea() const override;
    void pushSize();
    void pushPosition();
    void windowMoved();
    void windowResized();
    void closed();
    void clicked();
    // Whether the form has a KeyDown handler for the key.
    bool keyPressed(Integer keyCode);
    void shown();
    void hidden();

    BorderStyle style;
    QWidget *window;
    Single outerWidth;
    Single outerHeight;
    // Unset until the program places the window: the system's default
    // position holds until then.
    std::optional<Single> positionLeft;
    std::optional<Single> positionTop;
    std::function<void()> loadHandler;
    std::function<void()> clickHandler;
    std::function<void()> closeHandler;
    std::function<void(Integer)> keyDownHandler;
    std::unique_ptr<detail::ScreenSaverInhibition> screenSaver;
    // A child of the window, which deletes it.
    detail::IdlePointer *idlePointer = nullptr;
};

} // namespace platform
