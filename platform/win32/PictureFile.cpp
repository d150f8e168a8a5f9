// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/PictureFile.h"

#include "platform/win32/Paths.h"

#include <windows.h>

#include <algorithm>

namespace platform::detail {

namespace {

std::int64_t joined(DWORD high, DWORD low)
{
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
}

} // namespace

// Shared for reading, writing and deleting: a picture being replaced or
// removed meanwhile is the other program's business, and shows as it is
// then. A folder opens too (backup semantics), to be told apart from a file
// that is missing.
PictureFile::PictureFile(std::string_view path)
{
    const HANDLE file = CreateFileW(win32::systemPath(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    native = reinterpret_cast<std::intptr_t>(file);
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &information)
        || (information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))) {
        state = Status::NotAFile;
        return;
    }
    state = Status::Open;
    version.device = information.dwVolumeSerialNumber;
    version.inode = static_cast<std::uint64_t>(
            joined(information.nFileIndexHigh, information.nFileIndexLow));
    version.size = joined(information.nFileSizeHigh, information.nFileSizeLow);
    const std::int64_t written = joined(information.ftLastWriteTime.dwHighDateTime,
                                        information.ftLastWriteTime.dwLowDateTime);
    // File times count 100-nanosecond steps.
    version.modifiedSeconds = written / 10000000;
    version.modifiedNanoseconds = (written % 10000000) * 100;
}

PictureFile::~PictureFile()
{
    if (native != -1)
        CloseHandle(reinterpret_cast<HANDLE>(native));
}

std::size_t PictureFile::read(std::uint64_t offset, void *buffer, std::size_t size) const
{
    if (state != Status::Open)
        return 0;
    auto *bytes = static_cast<char *>(buffer);
    std::size_t done = 0;
    while (done < size) {
        OVERLAPPED at{};
        const std::uint64_t position = offset + done;
        at.Offset = static_cast<DWORD>(position);
        at.OffsetHigh = static_cast<DWORD>(position >> 32);
        DWORD count = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
        if (!ReadFile(reinterpret_cast<HANDLE>(native), bytes + done, wanted, &count, &at)
            || count == 0)
            break;
        done += count;
    }
    return done;
}

} // namespace platform::detail
