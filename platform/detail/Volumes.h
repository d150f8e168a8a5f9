// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace platform::detail {

// A place a user browses from: the root file system, the home folder, and
// mounted data volumes (second disks, USB sticks, network shares).
struct Volume
{
    QString root;
    QString label;
    // As the drive list shows it: "/media/alice/STICK [STICK]".
    QString text() const { return root + QLatin1String(" [") + label + QLatin1Char(']'); }
};

QList<Volume> volumes();

// Whether a mounted file system is one a user keeps pictures on.
bool isBrowsable(const QByteArray &fileSystemType, const QString &root);

// The volume whose root is the longest leading part of the folder.
qsizetype volumeOf(const QList<Volume> &volumes, const QString &folder);

// The folder a drive list text names ("/media/x [LABEL]" names /media/x);
// any other text is returned as it is.
QString folderOfDriveText(const QString &text);

} // namespace platform::detail
