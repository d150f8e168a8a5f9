// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

// The Qt widgets behind the runtime's forms and controls, for the tests of
// what only the Qt back end does.

#include "platform/Control.h"
#include "platform/Form.h"
#include "platform/detail/Access.h"
#include "platform/qt/Widgets.h"

#include <QWidget>

namespace qttest {

inline QWidget *widgetOf(const platform::Control &control)
{
    return platform::qt::widgetOf(platform::detail::Access::peer(control));
}

inline QWidget *windowOf(const platform::Form &form)
{
    return dynamic_cast<platform::qt::HasWidget &>(platform::detail::Access::peer(form)).widget();
}

} // namespace qttest
