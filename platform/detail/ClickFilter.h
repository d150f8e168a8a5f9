// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include <functional>

namespace platform::detail {

// Turns a press and release of the left button inside a widget into one
// Click event.
class ClickFilter : public QObject
{
public:
    static void install(QWidget *widget, std::function<void()> handler);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ClickFilter(QWidget *widget, std::function<void()> handler);
    std::function<void()> handler;
    bool pressed = false;
};

} // namespace platform::detail
