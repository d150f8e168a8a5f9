// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
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
// the program, and kept only if it is a regular file.
class PictureFile
{
public:
    enum class Status { Open, Missing, NotAFile };

    explicit PictureFile(std::string_view path);
    ~PictureFile();
    PictureFile(const PictureFile &) = delete;
    PictureFile &operator=(const PictureFile &) = delete;

    Status status() const { return state; }
    // Valid while the status is Open.
    int descriptor() const { return handle; }
    const FileIdentity &identity() const { return version; }

private:
    int handle = -1;
    Status state = Status::Missing;
    FileIdentity version;
};

} // namespace platform::detail
