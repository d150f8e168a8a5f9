// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Form.h"
#include "platform/Label.h"

#include <string>

class Program;

// The maker's address as the link shows it, and the page it opens, which
// tells the site where the visitor came from.
inline constexpr const char *MakerAddress = "https://www.example.com";
inline constexpr const char *LinkTarget
        = "https://www.example.com/?referrer=pelorin-developers&origin=Pelorin";

// Who made the program, and a link to the maker's page.
class frmAbout : public platform::Form
{
public:
    explicit frmAbout(Program &program);

    platform::Label lblAbout;
    platform::Label lblLink;
    platform::Label Label1;

    void Form_Load();
    void lblLink_Click();

private:
    Program &program;
};
