// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Shell.h"

#include "platform/detail/ShellHook.h"
#include "platform/detail/Text.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

namespace detail {

namespace {
ShellHook hook;
}

ShellHook setShellHook(ShellHook replacement)
{
    ShellHook previous = std::move(hook);
    hook = std::move(replacement);
    return previous;
}

} // namespace detail

namespace {

// What the shell answers: more than 32 for success, 2 when nothing could
// open the file.
constexpr Long Opened = 42;
constexpr Long NotOpened = 2;

} // namespace

Long ShellExecuteA(std::uintptr_t hwnd, std::string_view operation, std::string_view file,
                   std::string_view parameters, std::string_view directory, Long showCommand)
{
    if (detail::hook)
        return detail::hook({ hwnd, std::string(operation), std::string(file),
                              std::string(parameters), std::string(directory), showCommand });
    // "open" is the only operation the desktop's opener knows; an address or
    // a path is handed to it as it stands.
    if (detail::toQString(operation).compare(QLatin1String("open"), Qt::CaseInsensitive) != 0)
        return NotOpened;
    const QUrl url = QUrl::fromUserInput(detail::toQString(file));
    if (!url.isValid())
        return NotOpened;
    return QDesktopServices::openUrl(url) ? Opened : NotOpened;
}

} // namespace platform
