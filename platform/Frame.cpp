// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Frame.h"

#include <QFrame>

namespace platform {

namespace {

QFrame *makeFrame()
{
    auto *frame = new QFrame;
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setAutoFillBackground(true);
    return frame;
}

} // namespace

Frame::Frame(Container &parent) : Control(parent, makeFrame()) { }

QWidget *Frame::childArea() const
{
    return widget();
}

} // namespace platform
