// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include <string>
#include <vector>

namespace testsupport {

// A JPEG of the given size, the left half `left` and the right half
// `right`, with an EXIF orientation (1 to 8) when one is given.
QByteArray jpegBytes(int width, int height, QColor left = Qt::red, QColor right = Qt::blue,
                     int orientation = 0, int quality = 90);

// A GIF, one frame per colour, each frame filled with its colour; the
// logical screen can be given a size other than the frames'.
QByteArray gifBytes(int width, int height, const std::vector<QColor> &frames = { Qt::green },
                    int screenWidth = -1, int screenHeight = -1);

// Adds an EXIF orientation to JPEG bytes.
QByteArray withOrientation(const QByteArray &jpeg, int orientation);

// A folder that lives as long as the object.
class TempFolder
{
public:
    TempFolder();
    std::string path() const { return folder.path().toStdString(); }
    // The full path of a file in the folder.
    std::string file(const QString &name) const;
    std::string write(const QString &name, const QByteArray &bytes) const;
    std::string jpeg(const QString &name, int width, int height) const;
    std::string gif(const QString &name, int width, int height) const;

private:
    QTemporaryDir folder;
};

} // namespace testsupport
