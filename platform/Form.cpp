// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Form.h"

#include "platform/Control.h"
#include "platform/RuntimeError.h"
#include "platform/Screen.h"
#include "platform/Twips.h"
#include "platform/backend/Desktop.h"
#include "platform/detail/Access.h"
#include "platform/detail/ColourConverter.h"
#include "platform/detail/DeviceGeometry.h"
#include "platform/detail/Dispatch.h"
#include "platform/detail/IdlePointer.h"
#include "platform/detail/LoadHook.h"
#include "platform/detail/ScreenSize.h"

#include <algorithm>
#include <vector>

namespace platform {

namespace {

double horizontalFrame(BorderStyle style)
{
    return style == BorderStyle::None ? 0.0 : 2 * BorderTwips;
}

double verticalFrame(BorderStyle style)
{
    return style == BorderStyle::None ? 0.0 : TitleBarTwips + BorderTwips;
}

} // namespace

Form::Form(BorderStyle style, Single clientWidth, Single clientHeight)
    : style(style),
      peer(backend::createWindow(*this, style)),
      outerWidth(clientWidth + horizontalFrame(style)),
      outerHeight(clientHeight + verticalFrame(style))
{
    pushSize();
}

Form::~Form()
{
    screenSaver.reset();
    idlePointer.reset();
    peer.reset();
}

// A form that holds the screen saver off is a show's: its showing starts
// a show, and the display's colour profile is read again then (a colour
// daemon or the user may have changed it since the last), on the screen
// the window is shown on, before the show's first picture is loaded.
void Form::show()
{
    peer->show();
    if (keepScreenAwake()) {
        detail::ColourConverter::instance().showStarting([this] {
            return backend::displayColourProfile(peer->nativeHandle(), detail::MaxProfileBytes);
        });
    }
}

void Form::hide()
{
    peer->hide();
}

void Form::close()
{
    peer->close();
}

bool Form::visible() const
{
    return peer->visible();
}

Single Form::left() const
{
    if (positionLeft)
        return *positionLeft;
    return detail::toTwips(peer->position().x);
}

Single Form::top() const
{
    if (positionTop)
        return *positionTop;
    return detail::toTwips(peer->position().y);
}

void Form::setWidth(Single value)
{
    if (value < 0)
        raise(ErrorNumber::InvalidPropertyValue);
    outerWidth = value;
    pushSize();
}

void Form::setHeight(Single value)
{
    if (value < 0)
        raise(ErrorNumber::InvalidPropertyValue);
    outerHeight = value;
    pushSize();
}

void Form::setLeft(Single value)
{
    positionLeft = value;
    if (!positionTop)
        positionTop = top();
    pushPosition();
}

void Form::setTop(Single value)
{
    positionTop = value;
    if (!positionLeft)
        positionLeft = left();
    pushPosition();
}

detail::PixelSize Form::expectedClientSize() const
{
    const Single clientWidth = outerWidth - horizontalFrame(style);
    const Single clientHeight = outerHeight - verticalFrame(style);
    return { std::max(1, detail::toPixels(clientWidth)),
             std::max(1, detail::toPixels(clientHeight)) };
}

bool Form::placedByDevicePixels() const
{
    return style == BorderStyle::None && positionLeft && positionTop;
}

detail::PixelRect Form::expectedDeviceGeometry() const
{
    const detail::PixelSize screen = detail::screenDevicePixels();
    const detail::DeviceGeometry mapping(
            peer->deviceScale(), detail::ScreenAxis{ Screen::width().value(), screen.width },
            detail::ScreenAxis{ Screen::height().value(), screen.height });
    return mapping.rect(*positionLeft, *positionTop, outerWidth, outerHeight);
}

void Form::pushSize()
{
    if (placedByDevicePixels())
        peer->setDeviceGeometry(expectedDeviceGeometry(), expectedClientSize());
    else
        peer->setClientSize(expectedClientSize());
}

void Form::pushPosition()
{
    if (placedByDevicePixels())
        peer->setDeviceGeometry(expectedDeviceGeometry(), expectedClientSize());
    else
        peer->setPosition({ detail::toPixels(*positionLeft), detail::toPixels(*positionTop) });
}

// Only a move the window system made on its own changes the model: the
// echo of the program's own placement lands on the rounded value.
void Form::moved()
{
    if (idlePointer)
        idlePointer->geometryChanged();
    if (!positionLeft || !positionTop)
        return;
    if (placedByDevicePixels()) {
        const detail::PixelRect device = peer->deviceGeometry();
        const detail::PixelRect expected = expectedDeviceGeometry();
        if (device.x != expected.x)
            positionLeft = device.x / peer->deviceScale() * TwipsPerPixel;
        if (device.y != expected.y)
            positionTop = device.y / peer->deviceScale() * TwipsPerPixel;
        return;
    }
    const detail::PixelPoint pixels = peer->position();
    if (pixels.x != detail::toPixels(*positionLeft))
        positionLeft = detail::toTwips(pixels.x);
    if (pixels.y != detail::toPixels(*positionTop))
        positionTop = detail::toTwips(pixels.y);
}

void Form::resized()
{
    if (idlePointer)
        idlePointer->geometryChanged();
    if (placedByDevicePixels()) {
        const detail::PixelRect device = peer->deviceGeometry();
        const detail::PixelRect expected = expectedDeviceGeometry();
        if (device.width != expected.width)
            outerWidth = device.width / peer->deviceScale() * TwipsPerPixel;
        if (device.height != expected.height)
            outerHeight = device.height / peer->deviceScale() * TwipsPerPixel;
        return;
    }
    const detail::PixelSize pixels = peer->clientSize();
    const detail::PixelSize expected = expectedClientSize();
    if (pixels.width != expected.width)
        outerWidth = detail::toTwips(pixels.width) + horizontalFrame(style);
    if (pixels.height != expected.height)
        outerHeight = detail::toTwips(pixels.height) + verticalFrame(style);
}

void Form::setCaption(std::string_view text)
{
    title = text;
    peer->setCaption(text);
}

void Form::setAccessibleName(std::string_view text)
{
    accessName = text;
    peer->setAccessibleName(text);
}

void Form::setFont(const Font &font)
{
    peer->setFont(font);
}

void Form::setTabOrder(std::initializer_list<Control *> controls)
{
    std::vector<backend::ControlPeer *> peers;
    for (Control *control : controls)
        peers.push_back(&detail::Access::peer(*control));
    peer->setTabOrder(peers);
}

std::uintptr_t Form::hWnd() const
{
    return peer->nativeHandle();
}

namespace detail {

namespace {
LoadHook loadHook;
}

LoadHook setLoadHook(LoadHook hook)
{
    LoadHook previous = std::move(loadHook);
    loadHook = std::move(hook);
    return previous;
}

void formLoading(const Form &form)
{
    if (loadHook)
        loadHook(form);
}

} // namespace detail

void Form::load()
{
    detail::formLoading(*this);
    detail::raiseEvent(loadHandler);
}

void Form::onLoad(std::function<void()> handler)
{
    loadHandler = std::move(handler);
}

void Form::onClick(std::function<void()> handler)
{
    clickHandler = std::move(handler);
}

void Form::onClose(std::function<void()> handler)
{
    closeHandler = std::move(handler);
}

void Form::onKeyDown(std::function<void(Integer keyCode)> handler)
{
    keyDownHandler = std::move(handler);
}

void Form::setKeepScreenAwake(bool value)
{
    if (value == keepScreenAwake())
        return;
    if (!value) {
        screenSaver.reset();
        return;
    }
    screenSaver = backend::createScreenSaverHold();
    if (peer->visible())
        screenSaver->hold();
}

void Form::setHideIdlePointer(bool value)
{
    if (value == hideIdlePointer())
        return;
    if (!value) {
        idlePointer.reset();
        return;
    }
    idlePointer = std::make_unique<detail::IdlePointer>(*peer);
    if (peer->visible())
        idlePointer->shown();
}

void Form::shown()
{
    if (screenSaver)
        screenSaver->hold();
    if (idlePointer)
        idlePointer->shown();
}

void Form::hidden()
{
    if (screenSaver)
        screenSaver->release();
    if (idlePointer)
        idlePointer->hidden();
}

void Form::mouseMoved()
{
    if (idlePointer)
        idlePointer->moved();
}

bool Form::keyPressed(Integer code)
{
    if (!keyDownHandler || code == 0)
        return false;
    detail::dispatch([this, code] { keyDownHandler(code); });
    return true;
}

void Form::closeRequested()
{
    detail::dispatch(closeHandler);
}

void Form::mousePressed()
{
    click.pressed();
}

void Form::mouseReleased(bool inside)
{
    if (click.released(inside))
        detail::dispatch(clickHandler);
}

backend::ContainerPeer &Form::containerPeer() const
{
    return *peer;
}

} // namespace platform
