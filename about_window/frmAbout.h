// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Form.h"

class Program;

// Who made the program, and a link to the maker's page.
class frmAbout : public platform::Form
{
public:
    explicit frmAbout(Program &program);

private:
    Program &program;
};
