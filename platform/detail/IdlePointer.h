// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class QWidget;
class QWindow;

namespace platform::detail {

// Hides the mouse pointer over a window that covers the whole screen once
// the mouse has not moved for a while, and shows it again at the next
// movement. One single-shot timer, restarted by each movement: nothing
// runs while the mouse is still.
class IdlePointer : public QObject
{
public:
    static constexpr int IdleMilliseconds = 3000;

    explicit IdlePointer(QWidget *window);

    // What the window does; the form passes it on.
    void shown();
    void hidden();
    void geometryChanged();

    // The timer ran out: the pointer goes if the window covers the screen.
    void idle();
    const QTimer &timer() const { return idleTimer; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void moved();
    bool coversScreen() const;
    void showPointer();

    QWidget *window;
    // Mouse movement is watched on the window system's window, which gets
    // every movement whichever widget is under the pointer and whether or
    // not any widget tracks the mouse.
    QPointer<QWindow> watched;
    QTimer idleTimer;
    bool pointerHidden = false;
};

} // namespace platform::detail
