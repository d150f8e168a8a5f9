// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Testing.h"

#include "platform/MsgBox.h"
#include "platform/detail/Access.h"
#include "platform/detail/Dispatch.h"
#include "platform/detail/IdlePointer.h"
#include "platform/detail/MsgBoxHook.h"
#include "platform/detail/PictureData.h"
#include "platform/detail/ScreenSaver.h"
#include "platform/detail/ScreenSize.h"
#include "platform/detail/ShellHook.h"

namespace platform::testing {

MsgBoxRecorder::MsgBoxRecorder()
{
    detail::setMsgBoxHook([this](std::string_view prompt, int style, std::string_view title) {
        recorded.push_back({ std::string(prompt), style, std::string(title) });
        return vbOK;
    });
}

MsgBoxRecorder::~MsgBoxRecorder()
{
    detail::setMsgBoxHook({});
}

ShellRecorder::ShellRecorder()
{
    detail::setShellHook([this](const detail::ShellCall &call) {
        recorded.push_back(call);
        return Long(42);
    });
}

ShellRecorder::~ShellRecorder()
{
    detail::setShellHook({});
}

RuntimeErrorRecorder::RuntimeErrorRecorder()
{
    detail::setErrorSink([this](const RuntimeError &error) { recorded.push_back(error); });
}

RuntimeErrorRecorder::~RuntimeErrorRecorder()
{
    detail::setErrorSink({});
}

ScreenOverride::ScreenOverride(Single width, Single height)
{
    detail::overrideScreen(QSizeF(width.value(), height.value()));
}

ScreenOverride::~ScreenOverride()
{
    detail::overrideScreen(std::nullopt);
}

ScreenSaverBus::ScreenSaverBus(const std::string &address)
{
    detail::overrideScreenSaverBus(address);
}

ScreenSaverBus::~ScreenSaverBus()
{
    detail::overrideScreenSaverBus(std::nullopt);
}

IdleTimer idlePointerTimer(const Form &form)
{
    const QTimer &timer = detail::Access::idlePointer(form)->timer();
    return { timer.isActive(), timer.isSingleShot(), timer.interval() };
}

void firePointerIdle(const Form &form)
{
    detail::Access::idlePointer(form)->idle();
}

Picture pictureOfSize(int width, int height)
{
    auto data = std::make_shared<detail::PictureData>();
    data->image = QImage(1, 1, QImage::Format_RGB32);
    data->image.fill(Qt::gray);
    data->size = QSize(width, height);
    return detail::PictureData::make(std::move(data));
}

QWidget *widgetOf(const Control &control)
{
    return detail::Access::widget(control);
}

QObject *timerObjectOf(const Timer &timer)
{
    return detail::Access::timer(timer);
}

QWidget *windowOf(const Form &form)
{
    return detail::Access::window(form);
}

} // namespace platform::testing
