#include "platform/graphics/JPEGCodec.h"

#include "platform/graphics/ImageLimits.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

// libjpeg reports fatal errors through a callback that must not return. We leave with longjmp, so
// the functions that call setjmp below hold only plain C values and release everything by hand.
namespace gfx {

namespace {

#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr J_COLOR_SPACE cairoPixelLayout = JCS_EXT_BGRX;
#else
constexpr J_COLOR_SPACE cairoPixelLayout = JCS_EXT_XRGB;
#endif

struct ErrorHandler {
    jpeg_error_mgr manager;
    std::jmp_buf jumpBuffer;
};

[[noreturn]] void leaveOnError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorHandler*>(info->err)->jumpBuffer, 1);
}

void ignoreMessage(j_common_ptr, int)
{
}

void ignoreOutput(j_common_ptr)
{
}

void installErrorHandler(ErrorHandler& handler)
{
    jpeg_std_error(&handler.manager);
    handler.manager.error_exit = leaveOnError;
    handler.manager.emit_message = ignoreMessage;
    handler.manager.output_message = ignoreOutput;
}

// Adobe writes CMYK inverted; others write it plainly.
void convertCMYKRow(const JSAMPLE* cmyk, unsigned char* destination, JDIMENSION width, bool inverted)
{
    for (JDIMENSION x = 0; x < width; ++x) {
        unsigned cyan = cmyk[4 * x];
        unsigned magenta = cmyk[4 * x + 1];
        unsigned yellow = cmyk[4 * x + 2];
        unsigned black = cmyk[4 * x + 3];
        if (!inverted) {
            cyan = 255 - cyan;
            magenta = 255 - magenta;
            yellow = 255 - yellow;
            black = 255 - black;
        }
        uint32_t red = (cyan * black + 127) / 255;
        uint32_t green = (magenta * black + 127) / 255;
        uint32_t blue = (yellow * black + 127) / 255;
        uint32_t word = 0xff000000u | red << 16 | green << 8 | blue;
        std::copy_n(reinterpret_cast<const unsigned char*>(&word), 4, destination + 4 * x);
    }
}

cairo_surface_t* decodeToSurface(const unsigned char* bytes, unsigned long length)
{
    jpeg_decompress_struct info;
    ErrorHandler errorHandler;
    cairo_surface_t* volatile surface = nullptr;
    info.err = &errorHandler.manager;
    installErrorHandler(errorHandler);
    if (setjmp(errorHandler.jumpBuffer)) {
        jpeg_destroy_decompress(&info);
        if (surface)
            cairo_surface_destroy(surface);
        return nullptr;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes, length);
    jpeg_read_header(&info, TRUE);
    if (!isAcceptableImageSize(info.image_width, info.image_height)) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    bool isCMYK = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = isCMYK ? JCS_CMYK : cairoPixelLayout;
    jpeg_start_decompress(&info);

    surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(info.output_width), static_cast<int>(info.output_height));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    unsigned char* pixels = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    JSAMPARRAY cmykRow = isCMYK ? (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, info.output_width * 4, 1) : nullptr;
    while (info.output_scanline < info.output_height) {
        unsigned char* destination = pixels + static_cast<size_t>(info.output_scanline) * stride;
        if (isCMYK) {
            jpeg_read_scanlines(&info, cmykRow, 1);
            convertCMYKRow(cmykRow[0], destination, info.output_width, info.saw_Adobe_marker);
        } else {
            JSAMPROW row = destination;
            jpeg_read_scanlines(&info, &row, 1);
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    cairo_surface_mark_dirty(surface);
    return surface;
}

// Collects the compressed bytes in a vector that lives outside the function that calls setjmp.
struct VectorDestination {
    jpeg_destination_mgr manager;
    std::vector<uint8_t>* output;
    JOCTET chunk[16384];
};

void startChunk(j_compress_ptr info)
{
    auto* destination = reinterpret_cast<VectorDestination*>(info->dest);
    destination->manager.next_output_byte = destination->chunk;
    destination->manager.free_in_buffer = sizeof destination->chunk;
}

boolean flushFullChunk(j_compress_ptr info)
{
    auto* destination = reinterpret_cast<VectorDestination*>(info->dest);
    destination->output->insert(destination->output->end(), destination->chunk, destination->chunk + sizeof destination->chunk);
    startChunk(info);
    return TRUE;
}

void flushLastChunk(j_compress_ptr info)
{
    auto* destination = reinterpret_cast<VectorDestination*>(info->dest);
    size_t used = sizeof destination->chunk - destination->manager.free_in_buffer;
    destination->output->insert(destination->output->end(), destination->chunk, destination->chunk + used);
}

bool encodeSurface(cairo_surface_t* surface, int quality, std::vector<uint8_t>& output)
{
    jpeg_compress_struct info;
    ErrorHandler errorHandler;
    VectorDestination destination;
    info.err = &errorHandler.manager;
    installErrorHandler(errorHandler);
    if (setjmp(errorHandler.jumpBuffer)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    destination.output = &output;
    destination.manager.init_destination = startChunk;
    destination.manager.empty_output_buffer = flushFullChunk;
    destination.manager.term_destination = flushLastChunk;
    info.dest = &destination.manager;
    info.image_width = static_cast<JDIMENSION>(cairo_image_surface_get_width(surface));
    info.image_height = static_cast<JDIMENSION>(cairo_image_surface_get_height(surface));
    info.input_components = 4;
    info.in_color_space = cairoPixelLayout;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    unsigned char* pixels = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = pixels + static_cast<size_t>(info.next_scanline) * stride;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}

bool JPEGCodec::hasSignature(std::span<const uint8_t> bytes)
{
    return bytes.size() >= 3 && bytes[0] == 0xff && bytes[1] == 0xd8 && bytes[2] == 0xff;
}

SurfacePtr JPEGCodec::decode(std::span<const uint8_t> bytes)
{
    if (!hasSignature(bytes))
        return nullptr;
    return SurfacePtr(decodeToSurface(bytes.data(), bytes.size()));
}

std::vector<uint8_t> JPEGCodec::encode(cairo_surface_t* surface, double quality)
{
    cairo_format_t format = cairo_image_surface_get_format(surface);
    if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24)
        return {};
    double clamped = std::isfinite(quality) ? std::clamp(quality, 0.0, 1.0) : 1.0;
    std::vector<uint8_t> output;
    if (!encodeSurface(surface, static_cast<int>(std::lround(clamped * 100)), output))
        return {};
    return output;
}

}
