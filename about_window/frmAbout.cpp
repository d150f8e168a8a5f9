// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "about_window/frmAbout.h"

#include "program/Program.h"

#include "platform/Shell.h"

#include <string>

namespace {

constexpr const char *CrLf = "\r\n";
constexpr const char *Built
        = "Pelorin is an application built by the Pelorin developers of Pelorin Works.";
constexpr const char *PassOn
        = "Please do not pass Pelorin on to others without the approval of Pelorin Works.";
constexpr const char *Help = "If you have any questions, queries or need help please go to:";

constexpr platform::Long BlueText = 0xFF0000; // 0x00BBGGRR: red 0, green 0, blue 255

} // namespace

frmAbout::frmAbout(Program &program)
    : Form(platform::BorderStyle::FixedSingle, 4695, 3120),
      lblAbout(*this),
      lblLink(*this),
      Label1(*this),
      program(program)
{
    setCaption("About Pelorin");
    setFont({ "MS Sans Serif", 8.25, 400, false, 0 });

    lblAbout.move(240, 120, 4215, 1695);
    lblLink.move(240, 1920, 4215, 495);
    lblLink.setCaption(MakerAddress);
    lblLink.setForeColor(BlueText);
    lblLink.setFont({ "MS Sans Serif", 9.75, 700, true, 0 });
    lblLink.setAlignment(platform::Alignment::Center);
    // A screen reader reads the address it shows and says it can be followed.
    lblLink.setAccessibleRole(platform::AccessibleRole::Link);
    Label1.move(240, 2520, 4095, 255);
    Label1.setCaption("Copyright 2026 Pelorin Works.");

    onLoad([this] { Form_Load(); });
    lblLink.onClick([this] { lblLink_Click(); });
    onClose([this] { this->program.aboutWindowClosed(); });
}

void frmAbout::Form_Load()
{
    lblAbout.setCaption(std::string(Built) + CrLf + CrLf + PassOn + CrLf + CrLf + Help);
}

void frmAbout::lblLink_Click()
{
    // Whether anything could open the address is not the window's concern.
    platform::ShellExecuteA(hWnd(), "Open", LinkTarget, "", "", platform::SW_SHOWNORMAL);
}
