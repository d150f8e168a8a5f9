// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Container.h"
#include "platform/Control.h"
#include "platform/Form.h"
#include "platform/Timer.h"

namespace platform::detail {

// The peers behind the forms' objects, for the runtime's own use and for
// the test hooks.
struct Access
{
    static backend::ContainerPeer &containerPeer(const Container &container)
    {
        return container.containerPeer();
    }
    static backend::ControlPeer &peer(const Control &control) { return *control.controlPeer; }
    static backend::WindowPeer &peer(const Form &form) { return *form.peer; }
    static backend::WindowEvents &events(Form &form) { return form; }
    static backend::ControlEvents &events(Control &control) { return control; }
    static IdlePointer *idlePointer(const Form &form) { return form.idlePointer.get(); }
    static void tick(Timer &timer) { timer.deliver(); }
    static backend::TimerPeer &peer(const Timer &timer) { return *timer.peer; }
};

} // namespace platform::detail
