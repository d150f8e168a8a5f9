// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/qt/Window.h"

#include "platform/detail/ScreenSize.h"
#include "platform/qt/Accessibility.h"
#include "platform/qt/Font.h"
#include "platform/qt/Keys.h"
#include "platform/qt/X11Placement.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

#include <cmath>
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
    if (event->button() != Qt::LeftButton || !attached)
        return;
    // What the window shows, which may be less than Qt's size for it.
    QRect shown = rect();
    if (const QSize visible = property(VisibleSizeProperty).toSize(); visible.isValid())
        shown.setSize(visible.boundedTo(size()));
    events.mouseReleased(shown.contains(event->position().toPoint()));
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

double Window::deviceScale() const
{
    return window->devicePixelRatioF();
}

namespace {

// Qt's own rounding of a window's geometry to device pixels.
int qtDevice(int pixels, double ratio)
{
    return static_cast<int>(std::lround(pixels * ratio));
}

// The fewest whole device-independent pixels whose device pixels cover
// these: what is painted must reach the last of them.
int covering(int device, double ratio)
{
    int pixels = static_cast<int>(std::ceil((device - 0.5) / ratio));
    while (qtDevice(pixels, ratio) < device)
        ++pixels;
    return std::max(pixels, 1);
}

} // namespace

void Window::setDeviceGeometry(backend::PixelRect rect, backend::PixelSize runtime)
{
    const double ratio = deviceScale();
    const QSize visible(covering(std::max(rect.width, 1), ratio),
                        covering(std::max(rect.height, 1), ratio));
    QRect logical(QPoint(static_cast<int>(std::lround(rect.x / ratio)),
                         static_cast<int>(std::lround(rect.y / ratio))),
                  visible);
    // On X a borderless window keeps the screen's size to Qt, and only its
    // X window takes the size asked for: Qt's backing store then stays
    // where it is while the window grows, instead of taking new shared
    // memory the window's size at each step of the opening and paying for
    // its pages before drawing. Only what the window shows is painted.
    if (style == BorderStyle::None && X11Placement::available()) {
        const detail::PixelSize screen = detail::screenDevicePixels();
        logical.setSize(visible.expandedTo(
                QSize(covering(screen.width, ratio), covering(screen.height, ratio))));
    }
    placed = { logical, rect };
    window->setProperty(RuntimeSizeProperty, QSize(runtime.width, runtime.height));
    window->setProperty(VisibleSizeProperty, visible);
    const bool exact = qtDevice(logical.x(), ratio) == rect.x
            && qtDevice(logical.y(), ratio) == rect.y
            && qtDevice(logical.width(), ratio) == rect.width
            && qtDevice(logical.height(), ratio) == rect.height;
    // One change of geometry: a move and a resize apart would show the
    // runtime a window that is neither the old one nor the new.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        window->resizeBorderless(logical.size());
        window->move(logical.topLeft());
    } else {
        window->setGeometry(logical);
    }
    if (!exact && rect.width > 0 && rect.height > 0)
        X11Placement::place(window, QRect(rect.x, rect.y, rect.width, rect.height));
}

backend::PixelRect Window::deviceGeometry() const
{
    const QRect logical(window->pos(), window->size());
    if (placed && placed->first == logical)
        return placed->second;
    const double ratio = deviceScale();
    return { qtDevice(logical.x(), ratio), qtDevice(logical.y(), ratio),
             qtDevice(logical.width(), ratio), qtDevice(logical.height(), ratio) };
}

} // namespace platform::qt

namespace platform::backend {

std::unique_ptr<WindowPeer> createWindow(WindowEvents &events, BorderStyle style)
{
    return std::make_unique<qt::Window>(events, style);
}

} // namespace platform::backend
