// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "bench/ShowFigures.h"

#include "main_window/Form1.h"
#include "program/Program.h"

#include "platform/Application.h"
#include "platform/detail/PictureData.h"
#include "platform/detail/PictureDecoder.h"
#include "platform/detail/PictureFile.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void printList(const char *name, const std::vector<double> &values)
{
    std::printf("%s=", name);
    for (std::size_t i = 0; i < values.size(); ++i)
        std::printf(i ? ",%.2f" : "%.2f", values[i]);
    std::printf("\n");
}

} // namespace

void ShowFigures::print(double peakMegabytes) const
{
    std::printf("start_ms=%.1f\n", firstPaintMs);
    std::printf("opening_ticks=%zu\n", openingCosts.size());
    std::printf("opening_ms=%.1f\n", openingMs);
    printList("opening_tick_ms", openingCosts);
    printList("opening_handler_ms", openingHandlers);
    printList("opening_picture_draw_ms", openingPictureDraws);
    printList("change_ms", changeLatencies);
    printList("change_kind", changeKinds);
    printList("cadence_error_ms", cadenceErrors);
    printList("idle_cpu_ms_per_s", idleCpu);
    std::printf("idle_paints=%d\n", idlePaints);
    std::printf("peak_mb=%.1f\n", peakMegabytes);
}

int listing(const char *folder)
{
    Program program;
    program.start();
    Form1 &main = program.mainWindow();
    const auto start = BenchClock::now();
    main.File1.setPath(folder);
    const double ms = msSince(start);
    std::printf("listing_ms=%.1f\nentries=%d\n", ms, main.File1.listCount());
    return 0;
}

int decode(const char *path)
{
    const platform::detail::PictureFile file(path);
    if (file.status() != platform::detail::PictureFile::Status::Open)
        return 1;
    // The first decode of a picture with a colour profile also builds the
    // transform into the display's colours; a show's next pictures from the
    // same camera find it built, as the second decode here does.
    auto start = BenchClock::now();
    auto picture = platform::detail::decodePicture(file, BenchScreen);
    const double first = msSince(start);
    if (!picture)
        return 1;
    picture.reset();
    start = BenchClock::now();
    picture = platform::detail::decodePicture(file, BenchScreen);
    const double ms = msSince(start);
    if (!picture)
        return 1;
    std::printf("decode_first_ms=%.1f\ndecode_ms=%.1f\npeak_mb=%.1f\n", first, ms, peakMegabytes());
    return 0;
}

// One file decoded once, as the tick decodes a picture nobody decoded
// ahead, whether it is shown or refused: what a hostile file costs.
int hostile(const char *path)
{
    const platform::detail::PictureFile file(path);
    const auto start = BenchClock::now();
    if (file.status() == platform::detail::PictureFile::Status::Open)
        platform::detail::decodePicture(file, BenchScreen);
    const double ms = msSince(start);
    std::printf("decode_ms=%.1f\npeak_mb=%.1f\n", ms, peakMegabytes());
    return 0;
}

int usage(const char *modes)
{
    std::fprintf(stderr, "usage: pelorin_bench %s ...\n", modes);
    return 2;
}

int runMode(int argc, char **argv, const char *modes)
{
    if (argc < 3)
        return usage(modes);
    const std::string mode = argv[1];
    platform::Application application(argv[0]);
    if (mode == "decode")
        return decode(argv[2]);
    if (mode == "hostile")
        return hostile(argv[2]);
    if (mode == "straight")
        return straight(argv[2]);
    if (mode == "listing")
        return listing(argv[2]);
    if (mode == "show" && argc == 5)
        return show(argv[2], std::atoi(argv[3]), std::atof(argv[4]));
    return usage(modes);
}
