// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

namespace platform::qt {

// Whether a mounted file system is one a user keeps pictures on: not a
// kernel interface, a memory file system, a container layer or a read-only
// application image.
bool isBrowsable(const QByteArray &fileSystemType, const QString &root);

} // namespace platform::qt
