// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Form.h"

#include "platform/Control.h"
#include "platform/RuntimeError.h"
#include "platform/Twips.h"
#include "platform/detail/Access.h"
#include "platform/detail/Dispatch.h"
#include "platform/detail/FontConversion.h"
#include "platform/detail/IdlePointer.h"
#include "platform/detail/KeyCode.h"
#include "platform/detail/Pixels.h"
#include "platform/detail/ScreenSaver.h"
#include "platform/detail/Text.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace platform {

class FormWidget : public QWidget
{
public:
    FormWidget(Form &form, Qt::WindowFlags flags) : QWidget(nullptr, flags), form(form) { }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        event->accept();
        form.closed();
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            pressed = true;
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        // A click is a press and a release of the left button on the window.
        if (event->button() == Qt::LeftButton && std::exchange(pressed, false)
            && rect().contains(event->position().toPoint()))
            form.clicked();
    }
    void moveEvent(QMoveEvent *event) override
    {
        QWidget::moveEvent(event);
        form.windowMoved();
    }
    void resizeEvent(QResizeEvent *event) override
    {
        QWidget::resizeEvent(event);
        form.windowResized();
    }
    void keyPressEvent(QKeyEvent *event) override
    {
        // Keys a focused control passed on are not the form's: its KeyDown
        // is for when the form itself has the focus.
        const QWidget *focus = focusWidget();
        if ((focus == nullptr || focus == this) && form.keyPressed(detail::keyCode(*event)))
            return;
        QWidget::keyPressEvent(event);
    }
    void showEvent(QShowEvent *event) override
    {
        QWidget::showEvent(event);
        form.shown();
    }
    void hideEvent(QHideEvent *event) override
    {
        QWidget::hideEvent(event);
        form.hidden();
    }

private:
    Form &form;
    bool pressed = false;
};

namespace {

Qt::WindowFlags flagsFor(BorderStyle style)
{
    if (style == BorderStyle::None)
        // A tool window has no taskbar button.
        return Qt::Tool | Qt::FramelessWindowHint;
    return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
}

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
      window(new FormWidget(*this, flagsFor(style))),
      outerWidth(clientWidth + horizontalFrame(style)),
      outerHeight(clientHeight + verticalFrame(style))
{
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    pushSize();
}

Form::~Form()
{
    screenSaver.reset();
    delete window;
}

void Form::show()
{
    window->show();
    window->raise();
    window->activateWindow();
    if (window->focusWidget())
        return;
    // The first control of the tab order that can take the focus gets it.
    for (QWidget *widget = window->nextInFocusChain(); widget != window;
         widget = widget->nextInFocusChain()) {
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled()
            && widget->isVisibleTo(window)) {
            widget->setFocus(Qt::TabFocusReason);
            break;
        }
    }
}

void Form::hide()
{
    window->hide();
}

bool Form::visible() const
{
    return window->isVisible();
}

Single Form::left() const
{
    if (positionLeft)
        return *positionLeft;
    return detail::toTwips(window->pos().x());
}

Single Form::top() const
{
    if (positionTop)
        return *positionTop;
    return detail::toTwips(window->pos().y());
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

void Form::pushSize()
{
    const Single clientWidth = outerWidth - horizontalFrame(style);
    const Single clientHeight = outerHeight - verticalFrame(style);
    const QSize size(std::max(1, detail::toPixels(clientWidth)),
                     std::max(1, detail::toPixels(clientHeight)));
    if (style == BorderStyle::None)
        window->resize(size);
    else
        window->setFixedSize(size);
}

void Form::pushPosition()
{
    window->move(detail::toPixels(*positionLeft), detail::toPixels(*positionTop));
}

void Form::windowMoved()
{
    if (idlePointer)
        idlePointer->geometryChanged();
    // Only a move the window system made on its own changes the model: the
    // echo of the program's own placement lands on the rounded value.
    if (!positionLeft || !positionTop)
        return;
    const QPoint pixels = window->pos();
    if (pixels.x() != detail::toPixels(*positionLeft))
        positionLeft = detail::toTwips(pixels.x());
    if (pixels.y() != detail::toPixels(*positionTop))
        positionTop = detail::toTwips(pixels.y());
}

void Form::windowResized()
{
    if (idlePointer)
        idlePointer->geometryChanged();
    const QSize pixels = window->size();
    const Single clientWidth = outerWidth - horizontalFrame(style);
    const Single clientHeight = outerHeight - verticalFrame(style);
    if (pixels.width() != std::max(1, detail::toPixels(clientWidth)))
        outerWidth = detail::toTwips(pixels.width()) + horizontalFrame(style);
    if (pixels.height() != std::max(1, detail::toPixels(clientHeight)))
        outerHeight = detail::toTwips(pixels.height()) + verticalFrame(style);
}

std::string Form::caption() const
{
    return detail::toStdString(window->windowTitle());
}

void Form::setCaption(std::string_view text)
{
    window->setWindowTitle(detail::toQString(text));
}

void Form::setFont(const Font &font)
{
    window->setFont(detail::toQFont(font));
}

void Form::setTabOrder(std::initializer_list<Control *> controls)
{
    QWidget *previous = nullptr;
    for (Control *control : controls) {
        QWidget *widget = detail::Access::widget(*control);
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

std::uintptr_t Form::hWnd() const
{
    return static_cast<std::uintptr_t>(window->winId());
}

void Form::load()
{
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
    screenSaver = std::make_unique<detail::ScreenSaverInhibition>();
    if (window->isVisible())
        screenSaver->hold();
}

void Form::setHideIdlePointer(bool value)
{
    if (value == hideIdlePointer())
        return;
    if (!value) {
        idlePointer->hidden();
        delete std::exchange(idlePointer, nullptr);
        return;
    }
    idlePointer = new detail::IdlePointer(window);
    if (window->isVisible())
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

bool Form::keyPressed(Integer keyCode)
{
    if (!keyDownHandler || keyCode == 0)
        return false;
    detail::dispatch([this, keyCode] { keyDownHandler(keyCode); });
    return true;
}

void Form::closed()
{
    detail::dispatch(closeHandler);
}

void Form::clicked()
{
    detail::dispatch(clickHandler);
}

QWidget *Form::childArea() const
{
    return window;
}

} // namespace platform
