// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/ProfileCost.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace platform::detail {

namespace {

// The most channels ICC allows a colour space.
constexpr unsigned MostChannels = 15;
// A table or a matrix-shaper has a few stages; the float tags allow tens of
// thousands.
constexpr int MostStages = 16;
// What evaluating a pipeline at one colour may cost, in multiplications. A
// CMYK press profile's table is 16 corners of 3 values, under 100 with its
// curves and matrix; a table over 15 channels is 32768 corners.
constexpr std::uint64_t MostWorkPerColour = 256;

constexpr std::size_t HeaderSize = 128;
constexpr std::size_t TagEntrySize = 12;

// A span of the profile; every read is checked against its end.
class Bytes
{
public:
    Bytes(const unsigned char *data, std::size_t size) : data(data), size(size) { }

    std::size_t length() const { return size; }
    bool has(std::uint64_t at, std::uint64_t count) const
    {
        return at <= size && count <= size - at;
    }
    unsigned u8(std::size_t at) const { return has(at, 1) ? data[at] : 0; }
    unsigned u16(std::size_t at) const { return has(at, 2) ? (u8(at) << 8) | u8(at + 1) : 0; }
    std::uint32_t u32(std::size_t at) const
    {
        return has(at, 4) ? (std::uint32_t{ u16(at) } << 16) | u16(at + 2) : 0;
    }
    bool is(std::size_t at, const char (&signature)[5]) const
    {
        return has(at, 4) && std::memcmp(data + at, signature, 4) == 0;
    }
    // The part from `at` on, `count` long; check has() first.
    Bytes part(std::size_t at, std::size_t count) const { return Bytes(data + at, count); }

private:
    const unsigned char *data;
    std::size_t size;
};

bool fewChannels(unsigned channels)
{
    return channels >= 1 && channels <= MostChannels;
}

// The values of a table of these grid points (a byte each, one for each
// input), stopping once past `limit`; 0 for a grid of fewer than two points
// a side, which is no table.
std::uint64_t tableValues(const Bytes &points, unsigned inputs, unsigned outputs,
                          std::uint64_t limit)
{
    std::uint64_t values = outputs;
    for (unsigned i = 0; i < inputs; ++i) {
        const unsigned side = points.u8(i);
        if (side < 2)
            return 0;
        values *= side;
        if (values > limit)
            return values;
    }
    return values;
}

// The work of a pipeline's stages, as they are read.
class Pipeline
{
public:
    void curves(unsigned channels) { add(channels); }
    void matrix(unsigned inputs, unsigned outputs) { add(std::uint64_t{ inputs } * outputs); }
    void table(unsigned inputs, unsigned outputs) { add((std::uint64_t{ 1 } << inputs) * outputs); }
    bool bounded() const { return stages <= MostStages && work <= MostWorkPerColour; }

private:
    void add(std::uint64_t cost)
    {
        ++stages;
        work += cost;
    }
    int stages = 0;
    std::uint64_t work = 0;
};

// lut8Type and lut16Type: input curves, a matrix for XYZ, a table, output
// curves; `width` bytes a value.
bool readLut(const Bytes &tag, std::uint64_t width, Pipeline &pipeline)
{
    constexpr std::size_t Header = 48;
    constexpr std::size_t EntriesHeader = 52;
    constexpr std::uint64_t Lut8Entries = 256;
    const unsigned inputs = tag.u8(8);
    const unsigned outputs = tag.u8(9);
    if (!tag.has(0, Header) || !fewChannels(inputs) || !fewChannels(outputs))
        return false;
    // One number of grid points for every input.
    const unsigned side = tag.u8(10);
    if (side < 2)
        return false;
    std::uint64_t grid = outputs;
    for (unsigned i = 0; i < inputs && grid <= tag.length(); ++i)
        grid *= side;
    const std::uint64_t inEntries = width == 1 ? Lut8Entries : tag.u16(Header);
    const std::uint64_t outEntries = width == 1 ? Lut8Entries : tag.u16(Header + 2);
    const std::uint64_t start = width == 1 ? Header : EntriesHeader;
    if (grid > tag.length()
        || !tag.has(start, width * (inEntries * inputs + grid + outEntries * outputs)))
        return false;
    pipeline.curves(inputs);
    if (inputs == 3)
        pipeline.matrix(3, 3);
    pipeline.table(inputs, outputs);
    pipeline.curves(outputs);
    return true;
}

bool readTableAt(const Bytes &tag, std::size_t at, unsigned inputs, unsigned outputs,
                 Pipeline &pipeline)
{
    constexpr std::size_t Points = 16;
    constexpr std::size_t Header = 20;
    if (!tag.has(at, Header))
        return false;
    const unsigned precision = tag.u8(at + Points);
    if (precision != 1 && precision != 2)
        return false;
    const std::uint64_t values = tableValues(tag.part(at, Points), inputs, outputs, tag.length());
    if (values == 0 || !tag.has(at + Header, values * precision))
        return false;
    pipeline.table(inputs, outputs);
    return true;
}

// lutAtoBType and lutBtoAType: up to three sets of curves, a matrix and a
// table, each where its offset says, present when that is not zero.
bool readLutAB(const Bytes &tag, bool aToB, Pipeline &pipeline)
{
    constexpr std::size_t Header = 32;
    constexpr std::size_t MatrixBytes = std::size_t{ 12 } * 4;
    const unsigned inputs = tag.u8(8);
    const unsigned outputs = tag.u8(9);
    if (!tag.has(0, Header) || !fewChannels(inputs) || !fewChannels(outputs))
        return false;
    const std::uint32_t b = tag.u32(12);
    const std::uint32_t matrix = tag.u32(16);
    const std::uint32_t m = tag.u32(20);
    const std::uint32_t table = tag.u32(24);
    const std::uint32_t a = tag.u32(28);
    for (const std::uint32_t offset : { b, matrix, m, table, a }) {
        if (offset != 0 && !tag.has(offset, 4))
            return false;
    }
    if (matrix != 0 && !tag.has(matrix, MatrixBytes))
        return false;
    // A to B: A curves, table, M curves, matrix, B curves; B to A the other
    // way round. Whichever side of the table, the curves are as wide as
    // the data they meet.
    if (a != 0)
        pipeline.curves(aToB ? inputs : outputs);
    if (table != 0 && !readTableAt(tag, table, inputs, outputs, pipeline))
        return false;
    if (m != 0)
        pipeline.curves(aToB ? outputs : inputs);
    if (matrix != 0)
        pipeline.matrix(3, 3);
    if (b != 0)
        pipeline.curves(aToB ? outputs : inputs);
    return true;
}

// A segmented curve of a multiProcessElementsType's curve set: each
// sampled segment must hold the samples it claims.
bool readSegmentedCurve(const Bytes &curve)
{
    constexpr std::size_t Header = 12;
    if (!curve.is(0, "curf"))
        return false;
    const unsigned segments = curve.u16(8);
    if (segments == 0)
        return false;
    std::uint64_t at = Header + std::uint64_t{ 4 } * (segments - 1);
    for (unsigned i = 0; i < segments; ++i) {
        if (!curve.has(at, Header))
            return false;
        std::uint64_t values = 0;
        if (curve.is(at, "samf")) {
            values = curve.u32(at + 8);
        } else if (curve.is(at, "parf")) {
            constexpr unsigned parameters[] = { 4, 5, 5 };
            const unsigned function = curve.u16(at + 8);
            if (function >= 3)
                return false;
            values = parameters[function];
        } else {
            return false;
        }
        if (!curve.has(at + Header, values * 4))
            return false;
        at += Header + values * 4;
    }
    return true;
}

bool readElement(const Bytes &element, Pipeline &pipeline)
{
    constexpr std::size_t Header = 12;
    const unsigned inputs = element.u16(8);
    const unsigned outputs = element.u16(10);
    if (!element.has(0, Header) || !fewChannels(inputs) || !fewChannels(outputs))
        return false;
    if (element.is(0, "cvst")) {
        if (inputs != outputs || !element.has(Header, std::uint64_t{ 8 } * inputs))
            return false;
        for (std::size_t i = 0; i < inputs; ++i) {
            const std::uint32_t at = element.u32(Header + 8 * i);
            const std::uint32_t size = element.u32(Header + 8 * i + 4);
            if (!element.has(at, size) || !readSegmentedCurve(element.part(at, size)))
                return false;
        }
        pipeline.curves(inputs);
        return true;
    }
    if (element.is(0, "matf")) {
        if (!element.has(Header, std::uint64_t{ 4 } * (inputs * outputs + outputs)))
            return false;
        pipeline.matrix(inputs, outputs);
        return true;
    }
    if (element.is(0, "clut")) {
        constexpr std::size_t Points = 16;
        const std::uint64_t values
                = tableValues(element.part(Header, Points), inputs, outputs, element.length());
        if (values == 0 || !element.has(Header + Points, values * 4))
            return false;
        pipeline.table(inputs, outputs);
        return true;
    }
    return false;
}

// multiProcessElementsType: the float pipelines of the DToB and BToD tags.
bool readElements(const Bytes &tag, Pipeline &pipeline)
{
    constexpr std::size_t Header = 16;
    const unsigned elements = tag.u32(12);
    if (!tag.has(0, Header) || !fewChannels(tag.u16(8)) || !fewChannels(tag.u16(10))
        || elements == 0 || elements > MostStages
        || !tag.has(Header, std::uint64_t{ 8 } * elements))
        return false;
    for (std::size_t i = 0; i < elements; ++i) {
        const std::uint32_t at = tag.u32(Header + 8 * i);
        const std::uint32_t size = tag.u32(Header + 8 * i + 4);
        if (!tag.has(at, size) || !readElement(tag.part(at, size), pipeline))
            return false;
    }
    return true;
}

bool boundedPipeline(const Bytes &tag)
{
    Pipeline pipeline;
    bool read = false;
    if (tag.is(0, "mft1"))
        read = readLut(tag, 1, pipeline);
    else if (tag.is(0, "mft2"))
        read = readLut(tag, 2, pipeline);
    else if (tag.is(0, "mAB "))
        read = readLutAB(tag, true, pipeline);
    else if (tag.is(0, "mBA "))
        read = readLutAB(tag, false, pipeline);
    else if (tag.is(0, "mpet"))
        read = readElements(tag, pipeline);
    return read && pipeline.bounded();
}

} // namespace

bool profileCostIsBounded(const std::vector<unsigned char> &profile)
{
    const Bytes bytes(profile.data(), profile.size());
    const std::uint32_t tags = bytes.u32(HeaderSize);
    if (!bytes.has(HeaderSize + 4, std::uint64_t{ TagEntrySize } * tags))
        return false;
    constexpr const char *pipelines[] = { "A2B0", "A2B1", "A2B2", "B2A0", "B2A1", "B2A2", "D2B0",
                                          "D2B1", "D2B2", "D2B3", "B2D0", "B2D1", "B2D2", "B2D3" };
    for (std::uint32_t i = 0; i < tags; ++i) {
        const std::size_t entry = HeaderSize + 4 + TagEntrySize * i;
        bool pipeline = false;
        for (const char *signature : pipelines)
            pipeline = pipeline || std::memcmp(profile.data() + entry, signature, 4) == 0;
        if (!pipeline)
            continue;
        const std::uint32_t at = bytes.u32(entry + 4);
        const std::uint32_t size = bytes.u32(entry + 8);
        if (!bytes.has(at, size) || !boundedPipeline(bytes.part(at, size)))
            return false;
    }
    return true;
}

} // namespace platform::detail
