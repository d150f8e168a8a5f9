// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "tests/support/PictureBytes.h"

#include "platform/FileListBox.h"

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// A file system path from the runtime's text of one: UTF-8, or on Linux a
// file name's own bytes, kept as they are.
std::filesystem::path nativePath(const std::string &text);
// And back.
std::string runtimeText(const std::filesystem::path &path);

// What a file list holds, in its order.
std::vector<std::string> entries(const platform::FileListBox &list);

// The folder of the running test program, as its main was told.
std::string programFolder();
void setProgramPath(const char *argv0);

// A folder that lives as long as the object, named as the runtime names it
// (absolute, clean, the system's separators).
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    std::string path() const { return root; }
    // The full path of a file or folder in it; a name may hold '/'.
    std::string file(const std::string &name) const;
    std::string folder(const std::string &name) const;
    std::string write(const std::string &name, const std::string &bytes) const;
    std::string jpeg(const std::string &name, int width, int height, Rgb left = red,
                     Rgb right = blue) const;
    std::string gif(const std::string &name, int width, int height) const;

private:
    std::string root;
};

} // namespace testsupport
