// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "about_window/frmAbout.h"

#include "program/Program.h"

frmAbout::frmAbout(Program &program)
    : Form(platform::BorderStyle::FixedSingle, 4695, 3120), program(program)
{
    setCaption("About Pelorin");
    onClose([this] { this->program.aboutWindowClosed(); });
}
