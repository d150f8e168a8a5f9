// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/PictureFile.h"

#include <cerrno>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::detail {

// The path is the file name's own bytes, handed to the system as they are.
PictureFile::PictureFile(std::string_view path)
{
    const std::string name(path);
    const int descriptor = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0)
        return;
    native = descriptor;
    struct stat status = {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        state = Status::NotAFile;
        return;
    }
    state = Status::Open;
    version.device = static_cast<std::uint64_t>(status.st_dev);
    version.inode = static_cast<std::uint64_t>(status.st_ino);
    version.size = static_cast<std::int64_t>(status.st_size);
    version.modifiedSeconds = static_cast<std::int64_t>(status.st_mtim.tv_sec);
    version.modifiedNanoseconds = static_cast<std::int64_t>(status.st_mtim.tv_nsec);
}

PictureFile::~PictureFile()
{
    if (native >= 0)
        ::close(static_cast<int>(native));
}

std::size_t PictureFile::read(std::uint64_t offset, void *buffer, std::size_t size) const
{
    if (state != Status::Open)
        return 0;
    auto *bytes = static_cast<char *>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t count = ::pread(static_cast<int>(native), bytes + done, size - done,
                                      static_cast<off_t>(offset + done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        done += static_cast<std::size_t>(count);
    }
    return done;
}

} // namespace platform::detail
