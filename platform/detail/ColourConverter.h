// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/detail/ColourTransform.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace platform::detail {

using IccProfile = std::vector<unsigned char>;

// A profile larger than this is ignored, wherever it comes from: real ones,
// even a press profile's tables, stay well below, and a picture's header
// cannot make the program hold more.
constexpr std::size_t MaxProfileBytes = std::size_t{ 4 } * 1024 * 1024;

// The display's colour space, and the transforms from pictures' colour
// spaces into it. The display's profile is read when a show starts; a
// transform is built once for each pair of profiles and pixel layout and
// kept in a small cache, so a show of photos from one camera builds one.
// When the picture and the display are both sRGB, or share their profile,
// there is nothing to do and no transform.
//
// Little CMS works here in a context of its own whose errors are counted,
// never printed, and whose memory is bounded. A profile that cannot be
// read, describes another kind of data than the pixels, or would be slow to
// read or to build a transform from counts for nothing: the picture is
// taken for sRGB, as an untagged one is. Safe on any thread.
class ColourConverter
{
public:
    static ColourConverter &instance();
    ~ColourConverter();
    ColourConverter(const ColourConverter &) = delete;
    ColourConverter &operator=(const ColourConverter &) = delete;

    // A show starts: the display's profile is read through `read` (empty
    // for none), or taken from the tests' choice when they made one.
    void showStarting(const std::function<IccProfile()> &read);
    // Tests choose the display's profile; in force at once. None: the
    // desktop's is read again at the next show.
    void overrideDisplay(std::optional<IccProfile> profile);
    // Changes whenever the display's colour space does.
    std::uint64_t displayGeneration() const;

    // The transform from pictures with this embedded profile (empty for
    // none: sRGB) to the display, for pixels laid out so; null when there
    // is nothing to do. When the profile is empty or cannot be used, it is
    // the transform from sRGB, for RGB pixels (its layout() says so): grey
    // pixels may go through it as they are, CMYK ones once turned into
    // colours simply.
    std::shared_ptr<const ColourTransform> transformFor(const IccProfile &source,
                                                        ColourLayout layout);

    // Adobe RGB (1998), built from its published primaries, white point
    // and gamma: what a camera's EXIF means by its "R03" index.
    static const IccProfile &adobeRgb();

    // For tests: transforms built, profiles refused, Little CMS errors.
    struct Counts
    {
        int built = 0;
        int refused = 0;
        int errors = 0;
    };
    Counts counts() const;

private:
    struct Display;
    struct Entry;
    ColourConverter();
    void setDisplay(IccProfile profile);
    // None when the profile cannot be used.
    std::optional<std::shared_ptr<const ColourTransform>>
    build(const IccProfile &source, ColourLayout layout, const Display &display);

    void *context;
    mutable std::mutex mutex;
    std::shared_ptr<const Display> display;
    std::optional<IccProfile> chosen;
    std::list<Entry> cache;
    std::uint64_t generation = 0;
    int built = 0;
    int refused = 0;
    std::atomic<int> errors{ 0 };
};

} // namespace platform::detail
