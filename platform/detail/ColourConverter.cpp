// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/ColourConverter.h"

#include "platform/detail/ProfileCost.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include <lcms2.h>
#include <lcms2_plugin.h>

namespace platform::detail {

namespace {

// A handful of pairs covers a show: a camera's profile or two, a phone's,
// sRGB, each into the one display.
constexpr std::size_t CachedTransforms = 8;
// The profiles the cache keeps to recognise them by, together; beyond it the
// oldest go first.
constexpr std::size_t CachedProfileBytes = std::size_t{ 8 } * 1024 * 1024;
// What Little CMS may ask for at once, and hold in all. A profile's largest
// table is no larger than the profile (4 MB), and a transform's own table
// a fraction of a megabyte: anything more is what a damaged or hostile
// profile claims, and the read that asks for it fails.
constexpr std::size_t MostAllocationBytes = std::size_t{ 16 } * 1024 * 1024;
constexpr std::size_t MostHeldBytes = std::size_t{ 48 } * 1024 * 1024;
// How near to sRGB's a profile's colorants (D50 XYZ) and curves must be for
// it to count as sRGB: far below what an 8-bit pixel can show.
constexpr double ColorantTolerance = 0.002;
constexpr double CurveTolerance = 0.5 / 255;
constexpr int CurveSamples = 32;
// Adobe RGB (1998): its white point, primaries (xyY) and gamma 563/256.
constexpr cmsCIExyY AdobeWhite = { 0.3127, 0.3290, 1.0 };
constexpr cmsCIExyYTRIPLE AdobePrimaries
        = { { 0.64, 0.33, 1.0 }, { 0.21, 0.71, 1.0 }, { 0.15, 0.06, 1.0 } };
constexpr double AdobeGamma = 563.0 / 256.0;

struct ProfileCloser
{
    void operator()(void *profile) const { cmsCloseProfile(profile); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;

struct CurveFreer
{
    void operator()(cmsToneCurve *curve) const { cmsFreeToneCurve(curve); }
};

// Little CMS's allocations through our own, each block headed by its size
// so that what is held can be counted.
std::atomic<std::size_t> heldBytes{ 0 };
constexpr std::size_t BlockHeader = alignof(std::max_align_t);

void *allocate(cmsContext, cmsUInt32Number size)
{
    if (size > MostAllocationBytes)
        return nullptr;
    const std::size_t held = heldBytes.fetch_add(size, std::memory_order_relaxed) + size;
    void *block = held > MostHeldBytes ? nullptr : std::malloc(BlockHeader + size);
    if (!block) {
        heldBytes.fetch_sub(size, std::memory_order_relaxed);
        return nullptr;
    }
    std::memcpy(block, &size, sizeof size);
    return static_cast<char *>(block) + BlockHeader;
}

cmsUInt32Number sizeOf(void *pointer)
{
    cmsUInt32Number size = 0;
    std::memcpy(&size, static_cast<char *>(pointer) - BlockHeader, sizeof size);
    return size;
}

void release(cmsContext, void *pointer)
{
    if (!pointer)
        return;
    heldBytes.fetch_sub(sizeOf(pointer), std::memory_order_relaxed);
    std::free(static_cast<char *>(pointer) - BlockHeader);
}

void *reallocate(cmsContext context, void *pointer, cmsUInt32Number size)
{
    void *moved = allocate(context, size);
    if (moved && pointer) {
        std::memcpy(moved, pointer, std::min(size, sizeOf(pointer)));
        release(context, pointer);
    }
    return moved;
}

cmsPluginMemHandler memoryPlugin = {
    { cmsPluginMagicNumber, LCMS_VERSION, cmsPluginMemHandlerSig, nullptr },
    allocate,
    release,
    reallocate,
    nullptr,
    nullptr,
    nullptr,
};

void recordError(cmsContext context, cmsUInt32Number, const char *)
{
    if (auto *errors = static_cast<std::atomic<int> *>(cmsGetContextUserData(context)))
        errors->fetch_add(1, std::memory_order_relaxed);
}

// A profile too large, or whose pipelines would cost too much to read or
// to build from, is not opened at all.
Profile open(cmsContext context, const IccProfile &bytes)
{
    if (bytes.empty())
        return Profile(cmsCreate_sRGBProfileTHR(context));
    if (bytes.size() > MaxProfileBytes || !profileCostIsBounded(bytes))
        return nullptr;
    return Profile(cmsOpenProfileFromMemTHR(context, bytes.data(),
                                            static_cast<cmsUInt32Number>(bytes.size())));
}

// Whether every pipeline a transform may take can be read: this also finds
// tags that point outside the profile or hold what Little CMS cannot take.
bool pipelinesReadable(cmsHPROFILE profile)
{
    constexpr cmsTagSignature pipelines[] = {
        cmsSigAToB0Tag, cmsSigAToB1Tag, cmsSigAToB2Tag, cmsSigBToA0Tag, cmsSigBToA1Tag,
        cmsSigBToA2Tag, cmsSigDToB0Tag, cmsSigDToB1Tag, cmsSigDToB2Tag, cmsSigDToB3Tag,
        cmsSigBToD0Tag, cmsSigBToD1Tag, cmsSigBToD2Tag, cmsSigBToD3Tag,
    };
    for (const cmsTagSignature tag : pipelines) {
        if (cmsIsTag(profile, tag) && !cmsReadTag(profile, tag))
            return false;
    }
    return true;
}

bool deviceClassShowable(cmsHPROFILE profile)
{
    switch (cmsGetDeviceClass(profile)) {
    case cmsSigInputClass:
    case cmsSigDisplayClass:
    case cmsSigOutputClass:
    case cmsSigColorSpaceClass:
        return true;
    default:
        return false;
    }
}

cmsColorSpaceSignature spaceOf(ColourLayout layout)
{
    switch (layout) {
    case ColourLayout::Grey:
        return cmsSigGrayData;
    case ColourLayout::InvertedCmyk:
        return cmsSigCmykData;
    case ColourLayout::Rgb:
        break;
    }
    return cmsSigRgbData;
}

cmsUInt32Number formatOf(ColourLayout layout)
{
    switch (layout) {
    case ColourLayout::Grey:
        // The level in the blue byte, the three bytes after it passed over.
        return COLORSPACE_SH(PT_GRAY) | CHANNELS_SH(1) | BYTES_SH(1) | EXTRA_SH(3);
    case ColourLayout::InvertedCmyk:
        return TYPE_CMYK_8_REV;
    case ColourLayout::Rgb:
        break;
    }
    return TYPE_BGRA_8;
}

// A matrix-shaper profile with sRGB's colorants and curves, whatever its
// name: the one most photos carry, and many displays'.
bool isSrgb(cmsContext context, cmsHPROFILE profile)
{
    if (cmsGetColorSpace(profile) != cmsSigRgbData || !cmsIsMatrixShaper(profile)
        || cmsIsTag(profile, cmsSigAToB0Tag) || cmsIsTag(profile, cmsSigDToB0Tag))
        return false;
    const Profile srgb(cmsCreate_sRGBProfileTHR(context));
    if (!srgb)
        return false;
    constexpr cmsTagSignature colorants[]
            = { cmsSigRedColorantTag, cmsSigGreenColorantTag, cmsSigBlueColorantTag };
    constexpr cmsTagSignature curves[] = { cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag };
    for (int i = 0; i < 3; ++i) {
        const auto *mine = static_cast<const cmsCIEXYZ *>(cmsReadTag(profile, colorants[i]));
        const auto *theirs = static_cast<const cmsCIEXYZ *>(cmsReadTag(srgb.get(), colorants[i]));
        if (!mine || !theirs || std::abs(mine->X - theirs->X) > ColorantTolerance
            || std::abs(mine->Y - theirs->Y) > ColorantTolerance
            || std::abs(mine->Z - theirs->Z) > ColorantTolerance)
            return false;
        const auto *curve = static_cast<const cmsToneCurve *>(cmsReadTag(profile, curves[i]));
        const auto *reference
                = static_cast<const cmsToneCurve *>(cmsReadTag(srgb.get(), curves[i]));
        if (!curve || !reference)
            return false;
        for (int step = 0; step <= CurveSamples; ++step) {
            const float x = static_cast<float>(step) / CurveSamples;
            if (std::abs(cmsEvalToneCurveFloat(curve, x) - cmsEvalToneCurveFloat(reference, x))
                > CurveTolerance)
                return false;
        }
    }
    return true;
}

// Whether Little CMS would take the profile's curves and colorants, not a
// table, for colours coming in (`input`) or going out.
bool plainMatrixShaper(cmsHPROFILE profile, bool input)
{
    if (cmsGetColorSpace(profile) != cmsSigRgbData || !cmsIsMatrixShaper(profile))
        return false;
    constexpr cmsTagSignature inputTables[] = { cmsSigAToB0Tag, cmsSigAToB1Tag, cmsSigAToB2Tag,
                                                cmsSigDToB0Tag, cmsSigDToB1Tag, cmsSigDToB2Tag };
    constexpr cmsTagSignature outputTables[] = { cmsSigBToA0Tag, cmsSigBToA1Tag, cmsSigBToA2Tag,
                                                 cmsSigBToD0Tag, cmsSigBToD1Tag, cmsSigBToD2Tag };
    for (const cmsTagSignature tag : input ? inputTables : outputTables) {
        if (cmsIsTag(profile, tag))
            return false;
    }
    return true;
}

using Matrix = std::array<double, 9>;

// The colorants as columns: linear RGB to the connection space's XYZ.
std::optional<Matrix> colorantsOf(cmsHPROFILE profile)
{
    constexpr cmsTagSignature tags[]
            = { cmsSigRedColorantTag, cmsSigGreenColorantTag, cmsSigBlueColorantTag };
    Matrix matrix{};
    for (int column = 0; column < 3; ++column) {
        const auto *xyz = static_cast<const cmsCIEXYZ *>(cmsReadTag(profile, tags[column]));
        if (!xyz)
            return std::nullopt;
        matrix[column] = xyz->X;
        matrix[3 + column] = xyz->Y;
        matrix[6 + column] = xyz->Z;
    }
    return matrix;
}

std::optional<Matrix> inverse(const Matrix &m)
{
    const double det = m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6])
            + m[2] * (m[3] * m[7] - m[4] * m[6]);
    if (!std::isfinite(det) || std::abs(det) < 1e-9)
        return std::nullopt;
    return Matrix{ (m[4] * m[8] - m[5] * m[7]) / det, (m[2] * m[7] - m[1] * m[8]) / det,
                   (m[1] * m[5] - m[2] * m[4]) / det, (m[5] * m[6] - m[3] * m[8]) / det,
                   (m[0] * m[8] - m[2] * m[6]) / det, (m[2] * m[3] - m[0] * m[5]) / det,
                   (m[3] * m[7] - m[4] * m[6]) / det, (m[1] * m[6] - m[0] * m[7]) / det,
                   (m[0] * m[4] - m[1] * m[3]) / det };
}

// Beyond this a row's products no longer fit 32 bits; no real pair of
// profiles comes near.
constexpr std::int64_t MostRowWeight = std::int64_t{ 8 } * LinearOne;
// The grid of colours the tables are checked on against Little CMS, and
// how far apart (of 255) the two may be.
constexpr int CheckStep = 15;
constexpr int MostDifference = 2;

// The curves and matrix of a conversion between two matrix-shaper
// profiles, as Little CMS's own `reference` makes it: none when either is
// no plain matrix-shaper or the tables do not give what it gives.
std::shared_ptr<const ColourTransform> shaperTransform(cmsHPROFILE from, cmsHPROFILE to,
                                                       cmsHTRANSFORM reference)
{
    if (!plainMatrixShaper(from, true) || !plainMatrixShaper(to, false))
        return nullptr;
    const std::optional<Matrix> source = colorantsOf(from);
    const std::optional<Matrix> display = colorantsOf(to);
    const std::optional<Matrix> back = display ? inverse(*display) : std::nullopt;
    if (!source || !back)
        return nullptr;
    auto tables = std::make_unique<ShaperMatrix>();
    for (int row = 0; row < 3; ++row) {
        std::int64_t weight = 0;
        for (int column = 0; column < 3; ++column) {
            double value = 0;
            for (int k = 0; k < 3; ++k)
                value += (*back)[row * 3 + k] * (*source)[k * 3 + column];
            if (!std::isfinite(value) || std::abs(value) * LinearOne > MostRowWeight)
                return nullptr;
            const auto fixed = static_cast<std::int32_t>(std::lround(value * LinearOne));
            tables->matrix[static_cast<std::size_t>(row) * 3 + static_cast<std::size_t>(column)]
                    = fixed;
            weight += std::abs(fixed);
        }
        if (weight >= MostRowWeight)
            return nullptr;
    }
    constexpr cmsTagSignature curves[] = { cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag };
    for (std::size_t channel = 0; channel < 3; ++channel) {
        const auto *in = static_cast<const cmsToneCurve *>(cmsReadTag(from, curves[channel]));
        const auto *out = static_cast<const cmsToneCurve *>(cmsReadTag(to, curves[channel]));
        if (!in || !out)
            return nullptr;
        const std::unique_ptr<cmsToneCurve, CurveFreer> reversed(cmsReverseToneCurve(out));
        if (!reversed)
            return nullptr;
        for (int level = 0; level < 256; ++level) {
            const float linear = std::clamp(
                    cmsEvalToneCurveFloat(in, static_cast<float>(level) / 255.0f), 0.0f, 1.0f);
            tables->toLinear[channel][static_cast<std::size_t>(level)]
                    = static_cast<std::uint16_t>(std::lround(linear * LinearOne));
        }
        for (int step = 0; step <= LinearOne; ++step) {
            const float level = std::clamp(
                    cmsEvalToneCurveFloat(reversed.get(), static_cast<float>(step) / LinearOne),
                    0.0f, 1.0f);
            tables->fromLinear[channel][static_cast<std::size_t>(step)]
                    = static_cast<std::uint8_t>(std::lround(level * 255));
        }
    }
    std::vector<std::uint32_t> ours;
    for (int r = 0; r < 256; r += CheckStep)
        for (int g = 0; g < 256; g += CheckStep)
            for (int b = 0; b < 256; b += CheckStep)
                ours.push_back(0xff000000u | static_cast<std::uint32_t>(r << 16 | g << 8 | b));
    std::vector<std::uint32_t> theirs = ours;
    cmsDoTransform(reference, theirs.data(), theirs.data(),
                   static_cast<cmsUInt32Number>(theirs.size()));
    auto transform = std::make_shared<const ColourTransform>(std::move(tables));
    transform->apply(ours.data(), ours.size());
    for (std::size_t i = 0; i < ours.size(); ++i) {
        for (int shift = 0; shift < 24; shift += 8) {
            const int a = static_cast<int>((ours[i] >> shift) & 0xff);
            const int b = static_cast<int>((theirs[i] >> shift) & 0xff);
            if (std::abs(a - b) > MostDifference)
                return nullptr;
        }
    }
    return transform;
}

} // namespace

struct ColourConverter::Display
{
    // Empty for sRGB, whatever the desktop published.
    IccProfile profile;
    std::uint64_t generation = 0;
};

struct ColourConverter::Entry
{
    IccProfile source;
    ColourLayout layout;
    std::uint64_t generation;
    // Null when there was nothing to do or it could not be done.
    std::shared_ptr<const ColourTransform> transform;
};

ColourConverter &ColourConverter::instance()
{
    static ColourConverter converter;
    return converter;
}

ColourConverter::ColourConverter()
    : context(cmsCreateContext(&memoryPlugin, &errors)), display(std::make_shared<Display>())
{
    cmsSetLogErrorHandlerTHR(static_cast<cmsContext>(context), recordError);
}

ColourConverter::~ColourConverter()
{
    cache.clear();
    cmsDeleteContext(static_cast<cmsContext>(context));
}

void ColourConverter::showStarting(const std::function<IccProfile()> &read)
{
    std::optional<IccProfile> choice;
    {
        std::lock_guard lock(mutex);
        choice = chosen;
    }
    setDisplay(choice ? std::move(*choice) : read());
}

void ColourConverter::overrideDisplay(std::optional<IccProfile> profile)
{
    {
        std::lock_guard lock(mutex);
        chosen = profile;
    }
    setDisplay(profile ? std::move(*profile) : IccProfile());
}

// A display profile that cannot be read, is not RGB, cannot take colours
// in or would be slow to build from is taken as sRGB, as is sRGB itself.
void ColourConverter::setDisplay(IccProfile profile)
{
    const auto ctx = static_cast<cmsContext>(context);
    if (!profile.empty()) {
        const Profile opened = open(ctx, profile);
        const bool usable = opened && cmsGetColorSpace(opened.get()) == cmsSigRgbData
                && deviceClassShowable(opened.get()) && pipelinesReadable(opened.get())
                && cmsIsIntentSupported(opened.get(), INTENT_RELATIVE_COLORIMETRIC,
                                        LCMS_USED_AS_OUTPUT);
        if (!usable || isSrgb(ctx, opened.get()))
            profile.clear();
    }
    std::lock_guard lock(mutex);
    if (profile == display->profile)
        return;
    auto changed = std::make_shared<Display>();
    changed->profile = std::move(profile);
    changed->generation = ++generation;
    display = std::move(changed);
    cache.clear();
}

std::uint64_t ColourConverter::displayGeneration() const
{
    std::lock_guard lock(mutex);
    return display->generation;
}

std::shared_ptr<const ColourTransform> ColourConverter::transformFor(const IccProfile &source,
                                                                     ColourLayout layout)
{
    // Without a profile, grey and simply converted CMYK are sRGB too.
    if (source.empty())
        layout = ColourLayout::Rgb;
    std::shared_ptr<const Display> shown;
    {
        std::lock_guard lock(mutex);
        shown = display;
    }
    // The common case, an untagged picture on an sRGB display, costs this.
    if (source.empty() && shown->profile.empty())
        return nullptr;
    {
        std::lock_guard lock(mutex);
        const auto it = std::find_if(cache.begin(), cache.end(), [&](const Entry &entry) {
            return entry.layout == layout && entry.generation == shown->generation
                    && entry.source == source;
        });
        if (it != cache.end()) {
            cache.splice(cache.begin(), cache, it);
            return it->transform;
        }
    }
    // Built without the lock: the other thread decoding need not wait. A
    // profile that cannot be used counts for nothing: the picture is sRGB,
    // as an untagged one is.
    std::optional<std::shared_ptr<const ColourTransform>> built = build(source, layout, *shown);
    if (!built) {
        {
            std::lock_guard lock(mutex);
            ++refused;
        }
        built = source.empty() ? nullptr : transformFor({}, ColourLayout::Rgb);
    }
    std::lock_guard lock(mutex);
    if (display->generation == shown->generation) {
        cache.push_front(Entry{ source, layout, shown->generation, *built });
        std::size_t bytes = 0;
        for (auto it = cache.begin(); it != cache.end(); ++it) {
            bytes += it->source.size();
            if (bytes > CachedProfileBytes
                || static_cast<std::size_t>(std::distance(cache.begin(), it)) >= CachedTransforms) {
                cache.erase(it, cache.end());
                break;
            }
        }
    }
    return *built;
}

std::optional<std::shared_ptr<const ColourTransform>>
ColourConverter::build(const IccProfile &source, ColourLayout layout, const Display &shown)
{
    const auto ctx = static_cast<cmsContext>(context);
    if (!source.empty() && source == shown.profile)
        return nullptr;
    const Profile from = open(ctx, source);
    if (!from || cmsGetColorSpace(from.get()) != spaceOf(layout) || !deviceClassShowable(from.get())
        || !pipelinesReadable(from.get()))
        return std::nullopt;
    if (shown.profile.empty() && layout == ColourLayout::Rgb && isSrgb(ctx, from.get()))
        return nullptr;
    const Profile to = open(ctx, shown.profile);
    if (!to)
        return std::nullopt;
    // A profile with its own perceptual table says how it wants colours
    // beyond the display's reach to be brought in; without one, colours
    // are kept as they are, the blacks mapped onto the display's black.
    const bool perceptual = cmsIsCLUT(from.get(), INTENT_PERCEPTUAL, LCMS_USED_AS_INPUT);
    const cmsUInt32Number intent = perceptual ? INTENT_PERCEPTUAL : INTENT_RELATIVE_COLORIMETRIC;
    // Without the one-pixel cache a transform is read-only while it runs,
    // so the worker and the user-interface thread may share it.
    cmsUInt32Number flags = cmsFLAGS_NOCACHE;
    if (!perceptual)
        flags |= cmsFLAGS_BLACKPOINTCOMPENSATION;
    cmsHTRANSFORM transform = cmsCreateTransformTHR(ctx, from.get(), formatOf(layout), to.get(),
                                                    TYPE_BGRA_8, intent, flags);
    if (!transform)
        return std::nullopt;
    std::shared_ptr<const ColourTransform> shaper = layout == ColourLayout::Rgb
            ? shaperTransform(from.get(), to.get(), transform)
            : nullptr;
    std::lock_guard lock(mutex);
    ++built;
    if (shaper) {
        cmsDeleteTransform(transform);
        return shaper;
    }
    return std::make_shared<const ColourTransform>(transform, layout);
}

const IccProfile &ColourConverter::adobeRgb()
{
    static const IccProfile profile = [] {
        const auto ctx = static_cast<cmsContext>(instance().context);
        IccProfile bytes;
        const std::unique_ptr<cmsToneCurve, CurveFreer> gamma(cmsBuildGamma(ctx, AdobeGamma));
        if (!gamma)
            return bytes;
        cmsToneCurve *curves[3] = { gamma.get(), gamma.get(), gamma.get() };
        const Profile built(cmsCreateRGBProfileTHR(ctx, &AdobeWhite, &AdobePrimaries, curves));
        cmsUInt32Number size = 0;
        if (!built || !cmsSaveProfileToMem(built.get(), nullptr, &size) || size == 0)
            return bytes;
        bytes.resize(size);
        if (!cmsSaveProfileToMem(built.get(), bytes.data(), &size))
            bytes.clear();
        return bytes;
    }();
    return profile;
}

ColourConverter::Counts ColourConverter::counts() const
{
    std::lock_guard lock(mutex);
    return { built, refused, errors.load(std::memory_order_relaxed) };
}

} // namespace platform::detail
