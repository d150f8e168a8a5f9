// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "program/Program.h"

#include "about_window/frmAbout.h"
#include "main_window/Form1.h"
#include "show_window/frmShow.h"

#include "platform/Application.h"

Program::Program() = default;

Program::~Program()
{
    // The show and about windows go before the main window they read.
    show.reset();
    about.reset();
    closing.clear();
    main.reset();
}

void Program::start()
{
    mainWindow().show();
}

Form1 &Program::mainWindow()
{
    if (!main) {
        main = std::make_unique<Form1>(*this);
        main->load();
    }
    return *main;
}

frmShow &Program::showWindow()
{
    if (!show) {
        show = std::make_unique<frmShow>(*this);
        show->load();
    }
    return *show;
}

frmAbout &Program::aboutWindow()
{
    if (!about) {
        about = std::make_unique<frmAbout>(*this);
        about->load();
    }
    return *about;
}

void Program::unloadShowWindow()
{
    show.reset();
}

void Program::unloadAboutWindow()
{
    about.reset();
}

void Program::aboutWindowClosed()
{
    if (!about)
        return;
    // Its widget is still inside its own close event.
    closing.push_back(std::move(about));
    platform::Application::post([weak = std::weak_ptr<Program *>(self)] {
        if (const auto program = weak.lock())
            (*program)->closing.clear();
    });
}

void Program::sessionEnded()
{
    if (main)
        main->close();
    else
        mainWindowClosed();
}

void Program::mainWindowClosed()
{
    platform::Application::exit(0);
}
