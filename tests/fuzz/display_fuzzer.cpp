// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// The picture loader for a display with a colour profile of its own: the
// first byte of an input chooses the display, the rest is the file. Every
// picture is then converted (untagged ones from sRGB), so the transforms
// from the profiles pictures carry are built to a display that is not
// sRGB, as on a calibrated screen. The displays: a wide gamut and a narrow
// one (matrix and curves, which the runtime turns into tables of its own)
// and one described by tables (which Little CMS samples). make fuzz seeds
// each of them (FUZZ_DISPLAYS in the Makefile).
#include "PictureTarget.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

#include <lcms2.h>

namespace {

using Profile = std::vector<unsigned char>;

Profile saved(cmsHPROFILE profile)
{
    Profile bytes;
    cmsUInt32Number size = 0;
    if (profile && cmsSaveProfileToMem(profile, nullptr, &size)) {
        bytes.resize(size);
        if (!cmsSaveProfileToMem(profile, bytes.data(), &size))
            bytes.clear();
    }
    if (profile)
        cmsCloseProfile(profile);
    return bytes;
}

constexpr cmsCIExyY D65 = { 0.3127, 0.3290, 1.0 };
// Adobe RGB (1998).
constexpr cmsCIExyYTRIPLE WidePrimaries
        = { { 0.64, 0.33, 1.0 }, { 0.21, 0.71, 1.0 }, { 0.15, 0.06, 1.0 } };
// Primaries close around the white point: the matrix back from the
// connection space has large coefficients.
constexpr cmsCIExyYTRIPLE NarrowPrimaries
        = { { 0.42, 0.36, 1.0 }, { 0.30, 0.42, 1.0 }, { 0.24, 0.24, 1.0 } };

cmsHPROFILE wideGamut()
{
    cmsToneCurve *curve = cmsBuildGamma(nullptr, 563.0 / 256.0);
    cmsToneCurve *curves[] = { curve, curve, curve };
    cmsHPROFILE profile = cmsCreateRGBProfile(&D65, &WidePrimaries, curves);
    cmsFreeToneCurve(curve);
    return profile;
}

// Its curves a table of levels rather than a gamma.
cmsHPROFILE narrowGamut()
{
    std::array<cmsUInt16Number, 256> levels{};
    for (std::size_t i = 0; i < levels.size(); ++i)
        levels[i] = static_cast<cmsUInt16Number>(65535.0 * std::pow(i / 255.0, 1.8) + 0.5);
    cmsToneCurve *curve = cmsBuildTabulatedToneCurve16(nullptr, levels.size(), levels.data());
    cmsToneCurve *curves[] = { curve, curve, curve };
    cmsHPROFILE profile = cmsCreateRGBProfile(&D65, &NarrowPrimaries, curves);
    cmsFreeToneCurve(curve);
    return profile;
}

int sample(const cmsUInt16Number in[], cmsUInt16Number out[], void *transform)
{
    cmsDoTransform(static_cast<cmsHTRANSFORM>(transform), in, out, 1);
    return TRUE;
}

// The table of `points` a side that `transform` samples, between curves
// (a table alone cannot be stored).
cmsPipeline *sampled(cmsHTRANSFORM transform, int points)
{
    cmsPipeline *pipeline = cmsPipelineAlloc(nullptr, 3, 3);
    cmsStage *table
            = cmsStageAllocCLut16bit(nullptr, static_cast<cmsUInt32Number>(points), 3, 3, nullptr);
    cmsStageSampleCLut16bit(table, sample, transform, 0);
    cmsPipelineInsertStage(pipeline, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, nullptr));
    cmsPipelineInsertStage(pipeline, cmsAT_END, table);
    cmsPipelineInsertStage(pipeline, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, nullptr));
    return pipeline;
}

// The wide gamut as a display profiling tool writes a table profile: both
// directions sampled through Lab, the colorimetric intent sharing the
// perceptual tables.
cmsHPROFILE tableDisplay()
{
    cmsHPROFILE device = wideGamut();
    cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
    cmsHTRANSFORM toLab = cmsCreateTransform(device, TYPE_RGB_16, lab, TYPE_Lab_16,
                                             INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_NOCACHE);
    cmsHTRANSFORM fromLab = cmsCreateTransform(lab, TYPE_Lab_16, device, TYPE_RGB_16,
                                               INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_NOCACHE);
    cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
    cmsSetProfileVersion(profile, 4.3);
    cmsSetDeviceClass(profile, cmsSigDisplayClass);
    cmsSetColorSpace(profile, cmsSigRgbData);
    cmsSetPCS(profile, cmsSigLabData);
    cmsWriteTag(profile, cmsSigMediaWhitePointTag, cmsD50_XYZ());
    cmsPipeline *in = sampled(toLab, 9);
    cmsPipeline *out = sampled(fromLab, 17);
    cmsWriteTag(profile, cmsSigAToB0Tag, in);
    cmsWriteTag(profile, cmsSigBToA0Tag, out);
    cmsLinkTag(profile, cmsSigAToB1Tag, cmsSigAToB0Tag);
    cmsLinkTag(profile, cmsSigBToA1Tag, cmsSigBToA0Tag);
    cmsPipelineFree(in);
    cmsPipelineFree(out);
    cmsDeleteTransform(toLab);
    cmsDeleteTransform(fromLab);
    cmsCloseProfile(lab);
    cmsCloseProfile(device);
    return profile;
}

std::vector<Profile> displays;
// Never ended: at the process's end the runtime's colour converter may
// already be gone.
auto &shown = *new std::optional<platform::testing::DisplayProfileOverride>;
std::size_t shownIndex = 0;

void show(std::size_t index)
{
    if (shown && shownIndex == index)
        return;
    shown.reset();
    shown.emplace(displays[index]);
    shownIndex = index;
}

// A 1 by 1 GIF of the colour 0xC83C3C, untagged.
constexpr std::uint8_t OnePixel[] = {
    'G',  'I',  'F',  '8',  '9', 'a',  1, 0, 1, 0, 0x80, 0, 0, // a screen of 1 by 1
    0xC8, 0x3C, 0x3C, 0,    0,   0, // its two colours
    0x2C, 0,    0,    0,    0,   1,    0, 1, 0, 0, // a frame of 1 by 1
    2,    2,    0x44, 0x01, 0,   0x3B, // its pixel, the first colour; the end
};
constexpr std::uint32_t OnePixelColour = 0xC83C3C;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    fuzz::startRuntime(argv);
    for (cmsHPROFILE profile : { wideGamut(), narrowGamut(), tableDisplay() })
        displays.push_back(saved(profile));
    // A display the runtime took for sRGB would leave the run testing
    // what the picture target does.
    for (std::size_t i = 0; i < displays.size(); ++i) {
        show(i);
        const platform::Picture picture = fuzz::loadBytes(OnePixel, sizeof OnePixel);
        if (picture.empty() || platform::testing::pixelOf(picture, 0, 0) == OnePixelColour) {
            std::fprintf(stderr, "display_fuzzer: display %zu converts nothing\n", i);
            std::abort();
        }
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    show(data[0] % displays.size());
    fuzz::loadBytes(data + 1, size - 1);
    return 0;
}
