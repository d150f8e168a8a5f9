// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

// The desktop around the windows: the screen, message boxes, the shell,
// the screen saver, the user's locale.

#include "platform/Values.h"
#include "platform/detail/Geometry.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace platform::backend {

// The primary screen in device-independent pixels, and how many device
// pixels each of those holds.
detail::PixelSize primaryScreen();
double devicePixelRatio();
// The primary screen's own device pixels: whole device-independent pixels
// times the ratio can miss them by a pixel at a fractional scale.
detail::PixelSize primaryScreenDevice();

// The colour profile (ICC) the desktop publishes for the screen that shows
// the window (a native handle); empty where none is published, it cannot
// be read, or it is larger than `limit` bytes.
std::vector<unsigned char> displayColourProfile(std::uintptr_t window, std::size_t limit);

// Modal to the user, not to the timers: the event loop goes on inside it.
void showMessageBox(std::string_view text, std::string_view title, bool critical);

// The shell's open, as the program asks for it; greater than 32 when a
// handler took it.
Long shellExecute(std::uintptr_t window, std::string_view operation, std::string_view file,
                  std::string_view parameters, std::string_view directory, Long showCommand);

// The user's decimal separator, when it is one character other than '.'.
std::optional<char> decimalSeparator();

// Keeps the screen saver and display blanking away while held. Where the
// desktop offers no way, holding does nothing; it never waits for the
// desktop before going on.
class ScreenSaverPeer
{
public:
    virtual ~ScreenSaverPeer() = default;
    virtual void hold() = 0;
    virtual void release() = 0;
};

std::unique_ptr<ScreenSaverPeer> createScreenSaverHold();

} // namespace platform::backend
