// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

namespace platform::detail {

// Sorts names the way people count: "img2" before "img10", case ignored.
void sortNaturally(QStringList &names);

// The wildcards of a ";"-separated pattern, each matched without regard to
// case; "*.jpg" also admits ".jpeg".
QStringList wildcards(const QString &pattern);

// The visible files of a folder matching the wildcards, in natural order,
// at most `limit` of them. Folders, hidden files, and special files (pipes,
// sockets, devices, dangling links) are left out.
QStringList listFiles(const QString &folder, const QStringList &wildcards, qsizetype limit);

// The visible subfolders of a folder, in natural order.
QStringList listFolders(const QString &folder);

// An absolute, clean form of a folder path, relative paths taken from the
// current folder.
QString absoluteFolder(const QString &path);

} // namespace platform::detail
