// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/MsgBox.h"

#include "platform/Application.h"
#include "platform/backend/Desktop.h"
#include "platform/detail/MsgBoxHook.h"

namespace platform {

namespace detail {

namespace {
MsgBoxHook hook;
}

MsgBoxHook setMsgBoxHook(MsgBoxHook replacement)
{
    MsgBoxHook previous = std::move(hook);
    hook = std::move(replacement);
    return previous;
}

} // namespace detail

int MsgBox(std::string_view prompt, int style, std::string_view title)
{
    const std::string_view shownTitle = title.empty() ? std::string_view(ApplicationTitle) : title;
    if (detail::hook)
        return detail::hook(prompt, style, shownTitle);
    backend::showMessageBox(prompt, shownTitle, (style & 0x70) == vbCritical);
    return vbOK;
}

} // namespace platform
