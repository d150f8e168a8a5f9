// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Form.h"
#include "platform/Image.h"
#include "platform/Timer.h"
#include "platform/Values.h"

class Form1;
class Program;

// The side of the square a show opens from, centred on the screen.
inline constexpr double OpeningSide = 100;
// The side of the square a click switches the window to, and from.
inline constexpr double SquareSide = 5000;

// The borderless window the pictures are shown in. It opens by growing from
// a small square at the centre of the screen to the full screen, then
// changes the picture every few seconds.
class frmShow : public platform::Form
{
public:
    explicit frmShow(Program &program);

    // Written by the main window when a show starts.
    platform::Integer timer_height = 0;
    platform::Integer timer_width = 0;
    platform::Integer width_bigger = 0;
    platform::Integer target_ratio = 0;

    platform::Image imgShow;
    platform::Timer tmrOpen;
    platform::Timer tmrShow;

    void tmrOpen_Timer();
    void tmrShow_Timer();
    void imgShow_Click();
    void Form_Click();
    // The system's close key on the window: it stays loaded, and the show
    // stops as with the stop button.
    void Form_QueryUnload();
    // Esc stops the show, as the close key does.
    void Form_KeyDown(platform::Integer KeyCode);

    // Fits the image to the window after a forward step.
    void fit();

    platform::Integer tickCount() const { return tick_count; }

private:
    void advance(Form1 &main);
    bool loadSelected(Form1 &main);

    Program &program;
    platform::Integer tick_count = 0;
};
