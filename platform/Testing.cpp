// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Testing.h"

#include "platform/DirListBox.h"
#include "platform/DriveListBox.h"
#include "platform/FileListBox.h"
#include "platform/Label.h"
#include "platform/MsgBox.h"
#include "platform/TextBox.h"
#include "platform/backend/TestDriver.h"
#include "platform/detail/Access.h"
#include "platform/detail/ColourConverter.h"
#include "platform/detail/DecodeAhead.h"
#include "platform/detail/Dispatch.h"
#include "platform/detail/ExitHook.h"
#include "platform/detail/IdlePointer.h"
#include "platform/detail/LoadHook.h"
#include "platform/detail/MsgBoxHook.h"
#include "platform/detail/PictureData.h"
#include "platform/detail/ScreenSize.h"
#include "platform/detail/ShellHook.h"

#include <chrono>

namespace platform::testing {

namespace driver = backend::testing;
using detail::Access;

void prepareHeadlessDisplay()
{
    driver::prepareHeadlessDisplay();
}

MsgBoxRecorder::MsgBoxRecorder() : MsgBoxRecorder(std::function<void()>()) { }

MsgBoxRecorder::MsgBoxRecorder(std::function<void()> whileOpen)
{
    detail::setMsgBoxHook([this, whileOpen = std::move(whileOpen)](
                                  std::string_view prompt, int style, std::string_view title) {
        recorded.push_back({ std::string(prompt), style, std::string(title) });
        if (whileOpen)
            whileOpen();
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

DisplayProfileOverride::DisplayProfileOverride(std::vector<unsigned char> profile)
{
    detail::ColourConverter::instance().overrideDisplay(std::move(profile));
}

DisplayProfileOverride::~DisplayProfileOverride()
{
    detail::ColourConverter::instance().overrideDisplay(std::nullopt);
}

ColourCounts colourCounts()
{
    const auto counts = detail::ColourConverter::instance().counts();
    return { counts.built, counts.refused };
}

ScreenOverride::ScreenOverride(Single width, Single height)
{
    detail::overrideScreen(detail::ScreenTwips{ width.value(), height.value() });
}

ScreenOverride::~ScreenOverride()
{
    detail::overrideScreen(std::nullopt);
}

ExitRecorder::ExitRecorder()
{
    detail::setExitHook([this](int code) { recorded.push_back(code); });
}

ExitRecorder::~ExitRecorder()
{
    detail::setExitHook({});
}

LoadRecorder::LoadRecorder()
{
    detail::setLoadHook([this](const Form &form) { recorded.push_back(&form); });
}

LoadRecorder::~LoadRecorder()
{
    detail::setLoadHook({});
}

void click(const Control &control)
{
    driver::click(Access::peer(control));
}

void clickAt(const Form &form, PixelPoint point)
{
    driver::clickAt(Access::peer(form), point);
}

void pressKey(const Form &form, Integer keyCode, unsigned modifiers)
{
    driver::pressKey(Access::peer(form), keyCode, modifiers);
}

void typeText(const TextBox &field, std::string_view text)
{
    driver::typeText(Access::peer(field), text);
}

void closeAsUser(const Form &form)
{
    driver::closeAsUser(Access::peer(form));
}

void moveAsUser(const Form &form, PixelPoint point)
{
    driver::moveAsUser(Access::peer(form), point);
}

void moveMouse(const Form &form, PixelPoint point)
{
    driver::moveMouse(Access::peer(form), point);
}

bool pickEntry(const FileListBox &list, std::string_view text)
{
    return driver::pickEntry(Access::peer(list), text) >= 0;
}

bool pickEntry(const DriveListBox &list, std::string_view text)
{
    return driver::pickEntry(Access::peer(list), text) >= 0;
}

bool openEntry(const DirListBox &list, std::string_view text)
{
    return driver::openEntry(Access::peer(list), text) >= 0;
}

const Control *focusedControl(const Form &, const std::vector<const Control *> &among)
{
    for (const Control *control : among) {
        if (control->hasFocus())
            return control;
    }
    return nullptr;
}

PixelRect pixelRect(const Control &control)
{
    return driver::pixelRect(Access::peer(control));
}

PixelSize clientSize(const Form &form)
{
    return Access::peer(form).clientSize();
}

PixelPoint position(const Form &form)
{
    return Access::peer(form).position();
}

std::vector<std::string> shownEntries(const Control &list)
{
    return driver::shownEntries(Access::peer(list));
}

std::string shownText(const Label &label)
{
    return driver::shownText(Access::peer(label));
}

bool pointerHidden(const Form &form)
{
    return driver::pointerHidden(Access::peer(form));
}

int visibleWindows()
{
    return driver::visibleWindows();
}

void processEvents()
{
    driver::processEvents();
}

bool waitFor(const std::function<bool()> &condition, int milliseconds)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (condition())
            return true;
        if (Clock::now() >= end)
            return false;
        driver::processEventsFor(5);
    }
}

void tick(Timer &timer)
{
    Access::tick(timer);
}

DecodeAheadCounts decodeAheadCounts()
{
    const detail::DecodeAhead::Counts counts = detail::DecodeAhead::instance().counts();
    return { counts.held, counts.decoding, counts.hits, counts.decodedAhead };
}

bool decodeAheadHolds(const std::string &path)
{
    return detail::DecodeAhead::instance().holdsDecoded(path);
}

bool decodeAheadIdle()
{
    return detail::DecodeAhead::instance().idle();
}

void resetDecodeAhead()
{
    detail::DecodeAhead::instance().reset();
}

DecodeAheadHold::DecodeAheadHold()
{
    detail::DecodeAhead::instance().holdDecodes(true);
}

DecodeAheadHold::~DecodeAheadHold()
{
    release();
}

void DecodeAheadHold::release()
{
    detail::DecodeAhead::instance().holdDecodes(false);
}

bool idlePointerWaiting(const Form &form)
{
    const detail::IdlePointer *pointer = Access::idlePointer(form);
    return pointer && pointer->waiting();
}

int idlePointerWaitMilliseconds(const Form &form)
{
    const detail::IdlePointer *pointer = Access::idlePointer(form);
    return pointer ? pointer->waitMilliseconds() : 0;
}

void firePointerIdle(const Form &form)
{
    if (detail::IdlePointer *pointer = Access::idlePointer(form))
        pointer->idle();
}

PixelSize decodedSize(const Picture &picture)
{
    const auto &data = detail::PictureData::of(picture);
    return data ? data->image.size() : PixelSize{};
}

std::uint32_t pixelOf(const Picture &picture, int x, int y)
{
    const auto &data = detail::PictureData::of(picture);
    if (!data || x < 0 || y < 0 || x >= data->image.width() || y >= data->image.height())
        return 0;
    return data->image.pixel(x, y) & 0xffffffu;
}

Picture pictureOfSize(int width, int height)
{
    auto data = std::make_shared<detail::PictureData>();
    data->image = detail::Bitmap({ 1, 1 }, false);
    data->image.fill(0xff808080u);
    data->size = { width, height };
    return detail::PictureData::make(std::move(data));
}

} // namespace platform::testing
