// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/qt/Window.h"

#include "platform/qt/Accessibility.h"
#include "platform/qt/Font.h"
#include "platform/qt/Keys.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

#include <utility>

namespace platform::qt {

WindowWidget::WindowWidget(backend::WindowEvents &events, Qt::WindowFlags flags)
    : QWidget(nullptr, flags), events(events)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void WindowWidget::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (attached)
        events.closeRequested();
}

void WindowWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && attached)
        events.mousePressed();
}

void WindowWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && attached)
        events.mouseReleased(rect().contains(event->position().toPoint()));
}

void WindowWidget::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    if (attached)
        events.moved();
}

void WindowWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The size from before full screen, on its way back: not the program's.
    if (attached && !sizeAfterFullScreen)
        events.resized();
}

void WindowWidget::keyPressEvent(QKeyEvent *event)
{
    // Keys a focused control passed on are not the form's: its KeyDown is
    // for when the form itself has the focus.
    const QWidget *focus = focusWidget();
    if (attached && (focus == nullptr || focus == this) && events.keyPressed(keyCode(*event)))
        return;
    QWidget::keyPressEvent(event);
}

void WindowWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    QWindow *handle = windowHandle();
    if (handle != watched) {
        if (watched)
            watched->removeEventFilter(this);
        watched = handle;
        if (watched)
            watched->installEventFilter(this);
    }
    if (attached)
        events.shown();
}

void WindowWidget::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (attached)
        events.hidden();
}

bool WindowWidget::eventFilter(QObject *object, QEvent *event)
{
    if (object != watched)
        return false;
    if (event->type() == QEvent::MouseMove && attached)
        events.mouseMoved();
    // The compositor's answer to a change of state reaches the QWindow, and
    // the widget only when its state differs from the one asked for.
    if (event->type() == QEvent::WindowStateChange && event->spontaneous())
        compositorAnswered();
    return false;
}

void WindowWidget::resizeBorderless(QSize size)
{
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        resize(size);
        return;
    }
    const bool full = windowState() & Qt::WindowFullScreen;
    const QScreen *shownOn = screen();
    if (shownOn && size == shownOn->geometry().size()) {
        sizeAfterFullScreen.reset();
        // The compositor's configure brings the size: one the window had
        // already would make Qt draw no frame after acknowledging it, and
        // weston would keep counting the window as not full screen.
        if (!full && isVisible())
            setWindowState(windowState() | Qt::WindowFullScreen);
        else if (!full)
            resize(size);
        return;
    }
    if (full && isVisible()) {
        sizeAfterFullScreen = size;
        setWindowState(windowState() & ~Qt::WindowFullScreen);
        return;
    }
    if (full)
        setWindowState(windowState() & ~Qt::WindowFullScreen);
    if (sizeAfterFullScreen) {
        sizeAfterFullScreen = size;
        return;
    }
    resize(size);
}

// A state takes effect with the next frame the window commits, and Qt draws
// none when the size stays the same: without one the compositor would
// still count the window as it was, and ignore the next change.
void WindowWidget::compositorAnswered()
{
    update();
    if (!sizeAfterFullScreen || (windowHandle()->windowStates() & Qt::WindowFullScreen))
        return;
    const QSize size = *std::exchange(sizeAfterFullScreen, std::nullopt);
    resize(size);
}

namespace {

Qt::WindowFlags flagsFor(BorderStyle style)
{
    if (style == BorderStyle::None)
        // A tool window has no taskbar button.
        return Qt::Tool | Qt::FramelessWindowHint;
    return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
}

} // namespace

Window::Window(backend::WindowEvents &events, BorderStyle style)
    : style(style), window(new WindowWidget(events, flagsFor(style)))
{
    readAsWindow(window);
}

Window::~Window()
{
    window->detach();
    delete window;
}

void Window::setClientSize(backend::PixelSize size)
{
    if (style == BorderStyle::None)
        window->resizeBorderless(QSize(size.width, size.height));
    else
        window->setFixedSize(size.width, size.height);
}

backend::PixelSize Window::clientSize() const
{
    return { window->width(), window->height() };
}

void Window::setPosition(backend::PixelPoint position)
{
    window->move(position.x, position.y);
}

backend::PixelPoint Window::position() const
{
    return { window->pos().x(), window->pos().y() };
}

void Window::show()
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

void Window::hide()
{
    window->hide();
}

void Window::close()
{
    window->close();
}

bool Window::visible() const
{
    return window->isVisible();
}

void Window::setCaption(std::string_view text)
{
    window->setWindowTitle(toQString(text));
}

void Window::setAccessibleName(std::string_view text)
{
    window->setAccessibleName(toQString(text));
}

void Window::setFont(const Font &font)
{
    window->setFont(toQFont(font));
}

void Window::setTabOrder(const std::vector<backend::ControlPeer *> &controls)
{
    QWidget *previous = nullptr;
    for (backend::ControlPeer *control : controls) {
        QWidget *widget = widgetOf(*control);
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

std::uintptr_t Window::nativeHandle() const
{
    return static_cast<std::uintptr_t>(window->winId());
}

void Window::setPointerHidden(bool hidden)
{
    if (hidden)
        window->setCursor(Qt::BlankCursor);
    else
        window->unsetCursor();
}

} // namespace platform::qt

namespace platform::backend {

std::unique_ptr<WindowPeer> createWindow(WindowEvents &events, BorderStyle style)
{
    return std::make_unique<qt::Window>(events, style);
}

} // namespace platform::backend
