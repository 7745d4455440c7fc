#include "platform/graphics/ImageContext.h"

#include "platform/graphics/SurfacePixels.h"

#include <cmath>

namespace gfx {

std::unique_ptr<ImageContext> ImageContext::create(Size size, bool opaque, double scale)
{
    if (!std::isfinite(scale) || scale <= 0)
        scale = 1;
    double pixelsWide = std::ceil(size.width * scale);
    double pixelsHigh = std::ceil(size.height * scale);
    if (!(pixelsWide >= 1 && pixelsHigh >= 1 && pixelsWide <= maximumSurfaceSide && pixelsHigh <= maximumSurfaceSide))
        return nullptr;
    SurfacePtr surface = createImageSurface(opaque ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32, static_cast<int>(pixelsWide), static_cast<int>(pixelsHigh));
    if (!surface)
        return nullptr;
    return std::unique_ptr<ImageContext>(new ImageContext(std::move(surface), size, opaque, scale));
}

ImageContext::ImageContext(SurfacePtr surface, Size size, bool opaque, double scale)
    : GraphicsContext(std::move(surface), AffineTransform::makeScale(scale, scale), Origin::TopLeft)
    , m_size(size)
    , m_scale(scale)
    , m_opaque(opaque)
{
}

std::shared_ptr<const RawImage> ImageContext::createRawImage() const
{
    cairo_surface_flush(surface());
    return RawImage::adopt(surfacePixels::copy(surface()), ColorSpace::RGB, m_opaque ? AlphaInfo::NoneSkipFirst : AlphaInfo::PremultipliedFirst);
}

fnd::Ref<Image> ImageContext::image() const
{
    return Image::createWithRawImage(createRawImage(), m_scale, ImageOrientation::Up);
}

}
