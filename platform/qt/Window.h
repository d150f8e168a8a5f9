// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/backend/Windows.h"
#include "platform/qt/Widgets.h"

#include <QPointer>
#include <QWidget>

#include <optional>
#include <utility>

class QWindow;

namespace platform::qt {

// A top-level window: a QWidget that passes what happens to it on to the
// form's events.
class WindowWidget : public QWidget
{
public:
    WindowWidget(backend::WindowEvents &events, Qt::WindowFlags flags);
    // Nothing reaches the form after this: it is going.
    void detach() { attached = false; }
    // Where the compositor places the windows (Wayland), a borderless
    // window the size of the screen is put into full screen instead, and
    // taken out of it for any other size.
    void resizeBorderless(QSize size);

protected:
    void closeEvent(QCloseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void compositorAnswered();

    backend::WindowEvents &events;
    bool attached = true;
    // The size to take once the compositor has let the window out of full
    // screen: until it answers, it restores the size from before.
    std::optional<QSize> sizeAfterFullScreen;
    // Mouse movement is watched on the window system's window, which gets
    // every movement whichever widget is under the pointer and whether or
    // not any widget tracks the mouse.
    QPointer<QWindow> watched;
};

class Window : public backend::WindowPeer, public ContainerArea, public HasWidget
{
public:
    Window(backend::WindowEvents &events, BorderStyle style);
    ~Window() override;
    Window(const Window &) = delete;
    Window &operator=(const Window &) = delete;

    QWidget *area() const override { return window; }
    QWidget *widget() const override { return window; }

    void setClientSize(backend::PixelSize size) override;
    backend::PixelSize clientSize() const override;
    void setPosition(backend::PixelPoint position) override;
    backend::PixelPoint position() const override;
    void show() override;
    void hide() override;
    void close() override;
    bool visible() const override;
    void setCaption(std::string_view text) override;
    void setAccessibleName(std::string_view text) override;
    void setFont(const Font &font) override;
    void setTabOrder(const std::vector<backend::ControlPeer *> &controls) override;
    std::uintptr_t nativeHandle() const override;
    void setPointerHidden(bool hidden) override;
    double deviceScale() const override;
    void setDeviceGeometry(backend::PixelRect rect, backend::PixelSize runtime) override;
    backend::PixelRect deviceGeometry() const override;

private:
    BorderStyle style;
    // The last exact placement, while the widget still has the geometry
    // that went with it.
    std::optional<std::pair<QRect, backend::PixelRect>> placed;
    WindowWidget *window;
};

} // namespace platform::qt
