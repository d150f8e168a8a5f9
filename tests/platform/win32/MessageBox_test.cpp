// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// The system's own message box, with no recorder: its title, its text, its
// icon, and the timers that go on ticking while it waits for the user. A
// timer of the test's closes it, as a user would.
#include "tests/platform/win32/Win32Test.h"

#include "platform/CommandButton.h"
#include "platform/Form.h"
#include "platform/MsgBox.h"
#include "platform/Testing.h"
#include "platform/Timer.h"
#include "platform/win32/Text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

using namespace platform;

namespace {

class Window : public Form
{
public:
    Window() : Form(BorderStyle::FixedSingle, 3000, 1500), button(*this)
    {
        button.move(120, 120, 1500, 375);
    }
    CommandButton button;
};

// Whether two icons draw the same picture.
bool samePicture(HICON a, HICON b)
{
    const int side = GetSystemMetrics(SM_CXICON);
    win32test::Canvas first(side, side, RGB(1, 2, 3));
    win32test::Canvas second(side, side, RGB(1, 2, 3));
    DrawIconEx(first.dc(), 0, 0, a, side, side, 0, nullptr, DI_NORMAL);
    DrawIconEx(second.dc(), 0, 0, b, side, side, 0, nullptr, DI_NORMAL);
    return win32test::holdsAt(first, second, 0, 0);
}

// Should the timers not tick inside the box, none of them could close it:
// after a while this closes every dialog of the thread, from a thread of
// its own, and the test fails instead of waiting for ever.
class Watchdog
{
public:
    explicit Watchdog(std::chrono::seconds patience)
        : watched(GetCurrentThreadId()), thread([this, patience] {
              std::unique_lock lock(mutex);
              if (woken.wait_for(lock, patience, [this] { return done; }))
                  return;
              EnumThreadWindows(
                      watched,
                      [](HWND window, LPARAM) {
                          wchar_t name[16] = {};
                          GetClassNameW(window, name, 16);
                          if (std::wstring(name) == L"#32770")
                              PostMessageW(window, WM_CLOSE, 0, 0);
                          return TRUE;
                      },
                      0);
          })
    { }
    ~Watchdog()
    {
        {
            const std::lock_guard lock(mutex);
            done = true;
        }
        woken.notify_one();
        thread.join();
    }
    Watchdog(const Watchdog &) = delete;
    Watchdog &operator=(const Watchdog &) = delete;

private:
    DWORD watched;
    std::mutex mutex;
    std::condition_variable woken;
    bool done = false;
    std::thread thread;
};

// What the test saw of the open box.
struct Seen
{
    std::wstring text;
    HICON icon = nullptr;
    bool ownerDisabled = false;
};

std::optional<Seen> look(HWND box, HWND owner)
{
    Seen seen;
    // The prompt is the static text that is no icon.
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[32] = {};
        GetClassNameW(child, className, 32);
        if (std::wstring(className) != L"Static")
            continue;
        if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            seen.icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        } else {
            wchar_t text[256] = {};
            GetWindowTextW(child, text, 256);
            if (text[0])
                seen.text = text;
        }
    }
    seen.ownerDisabled = !IsWindowEnabled(owner);
    return seen;
}

TEST(SystemMessageBox, IsTheSystemsOwnTitledWithTheApplicationWhileTimersTick)
{
    const struct
    {
        const char *prompt;
        int style;
        LPCWSTR icon; // none for a plain box
        UINT close; // how the user closes it
    } rows[] = {
        { "Please select a valid image folder.", vbCritical, IDI_HAND, WM_COMMAND },
        { "Ten über 10 — ok?", vbOKOnly, nullptr, WM_CLOSE },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.prompt);
        Window window;
        window.show();
        int ticksWhileOpen = 0;
        bool open = false;
        Timer ticking;
        ticking.setInterval(20);
        ticking.onTimer([&] {
            if (open)
                ++ticksWhileOpen;
        });
        ticking.setEnabled(true);

        std::optional<Seen> seen;
        std::vector<HWND> boxes;
        // The user reads the box a while, long enough for the other timer
        // to tick a few times, then closes it; without a box or ticks, in
        // ten seconds it closes every dialog there is.
        Timer closing;
        int closingTicks = 0;
        closing.setInterval(100);
        closing.onTimer([&] {
            boxes = win32test::threadWindows(L"#32770", L"Project1");
            const bool givingUp = ++closingTicks >= 100;
            if ((boxes.size() != 1 || ticksWhileOpen < 5) && !givingUp)
                return;
            closing.setEnabled(false);
            if (givingUp) {
                for (const HWND dialog : win32test::threadWindows(L"#32770"))
                    PostMessageW(dialog, WM_CLOSE, 0, 0);
            }
            if (boxes.size() != 1)
                return;
            seen = look(boxes.front(), win32test::handleOf(window));
            if (row.close == WM_COMMAND)
                PostMessageW(boxes.front(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            else
                PostMessageW(boxes.front(), WM_CLOSE, 0, 0);
        });

        const Watchdog watchdog(std::chrono::seconds(30));
        // From a click's handler, as the program shows its messages.
        int answer = 0;
        window.button.onClick([&] {
            closing.setEnabled(true);
            open = true;
            answer = MsgBox(row.prompt, row.style);
            open = false;
        });
        platform::testing::click(window.button);

        ASSERT_EQ(boxes.size(), 1U) << "no message box titled Project1 was open";
        ASSERT_TRUE(seen);
        EXPECT_EQ(answer, vbOK);
        EXPECT_EQ(seen->text, win32::wide(row.prompt));
        if (row.icon) {
            ASSERT_NE(seen->icon, nullptr);
            EXPECT_TRUE(samePicture(seen->icon, LoadIconW(nullptr, row.icon)));
            EXPECT_FALSE(samePicture(seen->icon, LoadIconW(nullptr, IDI_ASTERISK)));
            EXPECT_FALSE(samePicture(seen->icon, LoadIconW(nullptr, IDI_EXCLAMATION)));
        } else {
            EXPECT_EQ(seen->icon, nullptr);
        }
        // Modal to the program's windows, not to its timers.
        EXPECT_TRUE(seen->ownerDisabled);
        EXPECT_GE(ticksWhileOpen, 5);
        EXPECT_FALSE(IsWindow(boxes.front()));
        EXPECT_TRUE(IsWindowEnabled(win32test::handleOf(window)));
        ticking.setEnabled(false);
    }
}

} // namespace
