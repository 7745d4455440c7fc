#include "TestPictures.h"

#include "platform/graphics/ImageContext.h"

#include <cmath>
#include <cstdlib>

namespace brenzo::testing {

fnd::Ref<gfx::Image> solidPicture(gfx::Size size, const gfx::Color& color)
{
    return splitPicture(size, color, color);
}

fnd::Ref<gfx::Image> splitPicture(gfx::Size size, const gfx::Color& left, const gfx::Color& right)
{
    auto context = gfx::ImageContext::create(size, true, 1);
    context->setFillColor(left);
    context->fillRect({ 0, 0, size.width / 2, size.height });
    context->setFillColor(right);
    context->fillRect({ size.width / 2, 0, size.width / 2, size.height });
    return context->image();
}

fnd::Ref<gfx::Image> withOrientation(const gfx::Image& image, gfx::ImageOrientation orientation)
{
    return gfx::Image::createWithRawImage(image.rawImage(), image.scale(), orientation);
}

gfx::Pixel pixelOf(const gfx::Color& color)
{
    auto component = [](double value) { return uint8_t(std::lround(value * 255)); };
    return { component(color.red), component(color.green), component(color.blue), component(color.alpha) };
}

bool isNear(const gfx::Pixel& first, const gfx::Pixel& second, int tolerance)
{
    return std::abs(first.red - second.red) <= tolerance && std::abs(first.green - second.green) <= tolerance
        && std::abs(first.blue - second.blue) <= tolerance && std::abs(first.alpha - second.alpha) <= tolerance;
}

}

namespace gfx {

std::ostream& operator<<(std::ostream& stream, const Pixel& pixel)
{
    return stream << "(" << int(pixel.red) << ", " << int(pixel.green) << ", " << int(pixel.blue) << ", " << int(pixel.alpha) << ")";
}

std::ostream& operator<<(std::ostream& stream, const Rect& rect)
{
    return stream << "(" << rect.origin.x << ", " << rect.origin.y << ", " << rect.size.width << ", " << rect.size.height << ")";
}

std::ostream& operator<<(std::ostream& stream, const Size& size)
{
    return stream << size.width << " x " << size.height;
}

}
