// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

// What both benchmarks measure the same way, whatever watches the program:
// the figures of a show and how they are printed for the run-bench
// scripts, the decode a show does and the listing of a folder, and which
// mode the command line asks for.

#include "platform/detail/Geometry.h"

#include <chrono>
#include <vector>

using BenchClock = std::chrono::steady_clock;

inline double msSince(BenchClock::time_point start, BenchClock::time_point end = BenchClock::now())
{
    return std::chrono::duration<double, std::milli>(end - start).count();
}

// A show's figures, in milliseconds; printed one key=value a line.
struct ShowFigures
{
    double firstPaintMs = -1;
    // From the click on Start to the opening's last tick.
    double openingMs = -1;
    int idlePaints = 0;
    std::vector<double> openingCosts;
    std::vector<double> openingHandlers;
    std::vector<double> openingPictureDraws;
    std::vector<double> changeLatencies;
    std::vector<double> changeKinds;
    std::vector<double> cadenceErrors;
    std::vector<double> idleCpu;

    void print(double peakMegabytes) const;
};

// The screen both benchmarks decode for.
inline constexpr platform::detail::PixelSize BenchScreen{ 1920, 1080 };

// Each benchmark program's own, for what only its toolkit can tell or do:
// the process's peak memory in megabytes; a plain viewer's decode at full
// size and scale to the screen; the real program showing a folder.
double peakMegabytes();
int straight(const char *path);
int show(const char *folder, int seconds, double runSeconds);

// The time to decode a picture as a show does, off the tick, printed.
int decode(const char *path);
// The time the play list takes to read a folder, printed.
int listing(const char *folder);

// Makes the application and runs the mode argv[1] names: decode, straight,
// listing or show. `modes` is the list the usage line gives.
int runMode(int argc, char **argv, const char *modes);
// The usage line, to standard error; returns the exit code for it.
int usage(const char *modes);
