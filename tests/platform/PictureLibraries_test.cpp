// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// The three picture libraries as this build links them: Debian's shared
// ones on Linux, the static ones built from Debian's sources for Windows
// (cmake/PictureLibraries.cmake), run here under Wine. Each is driven the
// way the decoders drive it, from memory, with errors reported rather
// than printed or ended on.
#include <gtest/gtest.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gif_lib.h>
#include <jpeglib.h>
#include <lcms2.h>

namespace {

struct Rgb
{
    int red;
    int green;
    int blue;
};

constexpr int kJpegWidth = 64;
constexpr int kJpegHeight = 48;
constexpr int kEighth = 8;
constexpr int kJpegQuality = 90;
// What a lossy round trip of flat colours may move a channel by.
constexpr int kJpegTolerance = 24;
constexpr Rgb kLeftColour{ 200, 30, 40 };
constexpr Rgb kRightColour{ 20, 60, 220 };

// libjpeg ends the process on an error unless told otherwise; these tests
// jump back and fail instead.
struct JpegErrors
{
    jpeg_error_mgr manager;
    std::jmp_buf back;
    char message[JMSG_LENGTH_MAX];
};

void jumpBack(j_common_ptr info)
{
    auto *errors = reinterpret_cast<JpegErrors *>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->back, 1);
}

// A picture whose left half is one colour and whose right half another,
// compressed in memory; empty with `message` set if libjpeg refused.
std::vector<unsigned char> compressTwoColours(std::string &message)
{
    std::vector<unsigned char> rows(std::size_t(kJpegWidth) * kJpegHeight * 3);
    for (int y = 0; y < kJpegHeight; ++y) {
        for (int x = 0; x < kJpegWidth; ++x) {
            const Rgb colour = x < kJpegWidth / 2 ? kLeftColour : kRightColour;
            unsigned char *pixel = &rows[(std::size_t(y) * kJpegWidth + x) * 3];
            pixel[0] = static_cast<unsigned char>(colour.red);
            pixel[1] = static_cast<unsigned char>(colour.green);
            pixel[2] = static_cast<unsigned char>(colour.blue);
        }
    }
    jpeg_compress_struct info{};
    JpegErrors errors{};
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jumpBack;
    if (setjmp(errors.back)) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        message = errors.message;
        return {};
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = kJpegWidth;
    info.image_height = kJpegHeight;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, kJpegQuality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = &rows[std::size_t(info.next_scanline) * kJpegWidth * 3];
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<unsigned char> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

struct ScaledJpeg
{
    unsigned width = 0;
    unsigned height = 0;
    std::vector<unsigned char> pixels;
    std::string error;
};

// The file decoded at an eighth of its size, as the decoders shrink a photo.
ScaledJpeg decodeAnEighth(const std::vector<unsigned char> &bytes)
{
    ScaledJpeg result;
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jumpBack;
    if (setjmp(errors.back)) {
        jpeg_destroy_decompress(&info);
        result.error = errors.message;
        return result;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.scale_num = 1;
    info.scale_denom = kEighth;
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    result.width = info.output_width;
    result.height = info.output_height;
    result.pixels.resize(std::size_t(info.output_width) * info.output_height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &result.pixels[std::size_t(info.output_scanline) * info.output_width * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return result;
}

TEST(PictureLibraries, JpegCompressedInMemoryDecodesAtAnEighth)
{
    std::string message;
    const std::vector<unsigned char> bytes = compressTwoColours(message);
    ASSERT_FALSE(bytes.empty()) << message;

    const ScaledJpeg decoded = decodeAnEighth(bytes);
    ASSERT_EQ(decoded.error, "");
    ASSERT_EQ(decoded.width, unsigned(kJpegWidth / kEighth));
    ASSERT_EQ(decoded.height, unsigned(kJpegHeight / kEighth));
    for (unsigned y = 0; y < decoded.height; ++y) {
        // The outermost columns: the chroma's blur at the middle stays inside.
        for (const unsigned x : { 0u, decoded.width - 1 }) {
            const Rgb expected = x == 0 ? kLeftColour : kRightColour;
            const unsigned char *pixel = &decoded.pixels[(std::size_t(y) * decoded.width + x) * 3];
            EXPECT_NEAR(pixel[0], expected.red, kJpegTolerance) << x << "," << y;
            EXPECT_NEAR(pixel[1], expected.green, kJpegTolerance) << x << "," << y;
            EXPECT_NEAR(pixel[2], expected.blue, kJpegTolerance) << x << "," << y;
        }
    }
}

TEST(PictureLibraries, JpegThatIsNotOneIsReportedNotEnded)
{
    const std::vector<unsigned char> bytes{ 'G', 'I', 'F', '8', '9', 'a', 0, 0 };
    const ScaledJpeg decoded = decodeAnEighth(bytes);
    EXPECT_NE(decoded.error, "");
    EXPECT_TRUE(decoded.pixels.empty());
}

// A GIF's logical screen, larger than its one frame, placed inside it.
constexpr int kScreenWidth = 5;
constexpr int kScreenHeight = 4;
constexpr int kFrameLeft = 1;
constexpr int kFrameTop = 2;
constexpr int kFrameWidth = 3;
constexpr int kFrameHeight = 2;
constexpr int kGifColours = 4;
constexpr int kGifColourBits = 2;
const GifByteType kFramePixels[kFrameHeight][kFrameWidth] = { { 0, 1, 2 }, { 3, 2, 1 } };
const GifColorType kPalette[kGifColours]
        = { { 0, 0, 0 }, { 255, 0, 0 }, { 0, 255, 0 }, { 10, 20, 250 } };

int appendToVector(GifFileType *gif, const GifByteType *bytes, int length)
{
    auto *out = static_cast<std::vector<unsigned char> *>(gif->UserData);
    out->insert(out->end(), bytes, bytes + length);
    return length;
}

std::vector<unsigned char> encodeGif()
{
    std::vector<unsigned char> bytes;
    int error = 0;
    GifFileType *gif = EGifOpen(&bytes, appendToVector, &error);
    if (!gif) {
        return {};
    }
    ColorMapObject *palette = GifMakeMapObject(kGifColours, kPalette);
    bool written = palette
            && EGifPutScreenDesc(gif, kScreenWidth, kScreenHeight, kGifColourBits, 0, palette)
                    == GIF_OK
            && EGifPutImageDesc(gif, kFrameLeft, kFrameTop, kFrameWidth, kFrameHeight, false,
                                nullptr)
                    == GIF_OK;
    for (int row = 0; written && row < kFrameHeight; ++row) {
        // giflib masks the line it is given in place.
        GifByteType line[kFrameWidth];
        std::memcpy(line, kFramePixels[row], sizeof line);
        written = EGifPutLine(gif, line, kFrameWidth) == GIF_OK;
    }
    GifFreeMapObject(palette);
    if (EGifCloseFile(gif, &error) != GIF_OK || !written) {
        return {};
    }
    return bytes;
}

struct MemoryReader
{
    const std::vector<unsigned char> *bytes;
    std::size_t at;
};

int readFromMemory(GifFileType *gif, GifByteType *into, int length)
{
    auto *reader = static_cast<MemoryReader *>(gif->UserData);
    const std::size_t left = reader->bytes->size() - reader->at;
    const std::size_t count = std::min(left, std::size_t(length));
    std::memcpy(into, reader->bytes->data() + reader->at, count);
    reader->at += count;
    return static_cast<int>(count);
}

TEST(PictureLibraries, GifOpenedFromMemoryHasItsScreenFrameAndPalette)
{
    const std::vector<unsigned char> bytes = encodeGif();
    ASSERT_FALSE(bytes.empty());
    MemoryReader reader{ &bytes, 0 };
    int error = 0;
    GifFileType *gif = DGifOpen(&reader, readFromMemory, &error);
    ASSERT_NE(gif, nullptr) << GifErrorString(error);
    EXPECT_EQ(DGifSlurp(gif), GIF_OK) << GifErrorString(gif->Error);
    EXPECT_EQ(gif->SWidth, kScreenWidth);
    EXPECT_EQ(gif->SHeight, kScreenHeight);
    ASSERT_EQ(gif->ImageCount, 1);
    const SavedImage &frame = gif->SavedImages[0];
    EXPECT_EQ(frame.ImageDesc.Left, kFrameLeft);
    EXPECT_EQ(frame.ImageDesc.Top, kFrameTop);
    ASSERT_EQ(frame.ImageDesc.Width, kFrameWidth);
    ASSERT_EQ(frame.ImageDesc.Height, kFrameHeight);
    for (int y = 0; y < kFrameHeight; ++y) {
        for (int x = 0; x < kFrameWidth; ++x) {
            EXPECT_EQ(frame.RasterBits[y * kFrameWidth + x], kFramePixels[y][x]) << x << "," << y;
        }
    }
    ASSERT_NE(gif->SColorMap, nullptr);
    ASSERT_EQ(gif->SColorMap->ColorCount, kGifColours);
    for (int i = 0; i < kGifColours; ++i) {
        EXPECT_EQ(gif->SColorMap->Colors[i].Blue, kPalette[i].Blue) << i;
    }
    EXPECT_EQ(DGifCloseFile(gif, &error), GIF_OK);
}

TEST(PictureLibraries, GifCutShortIsAnErrorNotACrash)
{
    std::vector<unsigned char> bytes = encodeGif();
    ASSERT_FALSE(bytes.empty());
    // Into the frame's compressed data, before its end.
    bytes.resize(bytes.size() - 4);
    MemoryReader reader{ &bytes, 0 };
    int error = 0;
    GifFileType *gif = DGifOpen(&reader, readFromMemory, &error);
    ASSERT_NE(gif, nullptr) << GifErrorString(error);
    EXPECT_EQ(DGifSlurp(gif), GIF_ERROR);
    EXPECT_NE(gif->Error, 0);
    DGifCloseFile(gif, &error);
}

// Little CMS in a context of its own, whose errors are kept, not printed.
struct CmsErrors
{
    std::vector<std::string> messages;
};

void keepCmsError(cmsContext context, cmsUInt32Number, const char *text)
{
    static_cast<CmsErrors *>(cmsGetContextUserData(context))->messages.emplace_back(text);
}

TEST(PictureLibraries, LittleCmsSrgbToSrgbKeepsColours)
{
    CmsErrors errors;
    cmsContext context = cmsCreateContext(nullptr, &errors);
    ASSERT_NE(context, nullptr);
    cmsSetLogErrorHandlerTHR(context, keepCmsError);
    cmsHPROFILE source = cmsCreate_sRGBProfileTHR(context);
    cmsHPROFILE display = cmsCreate_sRGBProfileTHR(context);
    ASSERT_NE(source, nullptr);
    ASSERT_NE(display, nullptr);
    cmsHTRANSFORM transform = cmsCreateTransformTHR(context, source, TYPE_RGB_8, display,
                                                    TYPE_RGB_8, INTENT_PERCEPTUAL, 0);
    ASSERT_NE(transform, nullptr);
    const unsigned char in[] = { 0, 0, 0, 255, 255, 255, 200, 30, 40, 20, 60, 220 };
    unsigned char out[sizeof in] = {};
    cmsDoTransform(transform, in, out, sizeof in / 3);
    for (std::size_t i = 0; i < sizeof in; ++i) {
        EXPECT_NEAR(out[i], in[i], 1) << i;
    }
    cmsDeleteTransform(transform);
    cmsCloseProfile(source);
    cmsCloseProfile(display);
    EXPECT_EQ(errors.messages, std::vector<std::string>{});
    cmsDeleteContext(context);
}

TEST(PictureLibraries, LittleCmsReportsAProfileThatIsNotOne)
{
    CmsErrors errors;
    cmsContext context = cmsCreateContext(nullptr, &errors);
    ASSERT_NE(context, nullptr);
    cmsSetLogErrorHandlerTHR(context, keepCmsError);
    const std::string notAProfile(200, 'x');
    cmsHPROFILE profile = cmsOpenProfileFromMemTHR(
            context, notAProfile.data(), static_cast<cmsUInt32Number>(notAProfile.size()));
    EXPECT_EQ(profile, nullptr);
    EXPECT_FALSE(errors.messages.empty());
    if (profile) {
        cmsCloseProfile(profile);
    }
    cmsDeleteContext(context);
}

} // namespace
