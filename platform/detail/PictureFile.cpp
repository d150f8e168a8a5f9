// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/PictureFile.h"

#include "platform/detail/Text.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::detail {

PictureFile::PictureFile(std::string_view path)
{
    const QByteArray name = QFile::encodeName(toQString(path));
    handle = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (handle < 0)
        return;
    struct stat status = {};
    if (::fstat(handle, &status) != 0 || !S_ISREG(status.st_mode)) {
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
    if (handle >= 0)
        ::close(handle);
}

} // namespace platform::detail
