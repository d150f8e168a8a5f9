// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "tests/support/TestPictures.h"

#include "platform/Paths.h"

#include <atomic>
#include <fstream>
#include <random>
#include <stdexcept>
#include <system_error>

namespace testsupport {

namespace fs = std::filesystem;

std::vector<std::string> entries(const platform::FileListBox &list)
{
    std::vector<std::string> names;
    for (platform::Integer i = 0; i < list.listCount(); ++i)
        names.push_back(list.list(i));
    return names;
}

fs::path nativePath(const std::string &text)
{
    return fs::path(std::u8string(text.begin(), text.end()));
}

std::string runtimeText(const fs::path &path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

namespace {
std::string program;
}

void setProgramPath(const char *argv0)
{
    program = argv0 ? argv0 : "";
}

std::string programFolder()
{
    return runtimeText(fs::absolute(nativePath(program)).parent_path());
}

TempFolder::TempFolder()
{
    static std::atomic<unsigned> made{ 0 };
    std::random_device device;
    const std::string name
            = "pelorin-test-" + std::to_string(device()) + "-" + std::to_string(made++);
    const fs::path folder = fs::temp_directory_path() / name;
    fs::create_directories(folder);
    root = runtimeText(fs::canonical(folder));
}

// Whatever a test locked, the folder goes.
TempFolder::~TempFolder()
{
    std::error_code ignored;
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(
                 nativePath(root), fs::directory_options::skip_permission_denied, ignored))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::permissions(nativePath(root), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(nativePath(root), ignored);
}

std::string TempFolder::file(const std::string &name) const
{
    std::string relative = name;
    for (char &c : relative) {
        if (c == '/')
            c = platform::PathSeparator[0];
    }
    return platform::joinPath(root, relative);
}

std::string TempFolder::folder(const std::string &name) const
{
    const std::string path = file(name);
    fs::create_directories(nativePath(path));
    return path;
}

std::string TempFolder::write(const std::string &name, const std::string &bytes) const
{
    const std::string path = file(name);
    std::ofstream out(nativePath(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + path);
    return path;
}

std::string TempFolder::jpeg(const std::string &name, int width, int height, Rgb left,
                             Rgb right) const
{
    return write(name, jpegBytes(width, height, left, right));
}

std::string TempFolder::gif(const std::string &name, int width, int height) const
{
    return write(name, gifBytes(width, height));
}

} // namespace testsupport
