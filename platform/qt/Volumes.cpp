// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/qt/Volumes.h"

#include "platform/backend/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <sys/stat.h>

namespace platform::qt {

bool isBrowsable(const QByteArray &fileSystemType, const QString &root)
{
    static const QList<QByteArray> pseudoTypes = {
        "autofs",          "binfmt_misc", "bpf",      "cgroup",   "cgroup2", "configfs",
        "debugfs",         "devpts",      "devtmpfs", "efivarfs", "fusectl", "hugetlbfs",
        "mqueue",          "nsfs",        "overlay",  "proc",     "pstore",  "ramfs",
        "securityfs",      "squashfs",    "sysfs",    "tmpfs",    "tracefs", "fuse.portal",
        "fuse.gvfsd-fuse", "rpc_pipefs",  "nfsd",
    };
    if (pseudoTypes.contains(fileSystemType))
        return false;
    static const QStringList systemRoots = {
        QStringLiteral("/proc"), QStringLiteral("/sys"),  QStringLiteral("/dev"),
        QStringLiteral("/boot"), QStringLiteral("/snap"), QStringLiteral("/var"),
        QStringLiteral("/run"),  QStringLiteral("/etc"),  QStringLiteral("/usr"),
    };
    // Removable media are mounted under /run/media on some systems.
    if (root.startsWith(QLatin1String("/run/media/")))
        return true;
    for (const QString &system : systemRoots) {
        if (root == system || root.startsWith(system + QLatin1Char('/')))
            return false;
    }
    return true;
}

} // namespace platform::qt

namespace platform::backend {

namespace {

bool isDirectory(const std::string &path)
{
    struct stat status = {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

Volume volume(const std::string &root, const std::string &label)
{
    // As the drive list shows it: "/media/alice/STICK [STICK]".
    return { root, root + " [" + label + "]" };
}

} // namespace

// The root file system, the home folder, and mounted data volumes: second
// disks, USB sticks, network shares.
std::vector<Volume> volumes()
{
    std::vector<Volume> result;
    result.push_back(volume("/", "File System"));
    const std::string home = QFile::encodeName(QDir::cleanPath(QDir::homePath())).toStdString();
    if (home != "/" && isDirectory(home))
        result.push_back(volume(home, "Home"));
    for (const QStorageInfo &storage : QStorageInfo::mountedVolumes()) {
        if (!storage.isValid() || !storage.isReady()
            || !qt::isBrowsable(storage.fileSystemType(), storage.rootPath()))
            continue;
        const QString rootText = QDir::cleanPath(storage.rootPath());
        const std::string root = QFile::encodeName(rootText).toStdString();
        if (root == "/" || root == home)
            continue;
        const QString name
                = storage.name().isEmpty() ? QFileInfo(rootText).fileName() : storage.name();
        result.push_back(volume(root, name.isEmpty() ? root : name.toStdString()));
    }
    return result;
}

// "/media/x [LABEL]" names /media/x, unless a folder really is named
// "x [LABEL]".
std::string folderOfDriveText(std::string_view text)
{
    std::string whole(text);
    if (whole.empty() || whole.back() != ']')
        return whole;
    const std::size_t bracket = whole.rfind(" [");
    if (bracket == std::string::npos || bracket == 0)
        return whole;
    std::string root = whole.substr(0, bracket);
    if (isDirectory(whole) || !isDirectory(root))
        return whole;
    return root;
}

bool isOnVolume(const std::string &folder, const std::string &root)
{
    return folder == root || root == "/" || folder.starts_with(root + "/");
}

} // namespace platform::backend
