// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/Volumes.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace platform::detail {

// File systems that hold no user's pictures: kernel interfaces, memory
// file systems, container layers and read-only application images.
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

QList<Volume> volumes()
{
    QList<Volume> result;
    result.append({ QStringLiteral("/"), QStringLiteral("File System") });
    const QString home = QDir::cleanPath(QDir::homePath());
    if (home != QLatin1String("/") && QFileInfo(home).isDir())
        result.append({ home, QStringLiteral("Home") });
    for (const QStorageInfo &storage : QStorageInfo::mountedVolumes()) {
        if (!storage.isValid() || !storage.isReady()
            || !isBrowsable(storage.fileSystemType(), storage.rootPath()))
            continue;
        const QString root = QDir::cleanPath(storage.rootPath());
        if (root == QLatin1String("/") || root == home)
            continue;
        const QString name = storage.name().isEmpty() ? QFileInfo(root).fileName() : storage.name();
        result.append({ root, name.isEmpty() ? root : name });
    }
    return result;
}

qsizetype volumeOf(const QList<Volume> &volumes, const QString &folder)
{
    qsizetype best = 0;
    qsizetype bestLength = -1;
    for (qsizetype i = 0; i < volumes.size(); ++i) {
        const QString &root = volumes.at(i).root;
        const bool contains = folder == root || root == QLatin1String("/")
                || folder.startsWith(root + QLatin1Char('/'));
        if (contains && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    return best;
}

QString folderOfDriveText(const QString &text)
{
    if (!text.endsWith(QLatin1Char(']')))
        return text;
    const qsizetype bracket = text.lastIndexOf(QLatin1String(" ["));
    if (bracket <= 0)
        return text;
    QString root = text.left(bracket);
    // A folder really named "x [y]" wins over the drive reading.
    if (QFileInfo(text).isDir() || !QFileInfo(root).isDir())
        return text;
    return root;
}

} // namespace platform::detail
