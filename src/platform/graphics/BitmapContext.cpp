#include "platform/graphics/BitmapContext.h"

#include "platform/graphics/SurfacePixels.h"

namespace gfx {

namespace {

bool keepsAlpha(AlphaInfo alphaInfo)
{
    return alphaInfo == AlphaInfo::PremultipliedFirst || alphaInfo == AlphaInfo::PremultipliedLast;
}

}

std::unique_ptr<BitmapContext> BitmapContext::create(size_t width, size_t height, size_t bitsPerComponent, size_t bytesPerRow,
    ColorSpace colorSpace, AlphaInfo alphaInfo)
{
    if (!isSupportedBitmapFormat(bitsPerComponent, colorSpace, alphaInfo))
        return nullptr;
    if (width == 0 || height == 0 || width > maximumSurfaceSide || height > maximumSurfaceSide)
        return nullptr;
    size_t shortestRow = width * bytesPerPixel(colorSpace);
    if (bytesPerRow == 0)
        bytesPerRow = shortestRow;
    if (bytesPerRow < shortestRow)
        return nullptr;
    // Grey is drawn in RGB and reduced to grey when read, so that colours and images draw as usual.
    cairo_format_t format = keepsAlpha(alphaInfo) ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24;
    SurfacePtr surface = createImageSurface(format, static_cast<int>(width), static_cast<int>(height));
    if (!surface)
        return nullptr;
    // Bottom-left origin: user y maps to row (height - y).
    AffineTransform flip(1, 0, 0, -1, 0, static_cast<double>(height));
    return std::unique_ptr<BitmapContext>(new BitmapContext(std::move(surface), flip, bytesPerRow, colorSpace, alphaInfo));
}

BitmapContext::BitmapContext(SurfacePtr surface, const AffineTransform& flip, size_t bytesPerRow, ColorSpace colorSpace, AlphaInfo alphaInfo)
    : GraphicsContext(std::move(surface), flip, Origin::BottomLeft)
    , m_bytesPerRow(bytesPerRow)
    , m_colorSpace(colorSpace)
    , m_alphaInfo(alphaInfo)
{
}

std::vector<uint8_t> BitmapContext::data() const
{
    cairo_surface_flush(surface());
    return surfacePixels::exportBytes(surface(), m_colorSpace, m_alphaInfo, m_bytesPerRow);
}

std::shared_ptr<const RawImage> BitmapContext::createRawImage() const
{
    cairo_surface_flush(surface());
    if (m_colorSpace == ColorSpace::Grey)
        return RawImage::adopt(surfacePixels::rgbToGrey(surface()), m_colorSpace, m_alphaInfo, m_bytesPerRow);
    return RawImage::adopt(surfacePixels::copy(surface()), m_colorSpace, m_alphaInfo, m_bytesPerRow);
}

}
