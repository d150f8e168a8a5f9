// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Shell.h"

#include "platform/backend/Desktop.h"
#include "platform/detail/ShellHook.h"

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

Long ShellExecuteA(std::uintptr_t hwnd, std::string_view operation, std::string_view file,
                   std::string_view parameters, std::string_view directory, Long showCommand)
{
    if (detail::hook)
        return detail::hook({ hwnd, std::string(operation), std::string(file),
                              std::string(parameters), std::string(directory), showCommand });
    return backend::shellExecute(hwnd, operation, file, parameters, directory, showCommand);
}

} // namespace platform
