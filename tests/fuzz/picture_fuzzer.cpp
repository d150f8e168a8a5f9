// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// Feeds arbitrary bytes to the picture loader through a file, as a show
// would meet them on disk.
#include "platform/Application.h"
#include "platform/Picture.h"
#include "platform/RuntimeError.h"
#include "platform/Testing.h"

#include <cstdint>
#include <cstdlib>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    platform::testing::prepareHeadlessDisplay();
    static platform::Application application((*argv)[0]);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const int file = ::memfd_create("picture", MFD_CLOEXEC);
    if (file < 0)
        return 0;
    if (::write(file, data, size) == static_cast<ssize_t>(size)) {
        try {
            const platform::Picture picture
                    = platform::LoadPicture("/proc/self/fd/" + std::to_string(file));
            if (picture.width() <= 0 || picture.height() <= 0)
                std::abort(); // a picture that loads has a size
        } catch (const platform::RuntimeError &) { }
    }
    ::close(file);
    return 0;
}
