// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <optional>
#include <vector>

class Form1;
class frmShow;
class frmAbout;

// Owns the three forms. Each is created and loaded the first time it is
// used and kept while hidden; unloading destroys it, and the next use
// loads it afresh.
class Program
{
public:
    Program();
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    // Loads the start-up form and shows it.
    void start();

    Form1 &mainWindow();
    frmShow &showWindow();
    frmAbout &aboutWindow();
    bool showWindowLoaded() const { return show != nullptr; }
    bool aboutWindowLoaded() const { return about != nullptr; }

    // Unloading a form that is not loaded does nothing.
    void unloadShowWindow();
    void unloadAboutWindow();
    // The user closed the about window: it goes once its own event is over.
    void aboutWindowClosed();
    // The main window has unloaded: with no window left, the program ends.
    void mainWindowClosed();
    // The desktop session ends: the main window closes as if the user
    // closed it, and the program ends as it then does.
    void sessionEnded();

private:
    std::unique_ptr<Form1> main;
    std::unique_ptr<frmShow> show;
    std::unique_ptr<frmAbout> about;
    std::vector<std::unique_ptr<frmAbout>> closing;
    // Work posted for later holds this weakly: it may outlive the program.
    std::shared_ptr<Program *> self = std::make_shared<Program *>(this);
};
