#include "platform/graphics/SurfacePixels.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace gfx::surfacePixels {

namespace {

uint32_t loadWord(const unsigned char* address)
{
    uint32_t word;
    std::memcpy(&word, address, sizeof word);
    return word;
}

void storeWord(unsigned char* address, uint32_t word)
{
    std::memcpy(address, &word, sizeof word);
}

uint8_t unpremultiplied(uint32_t component, uint32_t alpha)
{
    if (alpha == 0)
        return 0;
    return static_cast<uint8_t>(std::min<uint32_t>(255, (component * 255 + alpha / 2) / alpha));
}

uint8_t luminance(uint8_t red, uint8_t green, uint8_t blue)
{
    return static_cast<uint8_t>(std::lround(0.299 * red + 0.587 * green + 0.114 * blue));
}

struct Premultiplied {
    uint8_t alpha, red, green, blue;
};

Premultiplied readPremultiplied(cairo_surface_t* surface, int x, int row)
{
    unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    switch (cairo_image_surface_get_format(surface)) {
    case CAIRO_FORMAT_ARGB32:
    case CAIRO_FORMAT_RGB24: {
        uint32_t word = loadWord(data + row * stride + x * 4);
        uint8_t alpha = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_RGB24 ? 255 : static_cast<uint8_t>(word >> 24);
        return { alpha, static_cast<uint8_t>(word >> 16), static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word) };
    }
    case CAIRO_FORMAT_A8: {
        uint8_t grey = data[row * stride + x];
        return { 255, grey, grey, grey };
    }
    default:
        return { 0, 0, 0, 0 };
    }
}

bool isInside(cairo_surface_t* surface, int x, int row)
{
    return x >= 0 && row >= 0 && x < cairo_image_surface_get_width(surface) && row < cairo_image_surface_get_height(surface);
}

}

Pixel read(cairo_surface_t* surface, int x, int row)
{
    if (!surface || !isInside(surface, x, row))
        return {};
    Premultiplied value = readPremultiplied(surface, x, row);
    return {
        unpremultiplied(value.red, value.alpha),
        unpremultiplied(value.green, value.alpha),
        unpremultiplied(value.blue, value.alpha),
        value.alpha,
    };
}

SurfacePtr copy(cairo_surface_t* source)
{
    int width = cairo_image_surface_get_width(source);
    int height = cairo_image_surface_get_height(source);
    SurfacePtr result = createImageSurface(cairo_image_surface_get_format(source), width, height);
    if (!result)
        return nullptr;
    int sourceStride = cairo_image_surface_get_stride(source);
    int resultStride = cairo_image_surface_get_stride(result.get());
    const unsigned char* from = cairo_image_surface_get_data(source);
    unsigned char* to = cairo_image_surface_get_data(result.get());
    size_t rowLength = static_cast<size_t>(std::min(sourceStride, resultStride));
    for (int row = 0; row < height; ++row)
        std::memcpy(to + row * resultStride, from + row * sourceStride, rowLength);
    cairo_surface_mark_dirty(result.get());
    return result;
}

SurfacePtr normalizedToRGB(SurfacePtr surface)
{
    if (!surface)
        return nullptr;
    cairo_format_t format = cairo_image_surface_get_format(surface.get());
    if (format == CAIRO_FORMAT_ARGB32 || format == CAIRO_FORMAT_RGB24)
        return surface;
    if (format == CAIRO_FORMAT_A8)
        return greyToRGB(surface.get());
    SurfacePtr result = createImageSurface(CAIRO_FORMAT_ARGB32, cairo_image_surface_get_width(surface.get()), cairo_image_surface_get_height(surface.get()));
    if (!result)
        return nullptr;
    CairoPtr context(cairo_create(result.get()));
    cairo_set_source_surface(context.get(), surface.get(), 0, 0);
    cairo_paint(context.get());
    cairo_surface_flush(result.get());
    return result;
}

SurfacePtr greyToRGB(cairo_surface_t* grey)
{
    int width = cairo_image_surface_get_width(grey);
    int height = cairo_image_surface_get_height(grey);
    SurfacePtr result = createImageSurface(CAIRO_FORMAT_RGB24, width, height);
    if (!result)
        return nullptr;
    const unsigned char* from = cairo_image_surface_get_data(grey);
    int fromStride = cairo_image_surface_get_stride(grey);
    unsigned char* to = cairo_image_surface_get_data(result.get());
    int toStride = cairo_image_surface_get_stride(result.get());
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) {
            uint32_t value = from[row * fromStride + x];
            storeWord(to + row * toStride + x * 4, 0xff000000u | value << 16 | value << 8 | value);
        }
    }
    cairo_surface_mark_dirty(result.get());
    return result;
}

SurfacePtr rgbToGrey(cairo_surface_t* rgb)
{
    int width = cairo_image_surface_get_width(rgb);
    int height = cairo_image_surface_get_height(rgb);
    SurfacePtr result = createImageSurface(CAIRO_FORMAT_A8, width, height);
    if (!result)
        return nullptr;
    unsigned char* to = cairo_image_surface_get_data(result.get());
    int toStride = cairo_image_surface_get_stride(result.get());
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) {
            Premultiplied value = readPremultiplied(rgb, x, row);
            to[row * toStride + x] = luminance(value.red, value.green, value.blue);
        }
    }
    cairo_surface_mark_dirty(result.get());
    return result;
}

std::vector<uint8_t> exportBytes(cairo_surface_t* surface, ColorSpace colorSpace, AlphaInfo alphaInfo, size_t bytesPerRow)
{
    int width = cairo_image_surface_get_width(surface);
    int height = cairo_image_surface_get_height(surface);
    std::vector<uint8_t> bytes(bytesPerRow * static_cast<size_t>(height), 0);
    bool alphaFirst = alphaInfo == AlphaInfo::PremultipliedFirst || alphaInfo == AlphaInfo::First || alphaInfo == AlphaInfo::NoneSkipFirst;
    bool skipsAlpha = alphaInfo == AlphaInfo::NoneSkipFirst || alphaInfo == AlphaInfo::NoneSkipLast;
    for (int row = 0; row < height; ++row) {
        uint8_t* line = bytes.data() + static_cast<size_t>(row) * bytesPerRow;
        for (int x = 0; x < width; ++x) {
            Premultiplied value = readPremultiplied(surface, x, row);
            if (colorSpace == ColorSpace::Grey) {
                line[x] = luminance(value.red, value.green, value.blue);
                continue;
            }
            uint8_t alpha = skipsAlpha ? 255 : value.alpha;
            uint8_t* pixel = line + x * 4;
            uint8_t* colour = alphaFirst ? pixel + 1 : pixel;
            pixel[alphaFirst ? 0 : 3] = alpha;
            colour[0] = value.red;
            colour[1] = value.green;
            colour[2] = value.blue;
        }
    }
    return bytes;
}

}
