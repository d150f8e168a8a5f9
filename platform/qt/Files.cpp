// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/backend/Files.h"

#include "platform/Paths.h"
#include "platform/detail/FileRules.h"

#include <QByteArray>
#include <QCollator>
#include <QFile>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <memory>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

const char *const PathSeparator = "/";

} // namespace platform

namespace platform::backend {

namespace {

// A Linux file name is bytes: the names are kept as they are, and turned
// into text only to be compared and shown.
QString decoded(const std::string &name)
{
    return QFile::decodeName(
            QByteArray::fromRawData(name.data(), static_cast<qsizetype>(name.size())));
}

DirectoryEntry::Kind kindOf(const std::string &folder, const dirent &entry)
{
    switch (entry.d_type) {
    case DT_REG:
        return DirectoryEntry::Kind::File;
    case DT_DIR:
        return DirectoryEntry::Kind::Folder;
    case DT_LNK:
    case DT_UNKNOWN: {
        // Followed: a link counts as what it points at; a dangling or
        // looping one is nothing that can be listed.
        struct stat status = {};
        if (::stat(childPath(folder, entry.d_name).c_str(), &status) != 0)
            return DirectoryEntry::Kind::Other;
        if (S_ISREG(status.st_mode))
            return DirectoryEntry::Kind::File;
        if (S_ISDIR(status.st_mode))
            return DirectoryEntry::Kind::Folder;
        return DirectoryEntry::Kind::Other;
    }
    default:
        // Pipes, sockets and devices: reading one named like a picture
        // could block the show.
        return DirectoryEntry::Kind::Other;
    }
}

} // namespace

Listing listFolder(const std::string &folder, std::vector<DirectoryEntry> &entries)
{
    if (!isFolder(folder))
        return Listing::NotFound;
    if (::access(folder.c_str(), R_OK | X_OK) != 0)
        return Listing::NotReadable;
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir)
        return errno == ENOENT || errno == ENOTDIR ? Listing::NotFound : Listing::NotReadable;
    entries.clear();
    while (const dirent *entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        entries.push_back({ name, kindOf(folder, *entry), name.front() == '.' });
    }
    return Listing::Listed;
}

bool isFolder(std::string_view path)
{
    struct stat status = {};
    return ::stat(std::string(path).c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string currentFolder()
{
    std::string buffer(4096, '\0');
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return "/";
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return buffer;
}

// Clean as text: "." and empty parts go, ".." takes the part before it
// away; links are not followed.
std::string absoluteFolder(std::string_view path)
{
    const std::string whole = !path.empty() && path.front() == '/'
            ? std::string(path)
            : currentFolder() + "/" + std::string(path);
    std::vector<std::string> parts;
    std::size_t from = 0;
    while (from <= whole.size()) {
        const std::size_t end = std::min(whole.find('/', from), whole.size());
        const std::string part = whole.substr(from, end - from);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        from = end + 1;
    }
    std::string clean;
    for (const std::string &part : parts)
        clean += "/" + part;
    return clean.empty() ? "/" : clean;
}

std::vector<std::string> folderChain(const std::string &folder)
{
    std::vector<std::string> chain{ "/" };
    std::size_t from = 1;
    while (from < folder.size()) {
        const std::size_t end = std::min(folder.find('/', from), folder.size());
        chain.push_back(folder.substr(0, end));
        from = end + 1;
    }
    return chain;
}

std::string folderName(const std::string &folder)
{
    const std::size_t slash = folder.rfind('/');
    if (slash == std::string::npos || slash + 1 == folder.size())
        return folder;
    return folder.substr(slash + 1);
}

std::string childPath(const std::string &folder, const std::string &name)
{
    return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

void sortNaturally(std::vector<std::string> &names)
{
    // The C locale collates by code points alone, without numbers or case:
    // people running in it still expect "img2" before "img10" and "b" after
    // "A", so it collates as English does.
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // Keys once per name rather than a collation per comparison.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(names.size());
    for (const std::string &name : names)
        keys.push_back(collator.sortKey(decoded(name)));
    detail::sortByOrder(names,
                        [&](std::size_t a, std::size_t b) { return keys[a].compare(keys[b]); });
}

} // namespace platform::backend
