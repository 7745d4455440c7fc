#include "board/ImageRoundedCorner.h"

#include "board/ImageAlpha.h"

#include <algorithm>

fnd::Ref<gfx::Image> ImageRoundedCorner::roundedCornerImage(const gfx::Image& image, int cornerSize, int borderSize)
{
    // The context has alpha even when the picture has none, so that the cut corners come out
    // transparent and not black: the same as drawing the picture's alpha copy.
    auto size = ImageAlpha::pixelSizeOf(image);
    auto context = ImageAlpha::hasAlpha(image)
        ? ImageAlpha::createContextLike(*image.rawImage(), size_t(size.width), size_t(size.height))
        : gfx::BitmapContext::create(size_t(size.width), size_t(size.height), 8, 0, gfx::ColorSpace::RGB, gfx::AlphaInfo::PremultipliedFirst);
    if (!context)
        return nullptr;

    double border = std::max(0, borderSize);
    gfx::Rect inside { border, border, size.width - 2 * border, size.height - 2 * border };
    // Nothing is left inside a border of half the size or more: the picture stays transparent.
    if (inside.size.width > 0 && inside.size.height > 0) {
        context->beginPath();
        double corner = std::max(0, cornerSize);
        addRoundedRectToPathContextOvalWidthOvalHeight(inside, *context, corner, corner);
        context->closePath();
        context->clip();
        context->drawImage(image, { 0, 0, size.width, size.height });
    }
    return gfx::Image::createWithRawImage(context->createRawImage(), 1, gfx::ImageOrientation::Up);
}

void ImageRoundedCorner::addRoundedRectToPathContextOvalWidthOvalHeight(const gfx::Rect& rect, gfx::GraphicsContext& context, double ovalWidth,
    double ovalHeight)
{
    if (ovalWidth == 0 || ovalHeight == 0) {
        context.addRect(rect);
        return;
    }
    context.saveState();
    context.translate(rect.minX(), rect.minY());
    // In this space the corners are arcs of radius 1.
    context.scale(ovalWidth, ovalHeight);
    double width = rect.width() / ovalWidth;
    double height = rect.height() / ovalHeight;
    context.moveTo({ width, height / 2 });
    context.addArcToPoint({ width, height }, { width / 2, height }, 1);
    context.addArcToPoint({ 0, height }, { 0, height / 2 }, 1);
    context.addArcToPoint({ 0, 0 }, { width / 2, 0 }, 1);
    context.addArcToPoint({ width, 0 }, { width, height / 2 }, 1);
    context.closePath();
    context.restoreState();
}
