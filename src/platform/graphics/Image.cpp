#include "platform/graphics/Image.h"

#include "platform/foundation/Format.h"
#include "platform/foundation/Number.h"
#include "platform/graphics/BitmapContext.h"
#include "platform/graphics/JPEGCodec.h"
#include "platform/graphics/PNGCodec.h"

#include <cmath>
#include <fstream>

namespace gfx {

bool isTransposed(ImageOrientation orientation)
{
    switch (orientation) {
    case ImageOrientation::Left:
    case ImageOrientation::Right:
    case ImageOrientation::LeftMirrored:
    case ImageOrientation::RightMirrored:
        return true;
    default:
        return false;
    }
}

Image::Image(std::shared_ptr<const RawImage> rawImage, double scale, ImageOrientation orientation)
    : m_rawImage(std::move(rawImage))
    , m_scale(std::isfinite(scale) && scale > 0 ? scale : 1)
    , m_orientation(orientation)
{
}

fnd::Ref<Image> Image::createWithRawImage(std::shared_ptr<const RawImage> rawImage, double scale, ImageOrientation orientation)
{
    if (!rawImage)
        return nullptr;
    return std::make_shared<Image>(std::move(rawImage), scale, orientation);
}

fnd::Ref<Image> Image::createWithData(std::span<const uint8_t> bytes, double scale)
{
    if (PNGCodec::hasSignature(bytes)) {
        SurfacePtr surface = PNGCodec::decode(bytes);
        if (!surface)
            return nullptr;
        bool opaque = cairo_image_surface_get_format(surface.get()) == CAIRO_FORMAT_RGB24;
        return createWithRawImage(RawImage::adopt(std::move(surface), ColorSpace::RGB, opaque ? AlphaInfo::NoneSkipFirst : AlphaInfo::PremultipliedFirst), scale);
    }
    if (JPEGCodec::hasSignature(bytes))
        return createWithRawImage(RawImage::adopt(JPEGCodec::decode(bytes), ColorSpace::RGB, AlphaInfo::NoneSkipFirst), scale);
    return nullptr;
}

fnd::Ref<Image> Image::createWithData(const fnd::Data& data, double scale)
{
    return createWithData(data.span(), scale);
}

fnd::Ref<Image> Image::createWithContentsOfFile(const std::filesystem::path& path, double scale)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return nullptr;
    uintmax_t length = std::filesystem::file_size(path, error);
    if (error)
        return nullptr;
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    if (!file || !file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
        return nullptr;
    return createWithData(bytes, scale);
}

Size Image::size() const
{
    Size pixels(static_cast<double>(m_rawImage->width()) / m_scale, static_cast<double>(m_rawImage->height()) / m_scale);
    if (isTransposed(m_orientation))
        return { pixels.height, pixels.width };
    return pixels;
}

SurfacePtr Image::uprightSurface() const
{
    if (m_orientation == ImageOrientation::Up)
        return m_rawImage->drawableSurface();
    size_t pixelsWide = isTransposed(m_orientation) ? m_rawImage->height() : m_rawImage->width();
    size_t pixelsHigh = isTransposed(m_orientation) ? m_rawImage->width() : m_rawImage->height();
    bool opaque = m_rawImage->alphaInfo() == AlphaInfo::None || m_rawImage->alphaInfo() == AlphaInfo::NoneSkipFirst
        || m_rawImage->alphaInfo() == AlphaInfo::NoneSkipLast;
    auto context = BitmapContext::create(pixelsWide, pixelsHigh, 8, 0, ColorSpace::RGB, opaque ? AlphaInfo::NoneSkipFirst : AlphaInfo::PremultipliedFirst);
    if (!context)
        return nullptr;
    context->setInterpolationQuality(InterpolationQuality::None);
    Image unscaled(m_rawImage, 1, m_orientation);
    context->drawImage(unscaled, Rect(0, 0, static_cast<double>(pixelsWide), static_cast<double>(pixelsHigh)));
    auto raw = context->createRawImage();
    return raw ? raw->drawableSurface() : nullptr;
}

fnd::Ref<fnd::Data> Image::pngRepresentation(PNGCodec::Effort effort) const
{
    SurfacePtr surface = uprightSurface();
    if (!surface)
        return nullptr;
    std::vector<uint8_t> bytes = PNGCodec::encode(surface.get(), effort);
    if (bytes.empty())
        return nullptr;
    return fnd::Data::create(std::move(bytes));
}

fnd::Ref<fnd::Data> Image::jpegRepresentation(double quality) const
{
    SurfacePtr surface = uprightSurface();
    if (!surface)
        return nullptr;
    std::vector<uint8_t> bytes = JPEGCodec::encode(surface.get(), quality);
    if (bytes.empty())
        return nullptr;
    return fnd::Data::create(std::move(bytes));
}

std::string Image::description() const
{
    return fnd::format("<Image: %@ x %@ points, scale %@>", fnd::formatDouble(size().width), fnd::formatDouble(size().height),
        fnd::formatDouble(m_scale));
}

}
