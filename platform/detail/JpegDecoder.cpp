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
// Coefficients a progressive decode may buffer: a 120-megapixel photo's
// worth. A header that claims more is refused before anything is allocated.
constexpr long MaxDecoderMemory = 384L * 1024 * 1024;
// A file of several scans is read whole before its first row comes out,
// and nothing in the format limits how often a scan may refine what the
// ones before it gave: a file can repeat one a thousand times. A scan's
// work is counted as the coefficients it carries for each block plus, for
// each block it visits at all, as much again as a whole block's (visiting a
// block costs that much, whatever the scan carries for it). Past this many
// times every block visited and read whole, the rest of the file is not
// read, and the picture is shown as far as it got. libjpeg's own
// progression comes to between four and five; other encoders' alike.
constexpr std::uint64_t MostPassesOverEveryBlock = 8;
constexpr std::uint64_t CoefficientsPerBlock = 64;
constexpr std::uint64_t BlockVisit = CoefficientsPerBlock;

struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
    // The compressed data ran out (the file ended, or a marker other than a
    // restart came where data should be): from the row of blocks being
    // decoded then on, every row is made up.
    bool dataEnded;
    JDIMENSION endedInRowOfBlocks;
};

// libjpeg's default ends the process on bad data: here it unwinds to the
// decode instead, and the picture is refused.
[[noreturn]] void errorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(info->err)->jump, 1);
}

bool isRestartMarker(int marker)
{
    return marker >= JPEG_RST0 && marker <= JPEG_RST0 + 7;
}

// Warnings (damaged or truncated data) are not worth a line on the
// terminal; the ones that say the data has run out are noted. Reaching a
// restart marker early only loses the rest of that interval: libjpeg
// starts again at the marker, and the rows after it are the file's own.
void noteWarning(j_common_ptr common, int level)
{
    if (level >= 0 || !common->is_decompressor)
        return;
    ++common->err->num_warnings;
    auto *info = reinterpret_cast<j_decompress_ptr>(common);
    auto *errors = reinterpret_cast<ErrorManager *>(common->err);
    const int code = common->err->msg_code;
    if (errors->dataEnded
        || !(code == JWRN_JPEG_EOF
             || (code == JWRN_HIT_MARKER && !isRestartMarker(info->unread_marker))))
        return;
    errors->dataEnded = true;
    errors->endedInRowOfBlocks = info->input_iMCU_row;
}

void silence(j_common_ptr) { }

struct SourceManager
{
    jpeg_source_mgr base;
    const PictureFile *file;
    // Read by position, so that others may read the same file meanwhile.
    std::uint64_t offset;
    // No more of the file is read: it has ended, or the rest is not wanted.
    bool ended;
    JOCTET buffer[ReadChunk];
};

void initSource(j_decompress_ptr) { }

boolean fillInputBuffer(j_decompress_ptr info)
{
    auto *source = reinterpret_cast<SourceManager *>(info->src);
    std::size_t count
            = source->ended ? 0 : source->file->read(source->offset, source->buffer, ReadChunk);
    source->offset += count;
    if (count == 0) {
        source->ended = true;
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
        // A length that runs past the end of the file: what is left is the
        // end marker put in its place, for the reader to meet.
        if (source->ended)
            return;
    }
}

void termSource(j_decompress_ptr) { }

// Called between rows of blocks while a file of several scans is read, and
// before each batch of rows: the place to give up when nobody wants the
// picture any more, and to stop reading scans past what a photo needs.
struct ProgressMonitor
{
    jpeg_progress_mgr base;
    const std::atomic<bool> *cancel;
    SourceManager *source;
    int scan;
    std::uint64_t work;
    std::uint64_t mostWork;
};

void monitorProgress(j_common_ptr common)
{
    auto *monitor = reinterpret_cast<ProgressMonitor *>(common->progress);
    if (monitor->cancel && monitor->cancel->load(std::memory_order_relaxed))
        errorExit(common);
    auto *info = reinterpret_cast<j_decompress_ptr>(common);
    if (info->input_scan_number == monitor->scan || monitor->source->ended)
        return;
    monitor->scan = info->input_scan_number;
    const auto coefficients = static_cast<std::uint64_t>(std::max(info->Se - info->Ss + 1, 1));
    for (int i = 0; i < info->comps_in_scan; ++i) {
        const jpeg_component_info &component = *info->cur_comp_info[i];
        monitor->work += std::uint64_t{ component.width_in_blocks } * component.height_in_blocks
                * (coefficients + BlockVisit);
    }
    if (monitor->work > monitor->mostWork) {
        monitor->source->ended = true;
        monitor->source->base.bytes_in_buffer = 0;
    }
}

// Everything a decode holds, outside the function that may be jumped back
// into, so that a jump skips no destructor and leaves no value undefined.
struct Decode
{
    jpeg_decompress_struct info = {};
    ErrorManager errors = {};
    std::unique_ptr<SourceManager> source = std::make_unique<SourceManager>();
    ProgressMonitor monitor = {};
    bool created = false;
    const std::vector<unsigned char> *profile = nullptr;
    std::shared_ptr<const ColourTransform> colour;
    PixelSize screen;
    bool transposed = false;
    PixelSize stored;
    PixelSize target;
    Bitmap image;
    int completeRows = 0;
    std::vector<std::uint32_t> rows;
    std::unique_ptr<AreaScaler> scaler;

    ~Decode()
    {
        if (created)
            jpeg_destroy_decompress(&info);
    }
};

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

// The conversion the pixels will need, by what the data holds: a grey
// profile for grey (the level repeated in the pixel), a CMYK one for CMYK,
// an RGB one for colour. A picture whose profile cannot be used counts as
// sRGB, as an untagged one does, CMYK turned into colours simply first.
void chooseColour(Decode &decode, bool cmyk)
{
    ColourLayout layout = ColourLayout::Rgb;
    if (cmyk)
        layout = ColourLayout::InvertedCmyk;
    else if (decode.info.jpeg_color_space == JCS_GRAYSCALE)
        layout = ColourLayout::Grey;
    decode.colour = ColourConverter::instance().transformFor(*decode.profile, layout);
}

// The first output row that is made up, when the data ended in the row of
// blocks libjpeg was decoding then.
int firstMadeUpRow(const Decode &decode)
{
    const jpeg_decompress_struct &info = decode.info;
    const std::uint64_t rows = std::uint64_t{ decode.errors.endedInRowOfBlocks }
            * static_cast<unsigned>(info.max_v_samp_factor * info.min_DCT_scaled_size);
    return static_cast<int>(std::min<std::uint64_t>(rows, info.output_height));
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
    info.progress = &decode.monitor.base;
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        return false;
    if (info.image_width == 0 || info.image_height == 0)
        return false;
    decode.stored = { static_cast<int>(info.image_width), static_cast<int>(info.image_height) };
    decode.target = decodeSize(decode.stored, decode.transposed, decode.screen);
    std::uint64_t blocks = 0;
    for (int i = 0; i < info.num_components; ++i)
        blocks += std::uint64_t{ info.comp_info[i].width_in_blocks }
                * info.comp_info[i].height_in_blocks;
    decode.monitor.mostWork
            = MostPassesOverEveryBlock * blocks * (CoefficientsPerBlock + BlockVisit);

    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    chooseColour(decode, cmyk);
    // With a conversion of its own, CMYK stays inks through the averaging,
    // which treats all four bytes of a pixel alike.
    const bool inks
            = cmyk && decode.colour && decode.colour->layout() == ColourLayout::InvertedCmyk;
    chooseScale(decode);
    info.do_fancy_upsampling = FALSE;
    if (!jpeg_start_decompress(&info))
        return false;

    decode.image = Bitmap(decode.target, false);
    if (decode.image.empty())
        return false;
    decode.completeRows = decode.image.height();
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
        // A single-scan file whose data has run out has nothing more to
        // give: the rest of the picture is the grey libjpeg would make up,
        // without making it up row by row for as long as the header claims,
        // which for a few bytes claiming 65500 by 65500 takes seconds. (A
        // file of several scans has been read whole by now.)
        const bool ended = decode.errors.dataEnded && !jpeg_has_multiple_scans(&info);
        // What libjpeg makes up is grey as colours, but not as inks: those
        // rows are left out, to be made grey once converted.
        const int real = ended && inks ? std::clamp(firstMadeUpRow(decode) - first, 0, got) : got;
        if (!direct) {
            for (int i = 0; i < real; ++i) {
                auto *row = &decode.rows[static_cast<std::size_t>(i) * output.width];
                if (cmyk && !inks) {
                    // In place: a CMYK pixel is as wide as an RGB32 one.
                    cmykToRgb(reinterpret_cast<const unsigned char *>(row), row, info.output_width);
                }
                decode.scaler->addRow(row);
            }
        }
        if (ended) {
            decode.completeRows = direct ? first + real : decode.scaler->rowsDone();
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
    source.ended = false;
    source.base.init_source = initSource;
    source.base.fill_input_buffer = fillInputBuffer;
    source.base.skip_input_data = skipInputData;
    source.base.resync_to_restart = jpeg_resync_to_restart;
    source.base.term_source = termSource;
    source.base.next_input_byte = nullptr;
    source.base.bytes_in_buffer = 0;
    decode.monitor.base.progress_monitor = monitorProgress;
    decode.monitor.cancel = cancel;
    decode.monitor.source = &source;

    if (!run(decode))
        return std::nullopt;
    return DecodedPicture{ std::move(decode.image), decode.stored, std::move(decode.colour),
                           decode.completeRows };
}

} // namespace platform::detail
