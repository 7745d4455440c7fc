#include "platform/graphics/PNGCodec.h"

#include "platform/graphics/ImageLimits.h"
#include "platform/graphics/SurfacePixels.h"

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <new>

#include <png.h>

namespace gfx {

namespace {

constexpr uint8_t signature[] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n' };

struct ReadCursor {
    std::span<const uint8_t> bytes;
    size_t offset { 0 };
};

cairo_status_t readBytes(void* closure, unsigned char* buffer, unsigned int length)
{
    auto& cursor = *static_cast<ReadCursor*>(closure);
    if (cursor.bytes.size() - cursor.offset < length)
        return CAIRO_STATUS_READ_ERROR;
    std::memcpy(buffer, cursor.bytes.data() + cursor.offset, length);
    cursor.offset += length;
    return CAIRO_STATUS_SUCCESS;
}

uint32_t bigEndianWord(const uint8_t* bytes)
{
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | uint32_t(bytes[3]);
}

// The header chunk comes first; its size is checked before anything is allocated.
bool headerDeclaresAcceptableSize(std::span<const uint8_t> bytes)
{
    constexpr size_t headerEnd = 8 + 8 + 8;
    if (bytes.size() < headerEnd || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0)
        return false;
    return isAcceptableImageSize(bigEndianWord(bytes.data() + 16), bigEndianWord(bytes.data() + 20));
}

int colorTypeFor(cairo_format_t format)
{
    switch (format) {
    case CAIRO_FORMAT_ARGB32:
        return PNG_COLOR_TYPE_RGB_ALPHA;
    case CAIRO_FORMAT_RGB24:
        return PNG_COLOR_TYPE_RGB;
    case CAIRO_FORMAT_A8:
        return PNG_COLOR_TYPE_GRAY;
    default:
        return -1;
    }
}

uint8_t unpremultiplied(uint32_t component, uint32_t alpha)
{
    return static_cast<uint8_t>((component * 255 + alpha / 2) / alpha);
}

// One surface row in the PNG's byte order: RGBA with straight alpha, RGB, or grey.
void convertRow(const uint8_t* source, cairo_format_t format, int width, uint8_t* destination)
{
    if (format == CAIRO_FORMAT_A8) {
        std::memcpy(destination, source, static_cast<size_t>(width));
        return;
    }
    auto* pixels = reinterpret_cast<const uint32_t*>(source);
    for (int x = 0; x < width; ++x) {
        uint32_t pixel = pixels[x];
        uint32_t red = (pixel >> 16) & 0xff;
        uint32_t green = (pixel >> 8) & 0xff;
        uint32_t blue = pixel & 0xff;
        if (format == CAIRO_FORMAT_RGB24) {
            *destination++ = static_cast<uint8_t>(red);
            *destination++ = static_cast<uint8_t>(green);
            *destination++ = static_cast<uint8_t>(blue);
            continue;
        }
        uint32_t alpha = pixel >> 24;
        if (alpha == 0) {
            red = green = blue = 0;
        } else if (alpha != 255) {
            red = unpremultiplied(red, alpha);
            green = unpremultiplied(green, alpha);
            blue = unpremultiplied(blue, alpha);
        }
        *destination++ = static_cast<uint8_t>(red);
        *destination++ = static_cast<uint8_t>(green);
        *destination++ = static_cast<uint8_t>(blue);
        *destination++ = static_cast<uint8_t>(alpha);
    }
}

void appendPNGBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto& output = *static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    // An exception must not cross libpng's frames; its own error path unwinds them.
    try {
        output.insert(output.end(), data, data + length);
    } catch (const std::bad_alloc&) {
        png_error(png, "out of memory");
    }
}

void flushNothing(png_structp)
{
}

// libpng leaves a failed write through longjmp, so this function holds only plain values and
// containers made before setjmp, and releases libpng's state by hand.
bool writePNG(cairo_surface_t* surface, int colorType, PNGCodec::Effort effort, std::vector<uint8_t>& output)
{
    std::vector<uint8_t> row(static_cast<size_t>(std::max(cairo_image_surface_get_width(surface), 0)) * 4);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    cairo_format_t format = cairo_image_surface_get_format(surface);
    int width = cairo_image_surface_get_width(surface);
    int height = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface);
    const uint8_t* pixels = cairo_image_surface_get_data(surface);
    png_set_write_fn(png, &output, appendPNGBytes, flushNothing);
    if (effort == PNGCodec::Effort::Fast) {
        // A third of the default's time for a slightly larger file: what a screenshot wants.
        png_set_compression_level(png, 1);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    }
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, colorType,
        PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        convertRow(pixels + static_cast<ptrdiff_t>(y) * stride, format, width, row.data());
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}

bool PNGCodec::hasSignature(std::span<const uint8_t> bytes)
{
    return bytes.size() >= sizeof signature && std::equal(std::begin(signature), std::end(signature), bytes.begin());
}

SurfacePtr PNGCodec::decode(std::span<const uint8_t> bytes)
{
    if (!hasSignature(bytes) || !headerDeclaresAcceptableSize(bytes))
        return nullptr;
    ReadCursor cursor { bytes };
    SurfacePtr surface(cairo_image_surface_create_from_png_stream(readBytes, &cursor));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    return surfacePixels::normalizedToRGB(std::move(surface));
}

std::vector<uint8_t> PNGCodec::encode(cairo_surface_t* surface, Effort effort)
{
    // Our surfaces are image surfaces in one of the layouts colorTypeFor() knows.
    if (!surface || cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE)
        return {};
    int colorType = colorTypeFor(cairo_image_surface_get_format(surface));
    std::vector<uint8_t> output;
    if (colorType < 0 || !writePNG(surface, colorType, effort, output))
        return {};
    return output;
}

}
