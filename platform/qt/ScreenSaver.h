// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/backend/Desktop.h"

#include <memory>
#include <optional>
#include <string>

namespace platform::qt {

// Keeps the desktop's screen saver and display blanking away while held,
// through org.freedesktop.ScreenSaver on the session bus. Where there is no
// bus, or no such service on it, holding does nothing: the program never
// waits for an answer before going on.
class ScreenSaverInhibition : public backend::ScreenSaverPeer
{
public:
    ScreenSaverInhibition();
    // Lets go of a hold still in place.
    ~ScreenSaverInhibition() override;
    ScreenSaverInhibition(const ScreenSaverInhibition &) = delete;
    ScreenSaverInhibition &operator=(const ScreenSaverInhibition &) = delete;

    void hold() override;
    void release() override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// Tests point the screen saver at a bus of their own; nullopt goes back to
// the session bus.
void overrideScreenSaverBus(std::optional<std::string> address);

} // namespace platform::qt
