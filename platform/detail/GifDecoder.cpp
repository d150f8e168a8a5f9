// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/GifDecoder.h"

#include "platform/detail/AreaScaler.h"
#include "platform/detail/ColourConverter.h"
#include "platform/detail/PictureFile.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

namespace platform::detail {

namespace {

// An interlaced frame is held whole at a byte a pixel while its passes come
// in. Beyond this many pixels (64 MB) it is refused: LZW packs a flat frame
// so tightly that a small file could otherwise ask for gigabytes.
constexpr long long MostInterlacedPixels = 64LL * 1024 * 1024;
// How many rows go by between looks at the cancel flag.
constexpr int CancelCheckRows = 64;
constexpr std::uint32_t Opaque = 0xff000000u;
constexpr std::uint32_t Transparent = 0;
// The application extension that carries an ICC profile, its data in the
// sub-blocks after it.
constexpr char IccApplication[] = "ICCRGBG1012";
constexpr int ApplicationIdentifier = sizeof IccApplication - 1;

// giflib asks for a few bytes at a time (a block is at most 255): they
// come from a buffer filled a chunk at a time, as a read of the file costs
// a system call, and under Wine a trip to its server.
constexpr std::size_t ReadChunk = std::size_t{ 64 } * 1024;

struct Reader
{
    const PictureFile *file;
    std::uint64_t offset = 0; // of the buffer's end in the file
    std::vector<GifByteType> buffer = std::vector<GifByteType>(ReadChunk);
    std::size_t next = 0;
    std::size_t end = 0;
};

int readBytes(GifFileType *gif, GifByteType *out, int length)
{
    auto *reader = static_cast<Reader *>(gif->UserData);
    std::size_t done = 0;
    const auto wanted = static_cast<std::size_t>(std::max(length, 0));
    while (done < wanted) {
        if (reader->next == reader->end) {
            reader->end = reader->file->read(reader->offset, reader->buffer.data(), ReadChunk);
            reader->offset += reader->end;
            reader->next = 0;
            if (reader->end == 0)
                break;
        }
        const std::size_t count = std::min(wanted - done, reader->end - reader->next);
        std::memcpy(out + done, reader->buffer.data() + reader->next, count);
        reader->next += count;
        done += count;
    }
    return static_cast<int>(done);
}

struct Closer
{
    void operator()(GifFileType *gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using Gif = std::unique_ptr<GifFileType, Closer>;

bool cancelled(const std::atomic<bool> *cancel)
{
    return cancel && cancel->load(std::memory_order_relaxed);
}

// The frame's indices as pixels: its colour map, the transparent index,
// and opaque black for an index past the map's end, as browsers show it.
// Every pixel of a GIF is one of these: converting them to the display's
// colour space, before any is averaged with transparency, converts the
// picture exactly.
std::array<std::uint32_t, 256> paletteOf(const ColorMapObject *map, int transparentIndex,
                                         const ColourTransform *colour)
{
    std::array<std::uint32_t, 256> palette;
    palette.fill(Opaque);
    if (map && map->Colors) {
        const int count = std::clamp(map->ColorCount, 0, 256);
        for (int i = 0; i < count; ++i) {
            const GifColorType &entry = map->Colors[i];
            palette[static_cast<std::size_t>(i)] = Opaque
                    | (static_cast<std::uint32_t>(entry.Red) << 16)
                    | (static_cast<std::uint32_t>(entry.Green) << 8) | entry.Blue;
        }
    }
    if (colour)
        colour->apply(palette.data(), palette.size());
    if (transparentIndex >= 0 && transparentIndex < 256)
        palette[static_cast<std::size_t>(transparentIndex)] = Transparent;
    return palette;
}

// What the frame leaves of the logical screen shows the screen's
// background colour, as the format has it (and as Qt's reader and the
// Windows viewers draw it); transparent when that is the frame's
// transparent colour, or when there is no global colour map to name it.
std::uint32_t backgroundOf(const GifFileType &gif, int transparentIndex,
                           const ColourTransform *colour)
{
    const ColorMapObject *map = gif.SColorMap;
    const int index = gif.SBackGroundColor;
    if (!map || !map->Colors || index < 0 || index >= map->ColorCount || index == transparentIndex)
        return Transparent;
    const GifColorType &entry = map->Colors[index];
    std::uint32_t pixel = Opaque | (static_cast<std::uint32_t>(entry.Red) << 16)
            | (static_cast<std::uint32_t>(entry.Green) << 8) | entry.Blue;
    if (colour)
        colour->apply(&pixel, 1);
    return pixel;
}

// The rows of the logical screen, one at a time, into the target: straight
// when no shrinking is needed, else through the area scaler. Rows the
// frame does not touch are the background and cost a target row at most.
class Canvas
{
public:
    Canvas(PixelSize size, Bitmap &target, std::uint32_t background)
        : size(size), target(target), background(background)
    {
        if (size != target.size())
            scaler = std::make_unique<AreaScaler>(size, target);
        else
            target.fill(background);
        line.assign(static_cast<std::size_t>(size.width), background);
    }

    // The canvas row holding frame pixels `indices` (of `width`) from
    // column `left` on; only those inside the canvas count.
    void addRow(int y, const GifPixelType *indices, int left, int width,
                const std::array<std::uint32_t, 256> &palette)
    {
        skipTo(y);
        // A frame may lie partly or wholly beyond the canvas's edges.
        const int from = std::clamp(left, 0, size.width);
        const int to = std::clamp(left + width, from, size.width);
        std::uint32_t *row = scaler ? line.data() : target.row(y);
        for (int x = from; x < to; ++x)
            row[x] = palette[indices[x - left]];
        if (scaler) {
            scaler->addRow(row);
            std::fill(line.begin() + from, line.begin() + to, background);
        }
        next = y + 1;
    }

    // The background rows from the next one up to (not including) row `y`.
    void skipTo(int y)
    {
        if (scaler && y > next)
            scaler->addUniformRows(y - next, background);
        next = std::max(next, y);
    }

    void finish() { skipTo(size.height); }

private:
    PixelSize size;
    Bitmap &target;
    std::uint32_t background;
    std::unique_ptr<AreaScaler> scaler;
    std::vector<std::uint32_t> line;
    int next = 0;
};

// Which frame row the n-th row of an interlaced frame's data is: rows 0, 8,
// 16... first, then 4, 12..., then 2, 6..., then the odd ones.
int interlacedRow(int n, int height)
{
    constexpr int starts[] = { 0, 4, 2, 1 };
    constexpr int steps[] = { 8, 8, 4, 2 };
    for (int pass = 0; pass < 4; ++pass) {
        const int rows = (height - starts[pass] + steps[pass] - 1) / steps[pass];
        if (n < rows)
            return starts[pass] + n * steps[pass];
        n -= std::max(rows, 0);
    }
    return -1;
}

struct Frame
{
    GifImageDesc desc;
    int transparentIndex = -1;
    // The ICC profile of the picture; none when there were two, or when it
    // was too large to be one.
    std::vector<unsigned char> profile;
    int profiles = 0;
    bool profileTooLarge = false;
};

bool isIccApplication(const GifByteType *block)
{
    return block && block[0] == ApplicationIdentifier
            && std::memcmp(block + 1, IccApplication, ApplicationIdentifier) == 0;
}

// Reads records up to the first frame's descriptor, keeping the graphic
// control that applies to it and the colour profile. False when there is no
// frame.
bool findFirstFrame(GifFileType *gif, Frame &frame)
{
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) != GIF_OK)
            return false;
        if (type == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif) != GIF_OK)
                return false;
            frame.desc = gif->Image;
            return true;
        }
        if (type != EXTENSION_RECORD_TYPE)
            return false;
        int code = 0;
        GifByteType *block = nullptr;
        if (DGifGetExtension(gif, &code, &block) != GIF_OK)
            return false;
        if (code == GRAPHICS_EXT_FUNC_CODE && block) {
            GraphicsControlBlock control{};
            if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
                frame.transparentIndex = control.TransparentColor;
        }
        const bool profile = code == APPLICATION_EXT_FUNC_CODE && isIccApplication(block);
        if (profile)
            ++frame.profiles;
        while (block) {
            if (DGifGetExtensionNext(gif, &block) != GIF_OK)
                return false;
            if (!profile || !block || frame.profileTooLarge)
                continue;
            if (frame.profile.size() + block[0] > MaxProfileBytes) {
                frame.profileTooLarge = true;
                frame.profile = {};
                continue;
            }
            frame.profile.insert(frame.profile.end(), block + 1, block + 1 + block[0]);
        }
    }
}

} // namespace

std::optional<DecodedPicture> decodeGif(const PictureFile &file, PixelSize screen,
                                        const std::atomic<bool> *cancel)
{
    Reader reader{ &file };
    int error = 0;
    Gif gif(DGifOpen(&reader, readBytes, &error));
    if (!gif)
        return std::nullopt;
    Frame frame;
    if (!findFirstFrame(gif.get(), frame))
        return std::nullopt;
    const GifImageDesc &desc = frame.desc;
    if (desc.Width <= 0 || desc.Height <= 0)
        return std::nullopt;
    // A logical screen of zero on a side is taken as the frame's extent.
    const PixelSize stored{ gif->SWidth > 0 ? gif->SWidth : desc.Left + desc.Width,
                            gif->SHeight > 0 ? gif->SHeight : desc.Top + desc.Height };
    if (stored.empty())
        return std::nullopt;
    if (desc.Interlace && static_cast<long long>(desc.Width) * desc.Height > MostInterlacedPixels)
        return std::nullopt;

    const bool covers = desc.Left <= 0 && desc.Top <= 0 && desc.Left + desc.Width >= stored.width
            && desc.Top + desc.Height >= stored.height;
    if (frame.profiles != 1 || frame.profileTooLarge)
        frame.profile.clear();
    const std::shared_ptr<const ColourTransform> colour
            = ColourConverter::instance().transformFor(frame.profile, ColourLayout::Rgb);
    const std::uint32_t background = backgroundOf(*gif, frame.transparentIndex, colour.get());
    const PixelSize target = decodeSize(stored, false, screen);
    Bitmap image(target, frame.transparentIndex >= 0 || (!covers && background == Transparent));
    if (image.empty())
        return std::nullopt;
    const auto palette = paletteOf(desc.ColorMap ? desc.ColorMap : gif->SColorMap,
                                   frame.transparentIndex, colour.get());
    Canvas canvas(stored, image, background);
    std::vector<GifPixelType> indices(static_cast<std::size_t>(desc.Width));

    // Rows above and below the frame, and rows past where the data ends,
    // are the background.
    const int top = desc.Top;
    const int bottom = std::min(desc.Top + desc.Height, stored.height);
    if (!desc.Interlace) {
        for (int row = 0; row < desc.Height; ++row) {
            if (row % CancelCheckRows == 0 && cancelled(cancel))
                return std::nullopt;
            if (DGifGetLine(gif.get(), indices.data(), desc.Width) != GIF_OK)
                break;
            const int y = top + row;
            if (y >= bottom)
                break;
            if (y >= 0)
                canvas.addRow(y, indices.data(), desc.Left, desc.Width, palette);
        }
    } else {
        const auto width = static_cast<std::size_t>(desc.Width);
        std::vector<GifPixelType> whole(width * static_cast<std::size_t>(desc.Height));
        std::vector<bool> arrived(static_cast<std::size_t>(desc.Height), false);
        for (int n = 0; n < desc.Height; ++n) {
            if (n % CancelCheckRows == 0 && cancelled(cancel))
                return std::nullopt;
            const int row = interlacedRow(n, desc.Height);
            if (row < 0
                || DGifGetLine(gif.get(), &whole[static_cast<std::size_t>(row) * width], desc.Width)
                        != GIF_OK)
                break;
            arrived[static_cast<std::size_t>(row)] = true;
        }
        for (int row = 0; row < desc.Height; ++row) {
            const int y = top + row;
            if (y >= bottom)
                break;
            if (y >= 0 && arrived[static_cast<std::size_t>(row)])
                canvas.addRow(y, &whole[static_cast<std::size_t>(row) * width], desc.Left,
                              desc.Width, palette);
        }
    }
    if (cancelled(cancel))
        return std::nullopt;
    canvas.finish();
    // The palette was converted: nothing is left to do.
    return DecodedPicture{ std::move(image), stored, nullptr };
}

} // namespace platform::detail
