// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/qt/Widgets.h"

namespace platform::qt {

QWidget *areaOf(backend::ContainerPeer &container)
{
    return dynamic_cast<ContainerArea &>(container).area();
}

QWidget *widgetOf(const backend::ControlPeer &control)
{
    return dynamic_cast<const HasWidget &>(control).widget();
}

} // namespace platform::qt
