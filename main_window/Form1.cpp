// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "main_window/Form1.h"

#include "about_window/frmAbout.h"
#include "program/Program.h"
#include "show_window/Ratio.h"
#include "show_window/frmShow.h"

#include "platform/MsgBox.h"
#include "platform/Paths.h"
#include "platform/Picture.h"
#include "platform/RuntimeError.h"
#include "platform/Screen.h"

#include <string>

using platform::False;
using platform::Integer;
using platform::Long;
using platform::MsgBox;
using platform::Screen;
using platform::Single;
using platform::True;
using platform::vbCritical;

namespace {

constexpr double CompactHeight = 2625;
constexpr double ExpandedHeight = 5210;
constexpr const char *BrowseCaption = "Browse";
constexpr const char *CancelCaption = "Cancel";
constexpr const char *StartCaption = "Start Slide Show";
constexpr const char *StopCaption = "Stop Slide Show";
constexpr const char *PicturePattern = "*.gif;*.jpg";

constexpr const char *InvalidSeconds = "Please select a valid time in seconds.";
constexpr const char *InvalidFolder = "Please select a valid image folder.";
constexpr const char *NoPictureShown = "None of the pictures in this folder can be shown.";

// A whole number of seconds from 1 to 32767: a longer wait could never be
// counted by the show's Integer tick counter.
bool validSeconds(const std::string &text)
{
    if (!platform::IsNumeric(text))
        return false;
    const double seconds = platform::Int(platform::CDbl(text));
    return seconds > 0 && seconds <= platform::IntegerMax;
}

} // namespace

Form1::Form1(Program &program)
    : Form(platform::BorderStyle::FixedSingle, 5475, 2325),
      Label2(*this),
      txtFolder(*this),
      cmdBrowse(*this),
      fraBrowse(*this),
      Dir1(fraBrowse),
      Drive1(fraBrowse),
      File1(fraBrowse),
      cmdSelect(fraBrowse),
      cmdStartShow(*this),
      Label1(*this),
      txtChange(*this),
      cmdAbout(*this),
      program(program)
{
    setCaption("Pelorin");
    setFont({ "Tahoma", 9.75, 400, false, 0 });

    Label2.move(120, 120, 2175, 255);
    Label2.setCaption("Select image folder:");
    txtFolder.move(120, 480, 4215, 360);
    // A screen reader names each field by the label before it.
    txtFolder.setAccessibleName(Label2.caption());
    cmdBrowse.move(4440, 480, 975, 375);
    cmdBrowse.setCaption(BrowseCaption);
    fraBrowse.move(0, 960, 5415, 3855);
    fraBrowse.setVisible(false);
    Dir1.move(120, 600, 2655, 3060);
    Dir1.setAccessibleName("Folders");
    Drive1.move(120, 120, 2655, 360);
    Drive1.setAccessibleName("Drive");
    File1.move(2880, 120, 2415, 2970);
    File1.setAccessibleName("Pictures");
    cmdSelect.move(2880, 3240, 2415, 375);
    cmdSelect.setCaption("Select Folder");
    cmdStartShow.move(1920, 1680, 1695, 375);
    cmdStartShow.setCaption(StartCaption);
    Label1.move(120, 1080, 2295, 375);
    Label1.setCaption("Seconds per picture:");
    txtChange.move(2040, 1080, 615, 375);
    txtChange.setAccessibleName(Label1.caption());
    txtChange.setText("2");
    txtChange.setAlignment(platform::Alignment::Center);
    cmdAbout.move(4800, 1680, 495, 375);
    cmdAbout.setCaption("?");
    cmdAbout.setToolTipText("About Pelorin");

    // The browse panel covers the seconds row and the buttons while open.
    fraBrowse.bringToFront();
    setTabOrder({ &Label2, &txtFolder, &cmdBrowse, &fraBrowse, &Dir1, &Drive1, &File1, &cmdSelect,
                  &cmdStartShow, &Label1, &txtChange, &cmdAbout });

    onLoad([this] { Form_Load(); });
    onClose([this] {
        Form_Unload();
        this->program.mainWindowClosed();
    });
    cmdStartShow.onClick([this] { cmdStartShow_Click(); });
    cmdBrowse.onClick([this] { cmdBrowse_Click(); });
    cmdSelect.onClick([this] { cmdSelect_Click(); });
    Drive1.onChange([this] { Drive1_Change(); });
    Dir1.onChange([this] { Dir1_Change(); });
    cmdAbout.onClick([this] { cmdAbout_Click(); });
}

void Form1::Form_Load()
{
    File1.setPattern(PicturePattern);
    setHeight(CompactHeight);
}

void Form1::Form_Unload()
{
    program.unloadShowWindow();
    program.unloadAboutWindow();
}

void Form1::cmdStartShow_Click()
{
    if (!validSeconds(txtChange.text())) {
        MsgBox(InvalidSeconds, vbCritical);
        return;
    }
    if (cmdStartShow.caption() != StartCaption)
        stopShow();
    else
        startShow();
}

void Form1::cmdBrowse_Click()
{
    if (cmdBrowse.caption() == BrowseCaption) {
        fraBrowse.setVisible(true);
        setHeight(ExpandedHeight);
        txtFolder.setEnabled(false);
        cmdBrowse.setCaption(CancelCaption);
    } else {
        // Closes without taking the browsed folder.
        cmdBrowse.setCaption(BrowseCaption);
        fraBrowse.setVisible(false);
        setHeight(CompactHeight);
        txtFolder.setEnabled(true);
    }
}

void Form1::cmdSelect_Click()
{
    txtFolder.setEnabled(true);
    txtFolder.setText(Dir1.path());
    setHeight(CompactHeight);
    fraBrowse.setVisible(false);
    cmdBrowse.setCaption(BrowseCaption);
}

void Form1::Drive1_Change()
{
    if (restoringLists)
        return;
    try {
        Dir1.setPath(Drive1.drive());
    } catch (const platform::RuntimeError &) {
        cannotOpenFolder();
    }
}

void Form1::Dir1_Change()
{
    if (restoringLists)
        return;
    try {
        File1.setPath(Dir1.path());
    } catch (const platform::RuntimeError &) {
        cannotOpenFolder();
    }
}

void Form1::cmdAbout_Click()
{
    program.aboutWindow().show();
}

// A drive or folder that is gone or cannot be read: the folder and drive
// lists go back to the folder the file list still shows.
void Form1::cannotOpenFolder()
{
    MsgBox(InvalidFolder, vbCritical);
    restoringLists = true;
    try {
        Dir1.setPath(File1.path());
        Drive1.setDrive(File1.path());
    } catch (const platform::RuntimeError &) {
        // That folder went too: the lists stay on what they show.
    }
    restoringLists = false;
}

// Ends the whole show: with the opening timer still running, a hidden
// window would go on growing and changing pictures.
void Form1::stopShow()
{
    cmdStartShow.setCaption(StartCaption);
    txtChange.setEnabled(true);
    frmShow &show = program.showWindow();
    show.tmrShow.setEnabled(false);
    show.tmrOpen.setEnabled(false);
    show.setWidth(OpeningSide);
    show.setHeight(OpeningSide);
    show.hide();
}

void Form1::startShow()
{
    // A folder that cannot be listed leaves the play list where it was.
    try {
        File1.setPath(txtFolder.text());
    } catch (const platform::RuntimeError &) {
        MsgBox(InvalidFolder, vbCritical);
        return;
    }
    if (File1.listCount() <= 0)
        return;

    txtChange.setEnabled(false);
    File1.setListIndex(0);
    frmShow &show = program.showWindow();
    show.show();
    show.setWidth(OpeningSide);
    show.setHeight(OpeningSide);
    show.setLeft(Screen::width() / 2 - OpeningSide / 2);
    show.setTop(Screen::height() / 2 - OpeningSide / 2);
    show.timer_height = True;
    show.timer_width = True;
    show.tmrOpen.setEnabled(true);
    if (!loadFirstPicture(show)) {
        stopShow();
        MsgBox(NoPictureShown, vbCritical);
        return;
    }
    firstFit(show);
    cmdStartShow.setCaption(StopCaption);
}

// Passes over pictures that cannot be loaded, from the cursor on; the
// cursor stays on the one that loads.
bool Form1::loadFirstPicture(frmShow &show)
{
    for (;;) {
        try {
            show.imgShow.setPicture(
                    platform::LoadPicture(platform::joinPath(File1.path(), File1.fileName())));
            return true;
        } catch (const platform::RuntimeError &) { }
        const Integer next = platform::increment(File1.listIndex());
        if (next >= File1.listCount())
            return false;
        File1.setListIndex(next);
    }
}

// Not a mistake to mend: this fit multiplies where the advance divides, and
// centres by half the picture's own size in HIMETRIC against half the
// window's in twips. It has always been so, and it cannot be seen: the
// first opening tick stretches the image over the whole window before
// anything is drawn. What lasts is the orientation, which decides whether
// the first advance re-centres the image.
void Form1::firstFit(frmShow &show)
{
    const Long pictureWidth = show.imgShow.picture().width();
    const Long pictureHeight = show.imgShow.picture().height();
    if (pictureHeight > pictureWidth) {
        show.width_bigger = False;
        show.target_ratio = wholeRatio(pictureHeight, pictureWidth);
        show.imgShow.setHeight(show.height());
        show.imgShow.setWidth(Single(show.target_ratio) * show.width());
        show.imgShow.setLeft(show.width().value() / 2.0 - pictureWidth / 2.0);
    } else {
        show.width_bigger = True;
        show.target_ratio = wholeRatio(pictureWidth, pictureHeight);
        show.imgShow.setWidth(show.width());
        show.imgShow.setHeight(Single(show.target_ratio) * show.height());
        show.imgShow.setTop(show.height().value() / 2.0 - pictureHeight / 2.0);
    }
}
