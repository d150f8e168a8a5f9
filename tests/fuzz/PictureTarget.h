// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// What the picture targets share: the runtime, started once per process,
// and the input handed to the loader as a file, as a show meets it on disk.
#pragma once

#include "platform/Application.h"
#include "platform/Picture.h"
#include "platform/RuntimeError.h"
#include "platform/Testing.h"

#include <cstdint>
#include <cstdlib>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

namespace fuzz {

// The screen the pictures are decoded for, in pixels. The decoders' work
// after the compressed data (scaling, colour conversion, turning upright)
// is per pixel of this size, and with a screen of a real display's size it
// took most of each run; a few thousand pixels keep every path (shrinking,
// eighths, turning a portrait) while the run is spent on the parsers.
constexpr int ScreenWidth = 64;
constexpr int ScreenHeight = 48;
constexpr int TwipsPerPixel = 15;

inline void startRuntime(char ***argv)
{
    platform::testing::prepareHeadlessDisplay();
    static platform::Application application((*argv)[0]);
    static platform::testing::ScreenOverride screen(ScreenWidth * TwipsPerPixel,
                                                    ScreenHeight * TwipsPerPixel);
}

// The picture these bytes make, empty when the loader refuses them.
inline platform::Picture loadBytes(const std::uint8_t *data, std::size_t size)
{
    platform::Picture picture;
    const int file = ::memfd_create("picture", MFD_CLOEXEC);
    if (file < 0)
        std::abort(); // no descriptor left: a run keeps one open
    if (::write(file, data, size) == static_cast<ssize_t>(size)) {
        try {
            picture = platform::LoadPicture("/proc/self/fd/" + std::to_string(file));
            if (picture.width() <= 0 || picture.height() <= 0)
                std::abort(); // a picture that loads has a size
        } catch (const platform::RuntimeError &) { }
    }
    ::close(file);
    return picture;
}

} // namespace fuzz
