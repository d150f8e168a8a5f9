// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/AccessibleRole.h"

#include <windows.h>

#include <string>

namespace platform::win32 {

// What screen readers are told of a window beyond what the system's own
// accessible objects read from it (Microsoft Active Accessibility, and UI
// Automation through it): a name where the window shows none, a
// description, a role. Empty or Default: the system's own answer.
struct AccessibleFacts
{
    std::wstring name;
    std::wstring description;
    AccessibleRole role = AccessibleRole::Default;

    bool any() const
    {
        return !name.empty() || !description.empty() || role != AccessibleRole::Default;
    }
};

// Gives the facts to the system's own accessible objects for the window
// (its client and window objects) through Direct Annotation, which both
// Microsoft Active Accessibility and UI Automation read. False where the
// system has no annotation to give (Wine's oleacc answers E_NOTIMPL): the
// window then answers WM_GETOBJECT with them itself.
bool annotate(HWND window, const AccessibleFacts &facts);
// Before the window goes: the annotations would outlive it otherwise.
void clearAnnotations(HWND window);

// The answer to WM_GETOBJECT for the window's client and window objects:
// the system's own object with these facts over it. False when the facts
// add nothing or the object cannot be made; the window procedure then
// answers as it would have.
bool answerGetObject(HWND window, WPARAM flags, LPARAM objectId, const AccessibleFacts &facts,
                     LRESULT &result);

// Makes a control's window answer WM_GETOBJECT with the facts, which must
// outlive the hook, and lets every other message through untouched. The
// hook sits over the window procedure itself rather than in a comctl32
// subclass, which under Wine would cost a round trip to the server on each
// message the control gets.
void hookGetObject(HWND window, const AccessibleFacts *facts);
void unhookGetObject(HWND window);

} // namespace platform::win32
