// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

// What both benchmarks measure the same way, whatever watches the program:
// the figures of a show and how they are printed for the run-bench
// scripts, and the listing of a folder.

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

// The time the play list takes to read a folder, printed.
int listing(const char *folder);
