// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/BorderStyle.h"
#include "platform/Container.h"
#include "platform/Font.h"
#include "platform/Single.h"
#include "platform/Values.h"
#include "platform/backend/Windows.h"
#include "platform/detail/ClickRule.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class Control;

namespace backend {
class ScreenSaverPeer;
}
namespace detail {
class IdlePointer;
}

// A top-level window. Width, Height, Left and Top are its outer size and
// position in twips; the client area of a bordered form is the outer size
// less the designed non-client metrics.
class Form : public Container, private backend::WindowEvents
{
public:
    ~Form() override;

    void show();
    void hide();
    // Closes the window as the user does with its close box: its close
    // handler runs.
    void close();
    bool visible() const;

    Single width() const { return outerWidth; }
    Single height() const { return outerHeight; }
    Single left() const;
    Single top() const;
    void setWidth(Single value);
    void setHeight(Single value);
    void setLeft(Single value);
    void setTop(Single value);

    std::string caption() const { return title; }
    void setCaption(std::string_view text);
    // What a screen reader calls the window when its caption is empty or
    // not what it should say; empty: the caption.
    std::string accessibleName() const { return accessName; }
    void setAccessibleName(std::string_view text);
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
    // none of its controls can take it; keyCode is a Windows virtual-key
    // code (KeyCodes.h).
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
    backend::ContainerPeer &containerPeer() const override;
    void pushSize();
    void pushPosition();
    detail::PixelSize expectedClientSize() const;
    // A borderless form the program has placed goes by device pixels.
    bool placedByDevicePixels() const;
    detail::PixelRect expectedDeviceGeometry() const;

    void closeRequested() override;
    void mousePressed() override;
    void mouseReleased(bool inside) override;
    void mouseMoved() override;
    void moved() override;
    void resized() override;
    bool keyPressed(Integer code) override;
    void shown() override;
    void hidden() override;

    BorderStyle style;
    std::unique_ptr<backend::WindowPeer> peer;
    std::string title;
    std::string accessName;
    Single outerWidth;
    Single outerHeight;
    // Unset until the program places the window: the system's default
    // position holds until then.
    std::optional<Single> positionLeft;
    std::optional<Single> positionTop;
    detail::ClickRule click;
    std::function<void()> loadHandler;
    std::function<void()> clickHandler;
    std::function<void()> closeHandler;
    std::function<void(Integer)> keyDownHandler;
    std::unique_ptr<backend::ScreenSaverPeer> screenSaver;
    std::unique_ptr<detail::IdlePointer> idlePointer;
};

} // namespace platform
