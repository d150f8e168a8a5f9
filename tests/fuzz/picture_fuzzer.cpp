// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// Feeds arbitrary bytes to the picture loader through a file, for an sRGB
// display: an input is a file as it would lie on disk, so a finding opens
// as a picture.
#include "PictureTarget.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    fuzz::startRuntime(argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::loadBytes(data, size);
    return 0;
}
