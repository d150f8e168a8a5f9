// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "show_window/frmShow.h"

#include "main_window/Form1.h"
#include "program/Program.h"

#include "platform/Screen.h"

using platform::False;
using platform::Screen;
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
    imgShow.move(840, 1080, 1335, 1335);
    imgShow.setStretch(true);

    tmrOpen.setInterval(OpeningInterval);
    tmrOpen.setEnabled(false);
    tmrOpen.onTimer([this] { tmrOpen_Timer(); });
    tmrShow.setInterval(ShowInterval);
    tmrShow.setEnabled(false);
    tmrShow.onTimer([this] { tmrShow_Timer(); });
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

void frmShow::tmrShow_Timer() { }
