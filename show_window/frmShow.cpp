// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "show_window/frmShow.h"

#include "main_window/Form1.h"
#include "program/Program.h"

#include "show_window/Ratio.h"

#include "platform/FileListBox.h"
#include "platform/KeyCodes.h"
#include "platform/Paths.h"
#include "platform/Picture.h"
#include "platform/RuntimeError.h"
#include "platform/Screen.h"

using platform::False;
using platform::Integer;
using platform::Long;
using platform::Screen;
using platform::Single;
using platform::True;

namespace {

// Each opening tick grows a side by this much, half on either edge, so the
// window stays centred.
constexpr double GrowthStep = 1000;
constexpr int OpeningInterval = 50;
constexpr int ShowInterval = 1000;

} // namespace

frmShow::frmShow(Program &program)
    : Form(platform::BorderStyle::None, 4560, 3420), imgShow(*this), program(program)
{
    setCaption("");
    // The show has no title bar to read a name from; a screen reader names
    // it after the program.
    setAccessibleName("Pelorin");
    // Nobody is at the keyboard or the mouse while a show runs: neither the
    // screen saver nor the pointer may cover the pictures.
    setKeepScreenAwake(true);
    setHideIdlePointer(true);
    imgShow.move(840, 1080, 1335, 1335);
    imgShow.setStretch(true);

    tmrOpen.setInterval(OpeningInterval);
    tmrOpen.setEnabled(false);
    tmrOpen.onTimer([this] { tmrOpen_Timer(); });
    tmrShow.setInterval(ShowInterval);
    tmrShow.setEnabled(false);
    tmrShow.onTimer([this] { tmrShow_Timer(); });
    imgShow.onClick([this] { imgShow_Click(); });
    onClick([this] { Form_Click(); });
    onClose([this] { Form_QueryUnload(); });
    onKeyDown([this](Integer KeyCode) { Form_KeyDown(KeyCode); });
}

void frmShow::tmrOpen_Timer()
{
    if (timer_width == True) {
        setWidth(width() + GrowthStep);
        setLeft(left() - GrowthStep / 2);
    }
    if (timer_height == True) {
        setHeight(height() + GrowthStep);
        setTop(top() - GrowthStep / 2);
    }
    if (width() >= Screen::width()) {
        timer_width = False;
        setWidth(Screen::width());
        setLeft(0);
    }
    if (height() >= Screen::height()) {
        timer_height = False;
        setHeight(Screen::height());
        setTop(0);
    }
    if (timer_height == False && timer_width == False) {
        tmrOpen.setEnabled(false);
        tick_count = 0;
        tmrShow.setEnabled(true);
    }
    imgShow.setWidth(width());
    imgShow.setHeight(height());
    imgShow.setTop(0);
    imgShow.setLeft(0);
}

// The window's size decides, not a flag: a window of exactly the square's
// size counts as small. Only the window changes; the image keeps its size
// and place until the next forward advance fits it.
void frmShow::imgShow_Click()
{
    const Single windowWidth = width();
    const Single windowHeight = height();
    if (windowWidth > SquareSide && windowHeight > SquareSide) {
        setWidth(SquareSide);
        setHeight(SquareSide);
        setLeft(Screen::width() / 2 - SquareSide / 2);
        setTop(Screen::height() / 2 - SquareSide / 2);
    } else {
        setWidth(Screen::width());
        setHeight(Screen::height());
        setLeft(0);
        setTop(0);
    }
}

void frmShow::Form_Click()
{
    imgShow_Click();
}

void frmShow::Form_QueryUnload()
{
    program.mainWindow().stopShow();
}

void frmShow::Form_KeyDown(Integer KeyCode)
{
    if (KeyCode == platform::vbKeyEscape)
        program.mainWindow().stopShow();
}

void frmShow::tmrShow_Timer()
{
    Form1 &main = program.mainWindow();
    tick_count = platform::increment(tick_count);
    // Read at every tick: a new value counts from the next tick on.
    const double seconds = platform::Int(platform::CDbl(main.txtChange.text()));
    if (seconds != tick_count)
        return;
    advance(main);
}

// Moves to the next picture of the play list, or back to the first after
// the last. A picture that cannot be loaded is passed over by the same
// rule until one loads or every entry has been tried once; the picture on
// screen stays when none loads, or when the list has become empty.
void frmShow::advance(Form1 &main)
{
    const Integer entries = main.File1.listCount();
    for (Integer attempt = 0; attempt < entries; attempt = platform::increment(attempt)) {
        const Integer next = platform::increment(main.File1.listIndex());
        if (next < main.File1.listCount()) {
            main.File1.setListIndex(platform::increment(main.File1.listIndex()));
            if (!loadSelected(main))
                continue;
            tick_count = 0;
            fit();
            return;
        }
        // The wrap fits nothing, on purpose: the first picture comes back
        // in the size and place of the picture before it, and the next
        // forward step fits again.
        main.File1.setListIndex(0);
        if (!loadSelected(main))
            continue;
        tick_count = 0;
        return;
    }
    tick_count = 0;
}

bool frmShow::loadSelected(Form1 &main)
{
    try {
        imgShow.setPicture(platform::LoadPicture(
                platform::joinPath(main.File1.path(), main.File1.fileName())));
    } catch (const platform::RuntimeError &) {
        return false;
    }
    return true;
}

// The picture gets the window's full side along its longer side and the
// window's other side divided by its whole-number ratio. It is re-centred
// only when its orientation differs from the last fitted picture's, so a
// run of pictures of one orientation keeps its place.
void frmShow::fit()
{
    const Long pictureWidth = imgShow.picture().width();
    const Long pictureHeight = imgShow.picture().height();
    if (pictureHeight > pictureWidth) {
        target_ratio = wholeRatio(pictureHeight, pictureWidth);
        imgShow.setHeight(height());
        imgShow.setWidth(width() / Single(target_ratio));
        if (width_bigger != True)
            return;
        width_bigger = False;
        imgShow.setTop(0);
        imgShow.setLeft(width() / 2 - imgShow.width() / 2);
    } else {
        target_ratio = wholeRatio(pictureWidth, pictureHeight);
        imgShow.setWidth(width());
        imgShow.setHeight(height() / Single(target_ratio));
        if (width_bigger != False)
            return;
        width_bigger = True;
        imgShow.setLeft(0);
        imgShow.setTop(height() / 2 - imgShow.height() / 2);
    }
}
