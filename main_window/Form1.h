// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/CommandButton.h"
#include "platform/DirListBox.h"
#include "platform/DriveListBox.h"
#include "platform/FileListBox.h"
#include "platform/Form.h"
#include "platform/Frame.h"
#include "platform/Label.h"
#include "platform/TextBox.h"

class Program;
class frmShow;

// The control panel: the folder of the show, the browse panel, the seconds
// each picture stays, and the buttons that start and stop a show and open
// the about window.
class Form1 : public platform::Form
{
public:
    explicit Form1(Program &program);

    // In tab order; the show window reads File1 and txtChange.
    platform::Label Label2;
    platform::TextBox txtFolder;
    platform::CommandButton cmdBrowse;
    platform::Frame fraBrowse;
    platform::DirListBox Dir1;
    platform::DriveListBox Drive1;
    platform::FileListBox File1;
    platform::CommandButton cmdSelect;
    platform::CommandButton cmdStartShow;
    platform::Label Label1;
    platform::TextBox txtChange;
    platform::CommandButton cmdAbout;

    void Form_Load();
    void Form_Unload();
    void cmdStartShow_Click();
    void cmdBrowse_Click();
    void cmdSelect_Click();
    void Drive1_Change();
    void Dir1_Change();
    void cmdAbout_Click();

    // Ends the whole show, as the stop button does.
    void stopShow();

private:
    void startShow();
    bool loadFirstPicture(frmShow &show);
    void firstFit(frmShow &show);
    void cannotOpenFolder();

    Program &program;
    // While the lists are put back after a folder that cannot be opened,
    // their Change events must not move them again.
    bool restoringLists = false;
};
