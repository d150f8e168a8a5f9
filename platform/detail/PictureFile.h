// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform::detail {

// What tells one version of a file from another without reading it: a
// file replaced, rewritten or touched no longer matches.
struct FileIdentity
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    bool operator==(const FileIdentity &) const = default;
};

// A file a picture is read from, open while this lives. It is opened
// without blocking, so a pipe or device named like a picture cannot hang
// the program, and kept only if it is a regular file. Each back end opens
// it the way its operating system must; the path is the runtime's text
// (the file system's own bytes on Linux, UTF-8 on Windows).
class PictureFile
{
public:
    enum class Status { Open, Missing, NotAFile };

    explicit PictureFile(std::string_view path);
    ~PictureFile();
    PictureFile(const PictureFile &) = delete;
    PictureFile &operator=(const PictureFile &) = delete;

    Status status() const { return state; }
    const FileIdentity &identity() const { return version; }
    // The descriptor (Linux) or handle (Windows), valid while Open.
    std::intptr_t handle() const { return native; }
    // Reads up to `size` bytes from `offset`; what it could read, 0 at the
    // end or on an error.
    std::size_t read(std::uint64_t offset, void *buffer, std::size_t size) const;

private:
    std::intptr_t native = -1;
    Status state = Status::Missing;
    FileIdentity version;
};

} // namespace platform::detail
