#include "platform/ui/ImageView.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/BundleImages.h"

#include <algorithm>

namespace ui {

gfx::Rect ImageView::placeContent(gfx::Size size, const gfx::Rect& bounds, ContentMode mode)
{
    double width = size.width;
    double height = size.height;
    switch (mode) {
    case ContentMode::ScaleToFill:
    case ContentMode::Redraw:
        return bounds;
    case ContentMode::ScaleAspectFit:
    case ContentMode::ScaleAspectFill: {
        if (width <= 0 || height <= 0)
            return bounds;
        double scaleX = bounds.size.width / width;
        double scaleY = bounds.size.height / height;
        double scale = mode == ContentMode::ScaleAspectFit ? std::min(scaleX, scaleY) : std::max(scaleX, scaleY);
        width *= scale;
        height *= scale;
        return { bounds.midX() - width / 2, bounds.midY() - height / 2, width, height };
    }
    default:
        break;
    }
    double x = bounds.midX() - width / 2;
    double y = bounds.midY() - height / 2;
    switch (mode) {
    case ContentMode::Left:
    case ContentMode::TopLeft:
    case ContentMode::BottomLeft:
        x = bounds.minX();
        break;
    case ContentMode::Right:
    case ContentMode::TopRight:
    case ContentMode::BottomRight:
        x = bounds.maxX() - width;
        break;
    default:
        break;
    }
    switch (mode) {
    case ContentMode::Top:
    case ContentMode::TopLeft:
    case ContentMode::TopRight:
        y = bounds.minY();
        break;
    case ContentMode::Bottom:
    case ContentMode::BottomLeft:
    case ContentMode::BottomRight:
        y = bounds.maxY() - height;
        break;
    default:
        break;
    }
    return { x, y, width, height };
}

std::shared_ptr<ImageView> ImageView::create(const gfx::Rect& frame)
{
    return std::make_shared<ImageView>(frame);
}

std::shared_ptr<ImageView> ImageView::createWithImage(fnd::Ref<gfx::Image> image)
{
    gfx::Rect frame;
    if (image)
        frame.size = image->size();
    auto view = create(frame);
    view->setImage(std::move(image));
    return view;
}

ImageView::ImageView(const gfx::Rect& frame)
    : View(frame)
{
    setUserInteractionEnabled(false);
    setOpaque(false);
}

void ImageView::setImage(fnd::Ref<gfx::Image> image)
{
    m_image = std::move(image);
    setNeedsDisplay();
}

void ImageView::setHighlightedImage(fnd::Ref<gfx::Image> image)
{
    m_highlightedImage = std::move(image);
    setNeedsDisplay();
}

void ImageView::setHighlighted(bool highlighted)
{
    m_highlighted = highlighted;
    setNeedsDisplay();
}

const fnd::Ref<gfx::Image>& ImageView::shownImage() const
{
    return m_highlighted && m_highlightedImage ? m_highlightedImage : m_image;
}

gfx::Rect ImageView::imageRect() const
{
    auto& image = shownImage();
    return placeContent(image ? image->size() : gfx::Size(), bounds(), contentMode());
}

gfx::Size ImageView::sizeThatFits(gfx::Size) const
{
    return m_image ? m_image->size() : gfx::Size();
}

void ImageView::drawRect(gfx::GraphicsContext& context, const gfx::Rect&)
{
    if (auto& image = shownImage())
        context.drawImage(*image, imageRect());
}

std::string ImageView::treeAttributes() const
{
    if (!m_image)
        return {};
    auto name = BundleImages::nameOf(*m_image);
    return name.empty() ? "image" : "image=\"" + name + "\"";
}

}
