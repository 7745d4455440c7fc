#include "board/ImageResize.h"

#include "board/ImageAlpha.h"
#include "board/ImageRoundedCorner.h"
#include "platform/foundation/Exception.h"
#include "platform/foundation/Format.h"
#include "platform/graphics/BitmapContext.h"

#include <algorithm>
#include <cmath>
#include <numbers>

fnd::Ref<gfx::Image> ImageResize::croppedImage(const gfx::Image& image, const gfx::Rect& rect)
{
    return gfx::Image::createWithRawImage(image.rawImage()->createWithImageInRect(rect), 1, gfx::ImageOrientation::Up);
}

fnd::Ref<gfx::Image> ImageResize::thumbnailImage(const gfx::Image& image, int side, unsigned border, unsigned cornerRadius,
    gfx::InterpolationQuality quality)
{
    if (side <= 0)
        return nullptr;
    double length = side;
    auto filled = resizedImageWithContentMode(image, ui::ContentMode::ScaleAspectFill, { length, length }, quality);
    if (!filled)
        return nullptr;
    auto size = filled->size();
    gfx::Rect square { std::round((size.width - length) / 2), std::round((size.height - length) / 2), length, length };
    auto thumbnail = croppedImage(*filled, square);
    if (thumbnail && border)
        thumbnail = ImageAlpha::transparentBorderImage(*thumbnail, border);
    if (!thumbnail)
        return nullptr;
    return ImageRoundedCorner::roundedCornerImage(*thumbnail, int(std::min(cornerRadius, 32767u)), int(std::min(border, 32767u)));
}

fnd::Ref<gfx::Image> ImageResize::resizedImage(const gfx::Image& image, gfx::Size size, gfx::InterpolationQuality quality)
{
    bool transposed = gfx::isTransposed(image.imageOrientation());
    return resizedImageTransformDrawTransposed(image, size, transformForOrientation(image, size), transposed, quality);
}

fnd::Ref<gfx::Image> ImageResize::resizedImageWithContentMode(const gfx::Image& image, ui::ContentMode contentMode, gfx::Size bounds,
    gfx::InterpolationQuality quality)
{
    auto size = image.size();
    double horizontalRatio = bounds.width / size.width;
    double verticalRatio = bounds.height / size.height;
    double ratio;
    switch (contentMode) {
    case ui::ContentMode::ScaleAspectFit:
        ratio = std::min(horizontalRatio, verticalRatio);
        break;
    case ui::ContentMode::ScaleAspectFill:
        ratio = std::max(horizontalRatio, verticalRatio);
        break;
    default:
        throw fnd::Exception(std::string(invalidArgumentException), fnd::format("Unsupported content mode: %d", int(contentMode)));
    }
    if (!std::isfinite(ratio))
        return nullptr;
    return resizedImage(image, { size.width * ratio, size.height * ratio }, quality);
}

fnd::Ref<gfx::Image> ImageResize::resizedImageTransformDrawTransposed(const gfx::Image& image, gfx::Size size, const gfx::AffineTransform& transform,
    bool transposed, gfx::InterpolationQuality quality)
{
    if (!std::isfinite(size.width) || !std::isfinite(size.height) || size.width <= 0 || size.height <= 0)
        return nullptr;
    auto newRect = gfx::Rect { 0, 0, size.width, size.height }.integral();
    size_t width = size_t(newRect.width());
    size_t height = size_t(newRect.height());
    auto context = gfx::BitmapContext::create(width, height, 8, width * 4, gfx::ColorSpace::RGB, gfx::AlphaInfo::PremultipliedFirst);
    if (!context)
        return nullptr;
    context->concatenate(transform);
    context->setInterpolationQuality(quality);
    auto drawRect = transposed ? gfx::Rect { 0, 0, newRect.height(), newRect.width() } : newRect;
    context->drawRawImage(*image.rawImage(), drawRect);
    return gfx::Image::createWithRawImage(context->createRawImage(), 1, gfx::ImageOrientation::Up);
}

gfx::AffineTransform ImageResize::transformForOrientation(const gfx::Image& image, gfx::Size size)
{
    using enum gfx::ImageOrientation;
    auto transform = gfx::AffineTransform::identity();
    auto orientation = image.imageOrientation();

    switch (orientation) {
    case Down:
    case DownMirrored:
        transform = transform.translatedBy(size.width, size.height).rotatedBy(std::numbers::pi);
        break;
    case Left:
    case LeftMirrored:
        transform = transform.translatedBy(size.width, 0).rotatedBy(std::numbers::pi / 2);
        break;
    case Right:
    case RightMirrored:
        transform = transform.translatedBy(0, size.height).rotatedBy(-std::numbers::pi / 2);
        break;
    default:
        break;
    }

    switch (orientation) {
    case UpMirrored:
    case DownMirrored:
        transform = transform.translatedBy(size.width, 0).scaledBy(-1, 1);
        break;
    case LeftMirrored:
    case RightMirrored:
        transform = transform.translatedBy(size.height, 0).scaledBy(-1, 1);
        break;
    default:
        break;
    }
    return transform;
}
