#include "board/ImageAlpha.h"

#include <cmath>

namespace {

// The largest side a bitmap context accepts.
constexpr double maximumSide = 32767;

gfx::AlphaInfo drawableAlphaInfo(gfx::AlphaInfo info)
{
    switch (info) {
    case gfx::AlphaInfo::First:
        return gfx::AlphaInfo::PremultipliedFirst;
    case gfx::AlphaInfo::Last:
        return gfx::AlphaInfo::PremultipliedLast;
    case gfx::AlphaInfo::None:
    case gfx::AlphaInfo::Only:
        return gfx::AlphaInfo::NoneSkipFirst;
    default:
        return info;
    }
}

fnd::Ref<gfx::Image> imageFromContext(const gfx::BitmapContext& context)
{
    return gfx::Image::createWithRawImage(context.createRawImage(), 1, gfx::ImageOrientation::Up);
}

}

bool ImageAlpha::hasAlpha(const gfx::Image& image)
{
    switch (image.rawImage()->alphaInfo()) {
    case gfx::AlphaInfo::PremultipliedLast:
    case gfx::AlphaInfo::PremultipliedFirst:
    case gfx::AlphaInfo::Last:
    case gfx::AlphaInfo::First:
        return true;
    default:
        return false;
    }
}

gfx::Size ImageAlpha::pixelSizeOf(const gfx::Image& image)
{
    auto size = image.size();
    return { std::round(size.width), std::round(size.height) };
}

std::unique_ptr<gfx::BitmapContext> ImageAlpha::createContextLike(const gfx::RawImage& raw, size_t width, size_t height)
{
    auto colorSpace = raw.colorSpace();
    auto alphaInfo = raw.alphaInfo();
    if (!gfx::isSupportedBitmapFormat(raw.bitsPerComponent(), colorSpace, alphaInfo)) {
        colorSpace = gfx::ColorSpace::RGB;
        alphaInfo = drawableAlphaInfo(alphaInfo);
    }
    return gfx::BitmapContext::create(width, height, 8, 0, colorSpace, alphaInfo);
}

fnd::Ref<gfx::Image> ImageAlpha::imageWithAlpha(const fnd::Ref<gfx::Image>& image)
{
    if (!image || hasAlpha(*image))
        return image;
    auto size = pixelSizeOf(*image);
    // Grey contexts cannot hold alpha: the copy is always RGB.
    auto context = gfx::BitmapContext::create(size_t(size.width), size_t(size.height), 8, 0, gfx::ColorSpace::RGB, gfx::AlphaInfo::PremultipliedFirst);
    if (!context)
        return nullptr;
    context->drawImage(*image, { 0, 0, size.width, size.height });
    return imageFromContext(*context);
}

fnd::Ref<gfx::Image> ImageAlpha::transparentBorderImage(const gfx::Image& image, unsigned border)
{
    auto size = pixelSizeOf(image);
    double borderWidth = border;
    gfx::Size framed { size.width + 2 * borderWidth, size.height + 2 * borderWidth };
    if (framed.width > maximumSide || framed.height > maximumSide)
        return nullptr;
    auto context = createContextLike(*image.rawImage(), size_t(framed.width), size_t(framed.height));
    if (!context)
        return nullptr;
    context->drawImage(image, { borderWidth, borderWidth, size.width, size.height });
    auto drawn = context->createRawImage();
    auto mask = newBorderMask(border, framed);
    if (!drawn || !mask)
        return nullptr;
    return gfx::Image::createWithRawImage(drawn->createWithMask(*mask), 1, gfx::ImageOrientation::Up);
}

std::shared_ptr<const gfx::RawImage> ImageAlpha::newBorderMask(unsigned border, gfx::Size size)
{
    auto context = gfx::BitmapContext::create(size_t(std::max(0.0, size.width)), size_t(std::max(0.0, size.height)), 8, 0,
        gfx::ColorSpace::Grey, gfx::AlphaInfo::None);
    if (!context)
        return nullptr;
    context->setFillColor(gfx::Color::black());
    context->fillRect({ 0, 0, size.width, size.height });
    double borderWidth = border;
    double insideWidth = size.width - 2 * borderWidth;
    double insideHeight = size.height - 2 * borderWidth;
    // A rectangle of negative size would stand for the same area turned round: leave it out.
    if (insideWidth > 0 && insideHeight > 0) {
        context->setFillColor(gfx::Color::white());
        context->fillRect({ borderWidth, borderWidth, insideWidth, insideHeight });
    }
    return context->createRawImage();
}
