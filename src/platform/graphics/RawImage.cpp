#include "platform/graphics/RawImage.h"

#include "platform/graphics/SurfacePixels.h"

#include <algorithm>

namespace gfx {

namespace {

bool layoutMatches(cairo_format_t format, ColorSpace colorSpace, AlphaInfo alphaInfo)
{
    if (colorSpace == ColorSpace::Grey)
        return format == CAIRO_FORMAT_A8 && alphaInfo == AlphaInfo::None;
    bool withAlpha = alphaInfo != AlphaInfo::None && alphaInfo != AlphaInfo::NoneSkipFirst && alphaInfo != AlphaInfo::NoneSkipLast;
    if (alphaInfo == AlphaInfo::Only)
        return false;
    return format == (withAlpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24);
}

}

std::shared_ptr<const RawImage> RawImage::adopt(SurfacePtr surface, ColorSpace colorSpace, AlphaInfo alphaInfo, size_t bytesPerRow)
{
    if (!surface || cairo_surface_get_type(surface.get()) != CAIRO_SURFACE_TYPE_IMAGE)
        return nullptr;
    if (!layoutMatches(cairo_image_surface_get_format(surface.get()), colorSpace, alphaInfo))
        return nullptr;
    // From here on the pixels only get read.
    cairo_surface_flush(surface.get());
    return std::shared_ptr<const RawImage>(new RawImage(std::move(surface), colorSpace, alphaInfo, bytesPerRow));
}

RawImage::RawImage(SurfacePtr surface, ColorSpace colorSpace, AlphaInfo alphaInfo, size_t bytesPerRow)
    : m_surface(std::move(surface))
    , m_width(static_cast<size_t>(cairo_image_surface_get_width(m_surface.get())))
    , m_height(static_cast<size_t>(cairo_image_surface_get_height(m_surface.get())))
    , m_bytesPerRow(bytesPerRow ? bytesPerRow : m_width * gfx::bytesPerPixel(colorSpace))
    , m_colorSpace(colorSpace)
    , m_alphaInfo(alphaInfo)
{
}

Pixel RawImage::pixelAt(size_t x, size_t y) const
{
    if (x >= m_width || y >= m_height)
        return {};
    return surfacePixels::read(m_surface.get(), static_cast<int>(x), static_cast<int>(y));
}

std::shared_ptr<const RawImage> RawImage::createWithImageInRect(const Rect& rect) const
{
    Rect bounds(0, 0, static_cast<double>(m_width), static_cast<double>(m_height));
    Rect area = rect.integral().intersection(bounds);
    if (area.isEmpty())
        return nullptr;
    cairo_format_t format = cairo_image_surface_get_format(m_surface.get());
    int width = static_cast<int>(area.width());
    int height = static_cast<int>(area.height());
    SurfacePtr cropped = createImageSurface(format, width, height);
    if (!cropped)
        return nullptr;
    int bytes = static_cast<int>(gfx::bytesPerPixel(m_colorSpace));
    int fromStride = cairo_image_surface_get_stride(m_surface.get());
    int toStride = cairo_image_surface_get_stride(cropped.get());
    const unsigned char* from = cairo_image_surface_get_data(m_surface.get());
    unsigned char* to = cairo_image_surface_get_data(cropped.get());
    int left = static_cast<int>(area.minX());
    int top = static_cast<int>(area.minY());
    for (int row = 0; row < height; ++row)
        std::copy_n(from + (top + row) * fromStride + left * bytes, width * bytes, to + row * toStride);
    cairo_surface_mark_dirty(cropped.get());
    return adopt(std::move(cropped), m_colorSpace, m_alphaInfo);
}

std::shared_ptr<const RawImage> RawImage::createWithMask(const RawImage& mask) const
{
    if (mask.colorSpace() != ColorSpace::Grey || mask.alphaInfo() != AlphaInfo::None)
        return nullptr;
    SurfacePtr source = drawableSurface();
    SurfacePtr result = createImageSurface(CAIRO_FORMAT_ARGB32, static_cast<int>(m_width), static_cast<int>(m_height));
    if (!source || !result)
        return nullptr;
    CairoPtr context(cairo_create(result.get()));
    cairo_set_source_surface(context.get(), source.get(), 0, 0);
    cairo_pattern_t* maskPattern = cairo_pattern_create_for_surface(mask.cairoSurface());
    cairo_matrix_t stretch;
    cairo_matrix_init_scale(&stretch, static_cast<double>(mask.width()) / m_width, static_cast<double>(mask.height()) / m_height);
    cairo_pattern_set_matrix(maskPattern, &stretch);
    cairo_pattern_set_extend(maskPattern, CAIRO_EXTEND_PAD);
    cairo_mask(context.get(), maskPattern);
    cairo_pattern_destroy(maskPattern);
    context.reset();
    return adopt(std::move(result), ColorSpace::RGB, AlphaInfo::PremultipliedFirst);
}

SurfacePtr RawImage::drawableSurface() const
{
    if (m_colorSpace == ColorSpace::Grey)
        return surfacePixels::greyToRGB(m_surface.get());
    return retainSurface(m_surface.get());
}

}
