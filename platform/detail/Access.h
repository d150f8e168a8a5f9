// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Container.h"
#include "platform/Control.h"
#include "platform/Form.h"
#include "platform/Timer.h"

namespace platform::detail {

// The widgets behind the forms' objects, for the runtime's own use and for
// tests that click and type into them.
struct Access
{
    static QWidget *childArea(const Container &container) { return container.childArea(); }
    static QWidget *widget(const Control &control) { return control.qwidget; }
    static QWidget *window(const Form &form) { return form.window; }
    static QObject *timer(const Timer &timer) { return timer.qtimer(); }
    static IdlePointer *idlePointer(const Form &form) { return form.idlePointer; }
};

} // namespace platform::detail
