// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/AccessibleRole.h"

class QWidget;

namespace platform::qt {

// What screen readers are told the widget is; Default leaves Qt's own
// answer. A label made a link is read as a link with its text, and a
// screen reader's press on it clicks it.
void setAccessibleRole(QWidget *widget, AccessibleRole role);
// A form's window is read as a window (a frame) named by its caption, not
// as the anonymous filler Qt makes of a plain top-level widget.
void readAsWindow(QWidget *window);

} // namespace platform::qt
