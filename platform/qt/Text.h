// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace platform::qt {

// The runtime's texts are UTF-8, or a file name's own bytes where those are
// not UTF-8: shown as well as they can be, never handed back.
inline QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toStdString(const QString &text)
{
    return text.toStdString();
}

} // namespace platform::qt
