// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// A press whose mouse capture is taken away before the release (a message
// box, Alt+Tab, another program's window) is no click: Windows sends the
// release to whatever is under the pointer then, and the show's window and
// picture would count it as the end of their press.
#include "tests/platform/win32/Win32Test.h"
#include "tests/support/ProgramFixture.h"

#include "show_window/frmShow.h"

using namespace platform;
using testsupport::ProgramFixture;
using win32test::handleOf;

namespace {

class MouseCapture : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        pictures.jpeg("a.jpg", 400, 300);
        start(pictures.path());
        runOpening();
        ASSERT_EQ(show().width(), 15360);
    }

    // Press and release in the middle of a window, the capture taken by
    // another window in between or not.
    void pressAndRelease(HWND target, bool captureLost)
    {
        const LPARAM at = MAKELPARAM(20, 20);
        SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
        if (captureLost) {
            ASSERT_EQ(GetCapture(), target);
            SetCapture(handleOf(main()));
            ReleaseCapture();
        }
        SendMessageW(target, WM_LBUTTONUP, 0, at);
    }
};

TEST_F(MouseCapture, APressWhoseCaptureWasTakenIsNoClick)
{
    const struct
    {
        const char *name;
        HWND target;
    } rows[] = {
        { "the picture", handleOf(show().imgShow) },
        { "the show window", handleOf(show()) },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        pressAndRelease(row.target, true);
        EXPECT_EQ(show().width(), 15360);
        // The same press and release with the capture kept is a click: the
        // window toggles to the square and back.
        pressAndRelease(row.target, false);
        EXPECT_EQ(show().width(), 5000);
        pressAndRelease(row.target, false);
        EXPECT_EQ(show().width(), 15360);
    }
}

} // namespace
