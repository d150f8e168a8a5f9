// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

// Hooks for tests only: the program never includes this header, and only
// tests and benchmarks link what it declares. Everything here works the
// same on every back end; what needs the toolkit goes through it, as a
// user's clicks and keys would.

#include "platform/RuntimeError.h"
#include "platform/Single.h"
#include "platform/Values.h"
#include "platform/detail/Geometry.h"
#include "platform/detail/ShellHook.h"

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class Control;
class DirListBox;
class DriveListBox;
class FileListBox;
class Form;
class Label;
class Picture;
class TextBox;
class Timer;
} // namespace platform

// How a failed check shows sizes and places.
namespace platform::detail {

inline void PrintTo(const PixelSize &size, std::ostream *out)
{
    *out << size.width << " by " << size.height;
}

inline void PrintTo(const PixelPoint &point, std::ostream *out)
{
    *out << "(" << point.x << ", " << point.y << ")";
}

inline void PrintTo(const PixelRect &rect, std::ostream *out)
{
    *out << rect.width << " by " << rect.height << " at (" << rect.x << ", " << rect.y << ")";
}

} // namespace platform::detail

namespace platform::testing {

using detail::PixelPoint;
using detail::PixelRect;
using detail::PixelSize;

// Before the Application: a display for tests that need none of their own
// (Qt's offscreen platform on a 1024 by 768 screen; on Windows, the
// desktop there is).
void prepareHeadlessDisplay();

struct MsgBoxCall
{
    std::string prompt;
    int style = 0;
    std::string title;
};

// Answers every message box with OK and records it, while it lives. With
// `whileOpen`, each box stays open while that runs, as a user reading it:
// the event loop may be turned inside it.
class MsgBoxRecorder
{
public:
    MsgBoxRecorder();
    explicit MsgBoxRecorder(std::function<void()> whileOpen);
    ~MsgBoxRecorder();
    MsgBoxRecorder(const MsgBoxRecorder &) = delete;
    MsgBoxRecorder &operator=(const MsgBoxRecorder &) = delete;

    const std::vector<MsgBoxCall> &calls() const { return recorded; }
    void clear() { recorded.clear(); }

private:
    std::vector<MsgBoxCall> recorded;
};

// Records what the shell is asked to open, opening nothing, while it lives.
class ShellRecorder
{
public:
    using Call = detail::ShellCall;
    ShellRecorder();
    ~ShellRecorder();
    ShellRecorder(const ShellRecorder &) = delete;
    ShellRecorder &operator=(const ShellRecorder &) = delete;

    const std::vector<Call> &calls() const { return recorded; }

private:
    std::vector<Call> recorded;
};

// Records the runtime errors that would end the program, while it lives.
class RuntimeErrorRecorder
{
public:
    RuntimeErrorRecorder();
    ~RuntimeErrorRecorder();
    RuntimeErrorRecorder(const RuntimeErrorRecorder &) = delete;
    RuntimeErrorRecorder &operator=(const RuntimeErrorRecorder &) = delete;

    const std::vector<RuntimeError> &errors() const { return recorded; }

private:
    std::vector<RuntimeError> recorded;
};

// The screen the program sees, in twips, while it lives.
class ScreenOverride
{
public:
    ScreenOverride(Single width, Single height);
    ~ScreenOverride();
    ScreenOverride(const ScreenOverride &) = delete;
    ScreenOverride &operator=(const ScreenOverride &) = delete;
};

// The display's colour profile (ICC bytes; empty for sRGB) the program
// sees instead of the desktop's, while it lives: in force at once, and at
// every show's start.
class DisplayProfileOverride
{
public:
    explicit DisplayProfileOverride(std::vector<unsigned char> profile);
    ~DisplayProfileOverride();
    DisplayProfileOverride(const DisplayProfileOverride &) = delete;
    DisplayProfileOverride &operator=(const DisplayProfileOverride &) = delete;
};

// How many colour transforms were built, and how many profiles refused, in
// the program's life.
struct ColourCounts
{
    int built = 0;
    int refused = 0;
};
ColourCounts colourCounts();

// Records the codes the program asks to end with, ending nothing, while it
// lives.
class ExitRecorder
{
public:
    ExitRecorder();
    ~ExitRecorder();
    ExitRecorder(const ExitRecorder &) = delete;
    ExitRecorder &operator=(const ExitRecorder &) = delete;

    const std::vector<int> &codes() const { return recorded; }
    void clear() { recorded.clear(); }

private:
    std::vector<int> recorded;
};

// Records every form loaded, while it lives.
class LoadRecorder
{
public:
    LoadRecorder();
    ~LoadRecorder();
    LoadRecorder(const LoadRecorder &) = delete;
    LoadRecorder &operator=(const LoadRecorder &) = delete;

    const std::vector<const Form *> &loaded() const { return recorded; }

private:
    std::vector<const Form *> recorded;
};

// --- The user, through the toolkit.

enum Modifier : unsigned { NoModifier = 0, Shift = 1, Ctrl = 2, Alt = 4 };

// The left button pressed and released at the control's centre, or at a
// point of a form's client area (which reaches whatever control lies
// there).
void click(const Control &control);
void clickAt(const Form &form, PixelPoint point);
// A key, by its Windows virtual-key code, pressed and released on the
// form's focused control, or on the form when no control has the focus.
void pressKey(const Form &form, Integer keyCode, unsigned modifiers = NoModifier);
// Focuses the field and types the text at its end.
void typeText(const TextBox &field, std::string_view text);
// The close box, as the user closes a window.
void closeAsUser(const Form &form);
// Moves the window as the window system does when the user drags it.
void moveAsUser(const Form &form, PixelPoint point);
// The mouse moved to a point of the form's client area.
void moveMouse(const Form &form, PixelPoint point);
// Selects the entry shown with this text, as the user does with the mouse;
// false when there is none.
bool pickEntry(const FileListBox &list, std::string_view text);
bool pickEntry(const DriveListBox &list, std::string_view text);
// Opens the folder list's entry shown with this text with Enter.
bool openEntry(const DirListBox &list, std::string_view text);
// The form's control that has the keyboard focus; null for none.
const Control *focusedControl(const Form &form, const std::vector<const Control *> &among);

// --- What the toolkit shows.

PixelRect pixelRect(const Control &control);
PixelSize clientSize(const Form &form);
PixelPoint position(const Form &form);
// The texts of the list's entries as shown, top to bottom.
std::vector<std::string> shownEntries(const Control &list);
// The text a label shows, line breaks as "\n".
std::string shownText(const Label &label);
bool pointerHidden(const Form &form);
// The program's top-level windows on screen.
int visibleWindows();

// --- Time and events.

void processEvents();
// Turns the event loop until the condition holds or the time is up;
// whether it holds.
bool waitFor(const std::function<bool()> &condition, int milliseconds = 10000);
// One tick of the timer, through the dispatcher as a real one comes.
void tick(Timer &timer);

// --- The runtime's own state.

struct DecodeAheadCounts
{
    int held = 0;
    int decoding = 0;
    int hits = 0;
    int decodedAhead = 0;
};
DecodeAheadCounts decodeAheadCounts();
bool decodeAheadHolds(const std::string &path);
bool decodeAheadIdle();
// Nothing held or counted, no size seen: as in a program just started.
void resetDecodeAhead();
// While it lives, or until released, the decode ahead stops at the start of
// each decode, counted as decoding: a test can act while one is under way
// however quick the decode.
class DecodeAheadHold
{
public:
    DecodeAheadHold();
    ~DecodeAheadHold();
    DecodeAheadHold(const DecodeAheadHold &) = delete;
    DecodeAheadHold &operator=(const DecodeAheadHold &) = delete;
    void release();
};

// The idle pointer's wait over a form: whether one is under way and how
// long it was set for (0 for none), and its end.
bool idlePointerWaiting(const Form &form);
int idlePointerWaitMilliseconds(const Form &form);
void firePointerIdle(const Form &form);

// A picture's decoded pixels: their size and one pixel as 0xRRGGBB.
PixelSize decodedSize(const Picture &picture);
std::uint32_t pixelOf(const Picture &picture, int x, int y);
// A picture that claims any size in pixels, with no file behind it.
Picture pictureOfSize(int width, int height);

} // namespace platform::testing
