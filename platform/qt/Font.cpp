// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/qt/Font.h"

#include <cmath>

namespace platform::qt {

QFont toQFont(const Font &font)
{
    QFont result(QString::fromStdString(font.name));
    // Sized in pixels at 96 dots per inch, like the twips layout around it,
    // whatever resolution the display reports.
    result.setPixelSize(static_cast<int>(std::lround(font.size * 96.0 / 72.0)));
    result.setWeight(QFont::Weight(font.weight));
    result.setUnderline(font.underline);
    return result;
}

} // namespace platform::qt
