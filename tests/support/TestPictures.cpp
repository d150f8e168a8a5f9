// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "tests/support/TestPictures.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>

#include <stdexcept>

namespace testsupport {

namespace {

void putByte(QByteArray &out, int value)
{
    out.append(static_cast<char>(value & 0xff));
}

void putLittle16(QByteArray &out, int value)
{
    putByte(out, value);
    putByte(out, value >> 8);
}

// GIF image data for 8-bit indices, never letting the code table grow
// past 9-bit codes: a clear code every few codes keeps the encoder to a
// few lines while staying a valid LZW stream.
QByteArray lzw(const std::vector<unsigned char> &indices)
{
    constexpr int ClearCode = 256;
    constexpr int EndCode = 257;
    constexpr int CodeBits = 9;
    QByteArray packed;
    unsigned int buffer = 0;
    int bits = 0;
    auto putCode = [&](int code) {
        buffer |= static_cast<unsigned int>(code) << bits;
        bits += CodeBits;
        while (bits >= 8) {
            putByte(packed, static_cast<int>(buffer & 0xff));
            buffer >>= 8;
            bits -= 8;
        }
    };
    int sinceClear = 0;
    putCode(ClearCode);
    for (unsigned char index : indices) {
        if (sinceClear == 250) {
            putCode(ClearCode);
            sinceClear = 0;
        }
        putCode(index);
        ++sinceClear;
    }
    putCode(EndCode);
    if (bits > 0)
        putByte(packed, static_cast<int>(buffer & 0xff));

    QByteArray out;
    putByte(out, 8); // minimum code size
    for (qsizetype offset = 0; offset < packed.size(); offset += 255) {
        const qsizetype length = std::min<qsizetype>(255, packed.size() - offset);
        putByte(out, static_cast<int>(length));
        out.append(packed.mid(offset, length));
    }
    putByte(out, 0);
    return out;
}

} // namespace

QByteArray withOrientation(const QByteArray &jpeg, int orientation)
{
    if (jpeg.size() < 2 || static_cast<unsigned char>(jpeg[0]) != 0xff
        || static_cast<unsigned char>(jpeg[1]) != 0xd8)
        throw std::invalid_argument("not a JPEG");
    // APP1 "Exif" with a big-endian TIFF header and one IFD entry:
    // Orientation (0x0112), SHORT, count 1.
    const unsigned char exif[] = {
        0xff, 0xe1, 0x00, 0x22, 'E',  'x',
        'i',  'f',  0x00, 0x00, 'M',  'M',
        0x00, 0x2a, 0x00, 0x00, 0x00, 0x08,
        0x00, 0x01, 0x01, 0x12, 0x00, 0x03,
        0x00, 0x00, 0x00, 0x01, 0x00, static_cast<unsigned char>(orientation),
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    };
    QByteArray out = jpeg.left(2);
    out.append(reinterpret_cast<const char *>(exif), sizeof exif);
    out.append(jpeg.mid(2));
    return out;
}

QByteArray jpegBytes(int width, int height, QColor left, QColor right, int orientation, int quality)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(right);
    {
        QPainter painter(&image);
        painter.fillRect(0, 0, width / 2, height, left);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPEG", quality))
        throw std::runtime_error("cannot encode JPEG");
    return orientation > 0 ? withOrientation(bytes, orientation) : bytes;
}

QByteArray gifBytes(int width, int height, const std::vector<QColor> &frames, int screenWidth,
                    int screenHeight)
{
    QByteArray out("GIF89a");
    putLittle16(out, screenWidth < 0 ? width : screenWidth);
    putLittle16(out, screenHeight < 0 ? height : screenHeight);
    putByte(out, 0xf7); // global colour table of 256 entries
    putByte(out, 0);
    putByte(out, 0);
    for (int entry = 0; entry < 256; ++entry) {
        const QColor colour = entry < static_cast<int>(frames.size())
                ? frames[static_cast<std::size_t>(entry)]
                : QColor(Qt::black);
        putByte(out, colour.red());
        putByte(out, colour.green());
        putByte(out, colour.blue());
    }
    for (std::size_t frame = 0; frame < frames.size(); ++frame) {
        // Graphic control: a tenth of a second each, so it is animated.
        out.append("\x21\xf9\x04\x00\x0a\x00\x00\x00", 8);
        putByte(out, 0x2c);
        putLittle16(out, 0);
        putLittle16(out, 0);
        putLittle16(out, width);
        putLittle16(out, height);
        putByte(out, 0);
        const std::vector<unsigned char> indices(static_cast<std::size_t>(width) * height,
                                                 static_cast<unsigned char>(frame));
        out.append(lzw(indices));
    }
    putByte(out, 0x3b);
    return out;
}

TempFolder::TempFolder()
{
    if (!folder.isValid())
        throw std::runtime_error("cannot make a temporary folder");
}

std::string TempFolder::file(const QString &name) const
{
    return folder.filePath(name).toStdString();
}

std::string TempFolder::write(const QString &name, const QByteArray &bytes) const
{
    QFile out(folder.filePath(name));
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + name.toStdString());
    return file(name);
}

std::string TempFolder::jpeg(const QString &name, int width, int height) const
{
    return write(name, jpegBytes(width, height));
}

std::string TempFolder::gif(const QString &name, int width, int height) const
{
    return write(name, gifBytes(width, height));
}

} // namespace testsupport
