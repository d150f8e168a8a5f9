// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

// What the test hooks need of the toolkit: the user's clicks and keys sent
// through it, and what it shows read back. Only the test hooks use it.

#include "platform/Values.h"
#include "platform/backend/Windows.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::backend::testing {

void prepareHeadlessDisplay();

void click(ControlPeer &control);
void clickAt(WindowPeer &window, PixelPoint point);
void pressKey(WindowPeer &window, Integer keyCode, unsigned modifiers);
void typeText(ControlPeer &field, std::string_view text);
void closeAsUser(WindowPeer &window);
void moveAsUser(WindowPeer &window, PixelPoint point);
void moveMouse(WindowPeer &window, PixelPoint point);
// The index of the entry picked, or -1 when none is shown with the text.
int pickEntry(ControlPeer &list, std::string_view text);
int openEntry(ControlPeer &list, std::string_view text);

PixelRect pixelRect(const ControlPeer &control);
std::vector<std::string> shownEntries(const ControlPeer &list);
std::string shownText(const ControlPeer &label);
bool pointerHidden(const WindowPeer &window);
int visibleWindows();

void processEvents();
// Turns the event loop for about this long, or until there is nothing to
// do, whichever is first.
void processEventsFor(int milliseconds);

} // namespace platform::backend::testing
