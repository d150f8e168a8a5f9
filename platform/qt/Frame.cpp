// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/qt/Widgets.h"

#include <QFrame>

namespace platform::qt {

namespace {

QFrame *makeFrame()
{
    auto *frame = new QFrame;
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setAutoFillBackground(true);
    return frame;
}

class Frame : public WidgetPeer<backend::FramePeer>, public ContainerArea
{
public:
    explicit Frame(backend::ContainerPeer &parent) : WidgetPeer(makeFrame(), parent) { }
    QWidget *area() const override { return widget(); }
};

} // namespace

} // namespace platform::qt

namespace platform::backend {

std::unique_ptr<FramePeer> createFrame(ContainerPeer &parent, ControlEvents &)
{
    return std::make_unique<qt::Frame>(parent);
}

} // namespace platform::backend
