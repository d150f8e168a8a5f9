// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/JpegDecoder.h"

#include "platform/detail/AreaScaler.h"
#include "platform/detail/ColourConverter.h"
#include "platform/detail/PictureFile.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace platform::detail {

namespace {

constexpr std::size_t ReadChunk = std::size_t{ 64 } * 1024;
// Rows asked of the decoder at a time; it may hand out fewer.
constexpr int RowBatch = 16;
// What libjpeg gives rows it has no data for.
constexpr std::uint32_t MissingData = 0xff808080u;
// Coefficients a progressive decode may buffer: a 120-megapixel photo's
// worth. A header that claims more is refused before anything is allocated.
constexpr long MaxDecoderMemory = 384L * 1024 * 1024;

struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
    // The compressed data ran out (the file ended, or a marker came where
    // data should be): every row from the current one on is made up.
    bool dataEnded;
};

// libjpeg's default ends the process on bad data: here it unwinds to the
// decode instead, and the picture is refused.
[[noreturn]] void errorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(info->err)->jump, 1);
}

// Warnings (damaged or truncated data) are not worth a line on the
// terminal; the ones that say the data has run out are noted.
void noteWarning(j_common_ptr info, int level)
{
    if (level >= 0)
        return;
    ++info->err->num_warnings;
    if (info->err->msg_code == JWRN_HIT_MARKER || info->err->msg_code == JWRN_JPEG_EOF)
        reinterpret_cast<ErrorManager *>(info->err)->dataEnded = true;
}

void silence(j_common_ptr) { }

struct SourceManager
{
    jpeg_source_mgr base;
    const PictureFile *file;
    // Read by position, so that others may read the same file meanwhile.
    std::uint64_t offset;
    JOCTET buffer[ReadChunk];
};

void initSource(j_decompress_ptr) { }

boolean fillInputBuffer(j_decompress_ptr info)
{
    auto *source = reinterpret_cast<SourceManager *>(info->src);
    std::size_t count = source->file->read(source->offset, source->buffer, ReadChunk);
    source->offset += count;
    if (count == 0) {
        // A file that ends early gets an end marker, as libjpeg's own
        // sources do, so what has been read still decodes.
        info->err->msg_code = JWRN_JPEG_EOF;
        info->err->emit_message(reinterpret_cast<j_common_ptr>(info), -1);
        source->buffer[0] = 0xff;
        source->buffer[1] = JPEG_EOI;
        count = 2;
    }
    source->base.next_input_byte = source->buffer;
    source->base.bytes_in_buffer = count;
    return TRUE;
}

void skipInputData(j_decompress_ptr info, long count)
{
    auto *source = reinterpret_cast<SourceManager *>(info->src);
    while (count > 0) {
        if (static_cast<std::size_t>(count) <= source->base.bytes_in_buffer) {
            source->base.next_input_byte += count;
            source->base.bytes_in_buffer -= static_cast<std::size_t>(count);
            return;
        }
        count -= static_cast<long>(source->base.bytes_in_buffer);
        source->base.bytes_in_buffer = 0;
        fillInputBuffer(info);
    }
}

void termSource(j_decompress_ptr) { }

// Everything a decode holds, outside the function that may be jumped back
// into, so that a jump skips no destructor and leaves no value undefined.
struct Decode
{
    jpeg_decompress_struct info = {};
    ErrorManager errors = {};
    std::unique_ptr<SourceManager> source = std::make_unique<SourceManager>();
    bool created = false;
    const std::atomic<bool> *cancel = nullptr;
    const std::vector<unsigned char> *profile = nullptr;
    std::shared_ptr<const ColourTransform> colour;
    PixelSize screen;
    bool transposed = false;
    PixelSize stored;
    PixelSize target;
    Bitmap image;
    std::vector<std::uint32_t> rows;
    std::unique_ptr<AreaScaler> scaler;

    ~Decode()
    {
        if (created)
            jpeg_destroy_decompress(&info);
    }
};

bool cancelled(const Decode &decode)
{
    return decode.cancel && decode.cancel->load(std::memory_order_relaxed);
}

// The smallest eighth that still covers the target on both sides: less
// to decode, and the rest is averaged down rather than interpolated.
void chooseScale(Decode &decode)
{
    jpeg_decompress_struct &info = decode.info;
    info.scale_denom = 8;
    for (unsigned eighths = 1; eighths <= 8; ++eighths) {
        info.scale_num = eighths;
        jpeg_calc_output_dimensions(&info);
        if (static_cast<int>(info.output_width) >= decode.target.width
            && static_cast<int>(info.output_height) >= decode.target.height)
            return;
    }
}

// Adobe's CMYK JPEGs, the usual kind, store the inks inverted.
void cmykToRgb(const unsigned char *in, std::uint32_t *out, unsigned width)
{
    for (unsigned x = 0; x < width; ++x, in += 4) {
        const unsigned k = in[3];
        out[x] = 0xff000000u | ((k * in[0] / 255) << 16) | ((k * in[1] / 255) << 8)
                | (k * in[2] / 255);
    }
}

// The conversion the pixels will need, by what the data holds: an RGB
// profile for RGB, a grey one for grey (the level repeated in the pixel),
// a CMYK one for CMYK; a profile for other data than the picture's is no
// use, and the picture is shown as stored. Untagged CMYK keeps its simple
// conversion; untagged RGB and grey are sRGB.
void chooseColour(Decode &decode, bool cmyk)
{
    const std::vector<unsigned char> &profile = *decode.profile;
    ColourConverter &converter = ColourConverter::instance();
    if (cmyk) {
        if (!profile.empty())
            decode.colour = converter.transformFor(profile, ColourLayout::InvertedCmyk);
    } else if (decode.info.jpeg_color_space == JCS_GRAYSCALE && !profile.empty()) {
        decode.colour = converter.transformFor(profile, ColourLayout::Grey);
    } else {
        decode.colour = converter.transformFor(profile, ColourLayout::Rgb);
    }
}

// Returns false for data that cannot be decoded. Only plain values live
// here: libjpeg's errors jump back into this function.
bool run(Decode &decode)
{
    jpeg_decompress_struct &info = decode.info;
    if (setjmp(decode.errors.jump))
        return false;
    jpeg_create_decompress(&info);
    decode.created = true;
    info.mem->max_memory_to_use = MaxDecoderMemory;
    info.src = &decode.source->base;
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        return false;
    if (info.image_width == 0 || info.image_height == 0)
        return false;
    decode.stored = { static_cast<int>(info.image_width), static_cast<int>(info.image_height) };
    decode.target = decodeSize(decode.stored, decode.transposed, decode.screen);

    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    chooseColour(decode, cmyk);
    // With a conversion of its own, CMYK stays inks through the averaging,
    // which treats all four bytes of a pixel alike.
    const bool inks = cmyk && decode.colour;
    chooseScale(decode);
    info.do_fancy_upsampling = FALSE;
    if (!jpeg_start_decompress(&info))
        return false;

    decode.image = Bitmap(decode.target, false);
    if (decode.image.empty())
        return false;
    const PixelSize output{ static_cast<int>(info.output_width),
                            static_cast<int>(info.output_height) };
    // Straight into the picture's own rows when no further shrinking is
    // needed; otherwise through a few rows of the decoder's size.
    const bool direct = (!cmyk || inks) && output == decode.target;
    if (!direct) {
        decode.rows.resize(static_cast<std::size_t>(output.width) * RowBatch);
        decode.scaler = std::make_unique<AreaScaler>(output, decode.image);
    }
    JSAMPROW pointers[RowBatch];
    while (info.output_scanline < info.output_height) {
        if (cancelled(decode))
            return false;
        const int first = static_cast<int>(info.output_scanline);
        const int wanted = std::min<int>(RowBatch, output.height - first);
        for (int i = 0; i < wanted; ++i) {
            pointers[i] = direct ? reinterpret_cast<JSAMPROW>(decode.image.row(first + i))
                                 : reinterpret_cast<JSAMPROW>(
                                         &decode.rows[static_cast<std::size_t>(i) * output.width]);
        }
        const int got = static_cast<int>(
                jpeg_read_scanlines(&info, pointers, static_cast<JDIMENSION>(wanted)));
        if (got <= 0)
            return false;
        if (!direct) {
            for (int i = 0; i < got; ++i) {
                auto *row = &decode.rows[static_cast<std::size_t>(i) * output.width];
                if (cmyk && !inks) {
                    // In place: a CMYK pixel is as wide as an RGB32 one.
                    cmykToRgb(reinterpret_cast<const unsigned char *>(row), row, info.output_width);
                }
                decode.scaler->addRow(row);
            }
        }
        // A single-scan file whose data has run out has nothing more to
        // give: the rest of the picture is the grey libjpeg would make up,
        // without making it up row by row for as long as the header claims,
        // which for a few bytes claiming 65500 by 65500 takes seconds. (A
        // file of several scans has been read whole by now.)
        if (decode.errors.dataEnded && !jpeg_has_multiple_scans(&info)) {
            const int done
                    = direct ? static_cast<int>(info.output_scanline) : decode.scaler->rowsDone();
            for (int y = done; y < decode.image.height(); ++y) {
                std::uint32_t *row = decode.image.row(y);
                std::fill(row, row + decode.image.width(), MissingData);
            }
            break;
        }
    }
    // The rest of the file (trailing markers) is of no interest.
    jpeg_abort_decompress(&info);
    return true;
}

} // namespace

std::optional<DecodedPicture> decodeJpeg(const PictureFile &file, PixelSize screen, bool transposed,
                                         const std::atomic<bool> *cancel,
                                         const std::vector<unsigned char> &profile)
{
    Decode decode;
    decode.cancel = cancel;
    decode.profile = &profile;
    decode.screen = screen;
    decode.transposed = transposed;
    jpeg_std_error(&decode.errors.base);
    decode.errors.base.error_exit = errorExit;
    decode.errors.base.emit_message = noteWarning;
    decode.errors.base.output_message = silence;
    decode.errors.dataEnded = false;
    decode.info.err = &decode.errors.base;
    SourceManager &source = *decode.source;
    source.file = &file;
    source.offset = 0;
    source.base.init_source = initSource;
    source.base.fill_input_buffer = fillInputBuffer;
    source.base.skip_input_data = skipInputData;
    source.base.resync_to_restart = jpeg_resync_to_restart;
    source.base.term_source = termSource;
    source.base.next_input_byte = nullptr;
    source.base.bytes_in_buffer = 0;

    if (!run(decode))
        return std::nullopt;
    return DecodedPicture{ std::move(decode.image), decode.stored, std::move(decode.colour) };
}

} // namespace platform::detail
