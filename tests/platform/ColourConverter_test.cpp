// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Picture.h"
#include "platform/Testing.h"

#include "tests/support/LibraryPictures.h"
#include "tests/support/TestPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include <lcms2.h>

using namespace platform;
using testsupport::nameOf;
using testsupport::Rgb;
using testsupport::rgbOf;
using testsupport::TempFolder;
using Profile = std::vector<unsigned char>;

namespace {

constexpr int Side = 64;

Profile saved(cmsHPROFILE profile)
{
    Profile bytes;
    cmsUInt32Number size = 0;
    if (profile && cmsSaveProfileToMem(profile, nullptr, &size)) {
        bytes.resize(size);
        cmsSaveProfileToMem(profile, bytes.data(), &size);
    }
    if (profile)
        cmsCloseProfile(profile);
    return bytes;
}

cmsToneCurve *srgbCurve()
{
    const cmsFloat64Number parameters[] = { 2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045 };
    return cmsBuildParametricToneCurve(nullptr, 4, parameters);
}

constexpr cmsCIExyY D65 = { 0.3127, 0.3290, 1.0 };

// sRGB with its red and green primaries exchanged: what a file stores as
// red is meant as green. With a gamma, another profile of the kind.
Profile swappedProfile(std::optional<double> gamma = std::nullopt)
{
    const cmsCIExyYTRIPLE primaries
            = { { 0.30, 0.60, 1.0 }, { 0.64, 0.33, 1.0 }, { 0.15, 0.06, 1.0 } };
    cmsToneCurve *curve = gamma ? cmsBuildGamma(nullptr, *gamma) : srgbCurve();
    cmsToneCurve *curves[] = { curve, curve, curve };
    const Profile bytes = saved(cmsCreateRGBProfile(&D65, &primaries, curves));
    cmsFreeToneCurve(curve);
    return bytes;
}

// Adobe RGB (1998) as its published description gives it.
Profile adobeRgbProfile()
{
    const cmsCIExyYTRIPLE primaries
            = { { 0.64, 0.33, 1.0 }, { 0.21, 0.71, 1.0 }, { 0.15, 0.06, 1.0 } };
    cmsToneCurve *curve = cmsBuildGamma(nullptr, 563.0 / 256.0);
    cmsToneCurve *curves[] = { curve, curve, curve };
    const Profile bytes = saved(cmsCreateRGBProfile(&D65, &primaries, curves));
    cmsFreeToneCurve(curve);
    return bytes;
}

// Grey levels that are linear light: a mid level shows much lighter on an
// sRGB display.
Profile linearGreyProfile()
{
    cmsToneCurve *curve = cmsBuildGamma(nullptr, 1.0);
    const Profile bytes = saved(cmsCreateGrayProfile(cmsD50_xyY(), curve));
    cmsFreeToneCurve(curve);
    return bytes;
}

// A press profile of a kind: inks to colours through a table, as the simple
// conversion would give them, but with red and green exchanged.
int cmykSampler(const cmsUInt16Number in[], cmsUInt16Number out[], void *cargo)
{
    constexpr double Full = 65535.0;
    // In a profile 0 is no ink.
    const double paper = 1 - in[3] / Full;
    const float rgb[] = { static_cast<float>((1 - in[1] / Full) * paper),
                          static_cast<float>((1 - in[0] / Full) * paper),
                          static_cast<float>((1 - in[2] / Full) * paper) };
    cmsCIELab lab;
    cmsDoTransform(static_cast<cmsHTRANSFORM>(cargo), rgb, &lab, 1);
    cmsFloat2LabEncoded(out, &lab);
    return TRUE;
}

Profile swappedCmykProfile()
{
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
    cmsHTRANSFORM toLab = cmsCreateTransform(srgb, TYPE_RGB_FLT, lab, TYPE_Lab_DBL,
                                             INTENT_RELATIVE_COLORIMETRIC, 0);
    cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
    cmsSetProfileVersion(profile, 4.3);
    cmsSetDeviceClass(profile, cmsSigOutputClass);
    cmsSetColorSpace(profile, cmsSigCmykData);
    cmsSetPCS(profile, cmsSigLabData);
    cmsPipeline *pipeline = cmsPipelineAlloc(nullptr, 4, 3);
    cmsStage *table = cmsStageAllocCLut16bit(nullptr, 5, 4, 3, nullptr);
    cmsStageSampleCLut16bit(table, cmykSampler, toLab, 0);
    // A table alone cannot be stored: curves, identity here, come around it.
    cmsPipelineInsertStage(pipeline, cmsAT_END, cmsStageAllocToneCurves(nullptr, 4, nullptr));
    cmsPipelineInsertStage(pipeline, cmsAT_END, table);
    cmsPipelineInsertStage(pipeline, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, nullptr));
    cmsWriteTag(profile, cmsSigAToB0Tag, pipeline);
    cmsWriteTag(profile, cmsSigMediaWhitePointTag, cmsD50_XYZ());
    cmsPipelineFree(pipeline);
    cmsDeleteTransform(toLab);
    cmsCloseProfile(lab);
    cmsCloseProfile(srgb);
    return saved(profile);
}

// What Little CMS itself makes of a colour from `source` on an sRGB display.
Rgb throughProfile(const Profile &source, cmsUInt32Number format, const unsigned char *pixel)
{
    cmsHPROFILE from
            = cmsOpenProfileFromMem(source.data(), static_cast<cmsUInt32Number>(source.size()));
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHTRANSFORM transform
            = cmsCreateTransform(from, format, srgb, TYPE_RGB_8, INTENT_RELATIVE_COLORIMETRIC,
                                 cmsFLAGS_BLACKPOINTCOMPENSATION);
    unsigned char out[3] = {};
    if (transform) {
        cmsDoTransform(transform, pixel, out, 1);
        cmsDeleteTransform(transform);
    }
    cmsCloseProfile(srgb);
    cmsCloseProfile(from);
    return { out[0], out[1], out[2] };
}

// The profile as APP2 chunks of at most `chunkSize` bytes after the start
// of image, in their order or the other way round.
std::string withIcc(const std::string &jpeg, const Profile &profile, std::size_t chunkSize = 65519,
                    bool reversed = false)
{
    std::vector<std::string> chunks;
    for (std::size_t at = 0; at < profile.size(); at += chunkSize)
        chunks.emplace_back(reinterpret_cast<const char *>(profile.data()) + at,
                            std::min(chunkSize, profile.size() - at));
    std::vector<int> order;
    for (std::size_t i = 0; i < chunks.size(); ++i)
        order.push_back(static_cast<int>(i));
    if (reversed)
        std::reverse(order.begin(), order.end());
    std::string segments;
    for (const int i : order) {
        const std::size_t length = 2 + 14 + chunks[static_cast<std::size_t>(i)].size();
        segments += "\xff\xe2";
        segments += static_cast<char>(length >> 8);
        segments += static_cast<char>(length & 0xff);
        segments += std::string("ICC_PROFILE", 12);
        segments += static_cast<char>(i + 1);
        segments += static_cast<char>(chunks.size());
        segments += chunks[static_cast<std::size_t>(i)];
    }
    return jpeg.substr(0, 2) + segments + jpeg.substr(2);
}

// An EXIF segment whose Exif IFD gives the colour space and, through the
// interoperability IFD, the index: "R03" with 0xffff is Adobe RGB.
std::string withExifColour(const std::string &jpeg, int colourSpace, const char *index)
{
    std::string tiff = std::string("MM\0\x2a\0\0\0\x08", 8);
    auto put16 = [&](int v) {
        tiff += static_cast<char>((v >> 8) & 0xff);
        tiff += static_cast<char>(v & 0xff);
    };
    auto put32 = [&](int v) {
        put16((v >> 16) & 0xffff);
        put16(v & 0xffff);
    };
    // IFD0 at 8: one entry, the Exif IFD's offset (26).
    put16(1);
    put16(0x8769), put16(4), put32(1), put32(26);
    put32(0);
    // The Exif IFD at 26: the colour space, the interoperability IFD (56).
    put16(2);
    put16(0xa001), put16(3), put32(1), put16(colourSpace), put16(0);
    put16(0xa005), put16(4), put32(1), put32(56);
    put32(0);
    // The interoperability IFD at 56: its index, four ASCII bytes.
    put16(1);
    put16(0x0001), put16(2), put32(4);
    tiff += std::string(index, 3) + '\0';
    put32(0);
    const std::string segment = std::string("Exif\0\0", 6) + tiff;
    const std::size_t length = segment.size() + 2;
    return jpeg.substr(0, 2) + "\xff\xe1" + static_cast<char>(length >> 8)
            + static_cast<char>(length & 0xff) + segment + jpeg.substr(2);
}

// The ICCRGBG1012 application extension before the GIF's first frame.
std::string gifWithIcc(const std::string &gif, const Profile &profile)
{
    std::size_t at = 13;
    if (static_cast<unsigned char>(gif[10]) & 0x80)
        at += std::size_t{ 3 } << ((static_cast<unsigned char>(gif[10]) & 7) + 1);
    std::string extension = std::string("\x21\xff\x0bICCRGBG1012", 14);
    for (std::size_t i = 0; i < profile.size(); i += 255) {
        const std::size_t size = std::min<std::size_t>(255, profile.size() - i);
        extension += static_cast<char>(size);
        extension.append(reinterpret_cast<const char *>(profile.data()) + i, size);
    }
    extension += '\0';
    return gif.substr(0, at) + extension + gif.substr(at);
}

// Red, green, blue and yellow quadrants, reading order.
Rgb quadrant(int x, int y)
{
    const bool right = x >= Side / 2;
    if (y < Side / 2)
        return right ? testsupport::green : testsupport::red;
    return right ? testsupport::yellow : testsupport::blue;
}

std::string quadrantsJpeg()
{
    testsupport::JpegOptions options;
    options.quality = 95;
    options.colours = testsupport::JpegColours::YCbCr444;
    return testsupport::jpegBytes(Side, Side, quadrant, options);
}

std::string flatJpeg(Rgb colour, testsupport::JpegColours colours)
{
    testsupport::JpegOptions options;
    options.quality = 95;
    options.colours = colours;
    return testsupport::jpegBytes(
            Side, Side, [=](int, int) { return colour; }, options);
}

// The quadrants in CMYK, stored inverted as Adobe's programs store it, no
// black: each ink's byte is the colour's value.
std::string quadrantsCmykJpeg()
{
    return testsupport::libjpegBytes(Side, Side, quadrant, testsupport::JpegKind::Cmyk);
}

std::vector<Rgb> shownQuadrants(const Picture &picture)
{
    const auto size = platform::testing::decodedSize(picture);
    const int w = size.width;
    const int h = size.height;
    return { rgbOf(platform::testing::pixelOf(picture, w / 4, h / 4)),
             rgbOf(platform::testing::pixelOf(picture, 3 * w / 4, h / 4)),
             rgbOf(platform::testing::pixelOf(picture, w / 4, 3 * h / 4)),
             rgbOf(platform::testing::pixelOf(picture, 3 * w / 4, 3 * h / 4)) };
}

const std::vector<Rgb> AsStored
        = { testsupport::red, testsupport::green, testsupport::blue, testsupport::yellow };
const std::vector<Rgb> RedAndGreenExchanged
        = { testsupport::green, testsupport::red, testsupport::blue, testsupport::yellow };

std::vector<Rgb> all(Rgb colour)
{
    return { colour, colour, colour, colour };
}

// Every way a picture tells its colour space, and the display's: what
// shows is the picture's colour as the display must be driven to show it.
TEST(Colours, APictureIsShownThroughItsProfileAndTheDisplays)
{
    TempFolder folder;
    const Profile swapped = swappedProfile();
    ASSERT_GT(swapped.size(), 128U);
    const Profile adobe = adobeRgbProfile();
    const Profile grey = linearGreyProfile();
    const Profile cmyk = swappedCmykProfile();
    ASSERT_GT(cmyk.size(), 128U);
    const Profile garbage(3000, 0x5a);

    const std::string jpeg = quadrantsJpeg();
    const Rgb adobeGreen{ 40, 190, 60 };
    const unsigned char adobePixel[] = { adobeGreen.red, adobeGreen.green, adobeGreen.blue };
    const Rgb adobeShown = throughProfile(adobe, TYPE_RGB_8, adobePixel);
    // Else the row could not tell a conversion from none.
    ASSERT_FALSE(near(adobeShown, adobeGreen, 15)) << nameOf(adobeShown);
    const unsigned char midGrey = 128;
    const Rgb greyShown = throughProfile(grey, TYPE_GRAY_8, &midGrey);
    ASSERT_FALSE(near(greyShown, testsupport::grey, 15)) << nameOf(greyShown);

    const struct
    {
        const char *name;
        std::string bytes;
        std::optional<Profile> display;
        std::vector<Rgb> expected;
    } rows[] = {
        { "tagged, on sRGB", withIcc(jpeg, swapped), std::nullopt, RedAndGreenExchanged },
        { "tagged in chunks stored out of order", withIcc(jpeg, swapped, 200, true), std::nullopt,
          RedAndGreenExchanged },
        { "untagged, on a display with red and green exchanged", jpeg, swapped,
          RedAndGreenExchanged },
        { "tagged with the display's own profile", withIcc(jpeg, swapped), swapped, AsStored },
        { "untagged, on sRGB", jpeg, std::nullopt, AsStored },
        { "untagged, on a display whose profile cannot be read", jpeg, garbage, AsStored },
        { "untagged, on a display with a grey profile", jpeg, grey, AsStored },
        { "a GIF tagged",
          gifWithIcc(testsupport::gifBytes(Side, Side, { testsupport::red }), swapped),
          std::nullopt, all(testsupport::green) },
        { "Adobe RGB by EXIF alone",
          withExifColour(flatJpeg(adobeGreen, testsupport::JpegColours::YCbCr444), 0xffff, "R03"),
          std::nullopt, all(adobeShown) },
        { "uncalibrated EXIF of another index",
          withExifColour(flatJpeg(adobeGreen, testsupport::JpegColours::YCbCr444), 0xffff, "R98"),
          std::nullopt, all(adobeGreen) },
        { "sRGB EXIF with R03",
          withExifColour(flatJpeg(adobeGreen, testsupport::JpegColours::YCbCr444), 1, "R03"),
          std::nullopt, all(adobeGreen) },
        { "an embedded profile over EXIF's", withIcc(withExifColour(jpeg, 0xffff, "R03"), swapped),
          std::nullopt, RedAndGreenExchanged },
        { "grey with a grey profile",
          withIcc(flatJpeg(testsupport::grey, testsupport::JpegColours::Grey), grey), std::nullopt,
          all(greyShown) },
        { "grey with an RGB profile",
          withIcc(flatJpeg(testsupport::grey, testsupport::JpegColours::Grey), swapped),
          std::nullopt, all(testsupport::grey) },
        { "CMYK with a profile", withIcc(quadrantsCmykJpeg(), cmyk), std::nullopt,
          RedAndGreenExchanged },
        { "CMYK with an RGB profile", withIcc(quadrantsCmykJpeg(), swapped), std::nullopt,
          AsStored },
        { "CMYK untagged, on a display with red and green exchanged", quadrantsCmykJpeg(), swapped,
          RedAndGreenExchanged },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        std::optional<platform::testing::DisplayProfileOverride> display;
        if (row.display)
            display.emplace(*row.display);
        const Picture picture = LoadPicture(folder.write("picture.jpg", row.bytes));
        ASSERT_EQ(platform::testing::decodedSize(picture),
                  (platform::testing::PixelSize{ Side, Side }));
        const auto shown = shownQuadrants(picture);
        for (std::size_t q = 0; q < 4; ++q) {
            // Within JPEG's own loss and the interpolation of a profile's
            // tables.
            EXPECT_TRUE(near(shown[q], row.expected[q]))
                    << "quadrant " << q << " is " << nameOf(shown[q]) << ", not "
                    << nameOf(row.expected[q]);
        }
    }
}

// The same profile again costs no new transform; sRGB on sRGB costs none at
// all; another display builds anew.
TEST(Colours, ATransformIsBuiltOncePerPairOfProfiles)
{
    TempFolder folder;
    // No other test's pictures carry it, so none of their transforms is
    // cached for it.
    const Profile swapped = swappedProfile(1.8);
    const std::string tagged = folder.write("tagged.jpg", withIcc(quadrantsJpeg(), swapped));
    const std::string untagged = folder.write("untagged.jpg", quadrantsJpeg());
    const cmsHPROFILE srgbHandle = cmsCreate_sRGBProfile();
    const std::string srgbTagged
            = folder.write("srgb.jpg", withIcc(quadrantsJpeg(), saved(srgbHandle)));

    const int before = platform::testing::colourCounts().built;
    for (int i = 0; i < 3; ++i) {
        LoadPicture(tagged);
        LoadPicture(untagged);
        LoadPicture(srgbTagged);
    }
    EXPECT_EQ(platform::testing::colourCounts().built, before + 1);

    const platform::testing::DisplayProfileOverride display(adobeRgbProfile());
    for (int i = 0; i < 2; ++i) {
        LoadPicture(tagged);
        LoadPicture(untagged);
    }
    EXPECT_EQ(platform::testing::colourCounts().built, before + 3);
}

} // namespace
