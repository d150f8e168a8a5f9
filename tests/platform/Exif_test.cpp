// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/Exif.h"
#include "platform/detail/PictureFile.h"

#include "tests/support/TestPictures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace platform;
using testsupport::ExifOrder;
using testsupport::TempFolder;

namespace {

// An APP1 segment's data as a camera writes it: the "Exif" header, a TIFF
// header in either byte order, and an IFD whose first entry (Make) comes
// before the one that matters.
std::vector<unsigned char> exifData(bool big, int tag, int type, int value, int entries = 1,
                                    int offset = 8)
{
    std::vector<unsigned char> d = { 'E', 'x', 'i', 'f', 0, 0 };
    auto put16 = [&](int v) {
        if (big) {
            d.push_back(static_cast<unsigned char>(v >> 8));
            d.push_back(static_cast<unsigned char>(v));
        } else {
            d.push_back(static_cast<unsigned char>(v));
            d.push_back(static_cast<unsigned char>(v >> 8));
        }
    };
    auto put32 = [&](int v) {
        if (big) {
            put16(v >> 16);
            put16(v & 0xffff);
        } else {
            put16(v & 0xffff);
            put16(v >> 16);
        }
    };
    d.push_back(big ? 'M' : 'I');
    d.push_back(big ? 'M' : 'I');
    put16(42);
    put32(offset);
    put16(entries);
    put16(0x010f); // Make, before the orientation
    put16(2);
    put32(1);
    put32(0);
    put16(tag);
    put16(type);
    put32(1);
    put16(value);
    put16(0);
    return d;
}

TEST(ExifOrientation, ReadsBothByteOrdersAndIgnoresWhatIsBroken)
{
    const struct
    {
        const char *what;
        std::vector<unsigned char> data;
        int expected;
    } rows[] = {
        { "big-endian 6", exifData(true, 0x0112, 3, 6, 2), 6 },
        { "little-endian 8", exifData(false, 0x0112, 3, 8, 2), 8 },
        { "little-endian 3", exifData(false, 0x0112, 3, 3, 2), 3 },
        { "no orientation tag", exifData(false, 0x0110, 3, 6, 2), 1 },
        { "not a SHORT", exifData(true, 0x0112, 4, 6, 2), 1 },
        { "out of range", exifData(true, 0x0112, 3, 9, 2), 1 },
        { "zero", exifData(false, 0x0112, 3, 0, 2), 1 },
        { "entry count past the end", exifData(true, 0x0110, 3, 6, 900), 1 },
        { "IFD offset past the end", exifData(true, 0x0112, 3, 6, 2, 5000), 1 },
        { "not Exif", { 'J', 'F', 'I', 'F', 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8 }, 1 },
        { "neither byte order", { 'E', 'x', 'i', 'f', 0, 0, 'M', 'I', 0, 42, 0, 0, 0, 8 }, 1 },
        { "not 42", { 'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 43, 0, 0, 0, 8 }, 1 },
        { "empty", {}, 1 },
    };
    for (const auto &row : rows)
        EXPECT_EQ(detail::exifOrientation(row.data.data(), row.data.size()), row.expected)
                << row.what;
    // Cut anywhere inside the orientation entry, the segment holds none.
    const std::vector<unsigned char> whole = exifData(true, 0x0112, 3, 6, 2);
    for (std::size_t length = 0; length + 2 < whole.size(); ++length)
        EXPECT_EQ(detail::exifOrientation(whole.data(), length), 1) << "cut at " << length;
}

// The offset of the first segment with this marker before the scan, as the
// segments of the test pictures lie (no fill bytes); npos for none.
std::size_t segmentAt(const std::string &jpeg, unsigned char marker)
{
    std::size_t at = 2;
    while (at + 4 <= jpeg.size() && static_cast<unsigned char>(jpeg[at]) == 0xff) {
        const auto code = static_cast<unsigned char>(jpeg[at + 1]);
        if (code == marker)
            return at;
        if (code == 0xda)
            break;
        at += 2
                + (static_cast<std::size_t>(static_cast<unsigned char>(jpeg[at + 2])) << 8
                   | static_cast<unsigned char>(jpeg[at + 3]));
    }
    return std::string::npos;
}

std::string segment(unsigned char marker, const std::string &data)
{
    const std::size_t length = data.size() + 2;
    std::string out = { '\xff', static_cast<char>(marker), static_cast<char>(length >> 8),
                        static_cast<char>(length & 0xff) };
    return out + data;
}

class JpegOrientation : public ::testing::Test
{
protected:
    int orientationOf(const std::string &name, const std::string &bytes) const
    {
        const detail::PictureFile file(folder.write(name, bytes));
        EXPECT_EQ(file.status(), detail::PictureFile::Status::Open) << name;
        return detail::jpegOrientation(file);
    }

    TempFolder folder;
    const std::string plain = testsupport::jpegBytes(16, 8);
};

TEST_F(JpegOrientation, IsReadFromTheFilesOwnBytesInBothByteOrders)
{
    EXPECT_EQ(orientationOf("none.jpg", plain), 1);
    for (const ExifOrder order : { ExifOrder::BigEndian, ExifOrder::LittleEndian }) {
        for (int stored : { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 255, 65535 }) {
            const int expected = stored >= 1 && stored <= 8 ? stored : 1;
            EXPECT_EQ(orientationOf("o.jpg", testsupport::withOrientation(plain, stored, order)),
                      expected)
                    << stored << (order == ExifOrder::BigEndian ? " MM" : " II");
        }
    }
}

TEST_F(JpegOrientation, LooksPastWhatComesBeforeTheExifSegment)
{
    const std::string turned = testsupport::withOrientation(plain, 6);
    const std::size_t exif = segmentAt(turned, 0xe1);
    ASSERT_NE(exif, std::string::npos);
    const std::string xmp = segment(0xe1,
                                    std::string("http://ns.adobe.com/xap/1.0/\0", 29)
                                            + "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"/>");
    const std::string comment = segment(0xfe, "made by a test");
    const std::string rows[][2] = {
        { "XMP first", turned.substr(0, exif) + xmp + turned.substr(exif) },
        { "a comment and XMP first", turned.substr(0, exif) + comment + xmp + turned.substr(exif) },
        // Any number of 0xff may pad a marker.
        { "fill bytes", turned.substr(0, exif) + "\xff\xff\xff" + turned.substr(exif) },
        { "fill bytes after SOI", turned.substr(0, 2) + "\xff\xff" + turned.substr(2) },
    };
    for (const auto &row : rows)
        EXPECT_EQ(orientationOf("o.jpg", row[1]), 6) << row[0];
}

TEST_F(JpegOrientation, ABrokenOrMisplacedSegmentGivesNone)
{
    const std::string turned = testsupport::withOrientation(plain, 8);
    const std::size_t exif = segmentAt(turned, 0xe1);
    const std::size_t scan = segmentAt(turned, 0xda);
    ASSERT_NE(exif, std::string::npos);
    ASSERT_NE(scan, std::string::npos);
    std::string tooLong = turned;
    tooLong[exif + 2] = '\x7f'; // the segment claims more than the file holds
    std::string tooShort = turned;
    tooShort[exif + 2] = '\0';
    tooShort[exif + 3] = '\1'; // a length below the two bytes of the length itself
    const std::size_t exifLength = 2
            + (static_cast<std::size_t>(static_cast<unsigned char>(turned[exif + 2])) << 8
               | static_cast<unsigned char>(turned[exif + 3]));
    const std::string exifSegment = turned.substr(exif, exifLength);
    const std::string rows[][2] = {
        { "cut inside the EXIF segment", turned.substr(0, exif + 20) },
        { "cut inside the EXIF header", turned.substr(0, exif + 6) },
        { "cut inside a marker", turned.substr(0, exif + 1) },
        { "length past the end", tooLong },
        { "length below two", tooShort },
        // Once the scan starts, what follows is picture data.
        { "EXIF after the scan starts",
          plain.substr(0, plain.size() - 2) + exifSegment + plain.substr(plain.size() - 2) },
        { "no marker after SOI", std::string("\xff\xd8garbage", 9) },
    };
    for (const auto &row : rows)
        EXPECT_EQ(orientationOf("o.jpg", row[1]), 1) << row[0];
}

} // namespace
