// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

// The file system as the operating system holds it: folder listings with
// the names as stored, the order people expect, volumes. Paths are the
// runtime's texts.

#include <string>
#include <string_view>
#include <vector>

namespace platform::backend {

struct DirectoryEntry
{
    enum class Kind {
        File, // a regular file, or a link to one
        Folder, // a folder, or a link to one
        Other, // pipes, sockets, devices, dangling links: never listed
    };
    std::string name;
    Kind kind = Kind::Other;
    bool hidden = false;
};

enum class Listing { Listed, NotFound, NotReadable };

// The entries of a folder, without "." and "..".
Listing listFolder(const std::string &folder, std::vector<DirectoryEntry> &entries);

bool isFolder(std::string_view path);
// An absolute, clean form of a folder path; a relative one is taken from
// the current folder.
std::string absoluteFolder(std::string_view path);
std::string currentFolder();
// The folder's ancestors from the root down, then the folder itself.
std::vector<std::string> folderChain(const std::string &folder);
// The last part of a folder's path; a root as it stands.
std::string folderName(const std::string &folder);
std::string childPath(const std::string &folder, const std::string &name);
// Sorts names as people count, "img2" before "img10", case ignored; names
// that compare equal keep one order.
void sortNaturally(std::vector<std::string> &names);

struct Volume
{
    std::string root;
    // As the drive list shows it.
    std::string text;
};

std::vector<Volume> volumes();
// The folder a drive list's text names; any other text as it is.
std::string folderOfDriveText(std::string_view text);
// Whether the folder is the volume's root or inside it.
bool isOnVolume(const std::string &folder, const std::string &root);

} // namespace platform::backend
