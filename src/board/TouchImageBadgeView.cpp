#include "board/TouchImageBadgeView.h"

#include "platform/foundation/Format.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/TextLayout.h"

std::shared_ptr<TouchImageBadgeView> TouchImageBadgeView::create(const gfx::Rect& frame)
{
    return std::make_shared<TouchImageBadgeView>(frame);
}

TouchImageBadgeView::TouchImageBadgeView(const gfx::Rect& frame)
    : View(frame)
{
    setBackgroundColor(gfx::Color::clear());
    setOpaque(false);
    setUserInteractionEnabled(false);
    layer().setCornerRadius(effectiveRadius());
    layer().setShadowOffset({ 0, 0 });
    layer().setShadowRadius(0);
    layer().setShadowOpacity(0);
}

void TouchImageBadgeView::setBadgeString(std::string text)
{
    m_badgeString = std::move(text);
    setNeedsDisplay();
}

void TouchImageBadgeView::setBadgeColor(std::optional<gfx::Color> color)
{
    m_badgeColor = color;
    setNeedsDisplay();
}

void TouchImageBadgeView::setRadius(double radius)
{
    m_radius = radius;
    layer().setCornerRadius(effectiveRadius());
    setNeedsDisplay();
}

void TouchImageBadgeView::drawRect(gfx::GraphicsContext& context, const gfx::Rect& rect)
{
    auto font = gfx::Font::boldSystemFont(fontSize);
    double textWidth = m_badgeString.empty() ? 0 : gfx::TextLayout::sizeOfLine(m_badgeString, font).width;
    double lozengeWidth = textWidth + 6;
    double radius = effectiveRadius();

    context.saveState();
    context.beginPath();
    context.addRoundedRect(rect, radius);
    context.setFillColor(m_badgeColor.value_or(defaultColor));
    context.fillPath();
    // The context's scale takes care of double-density screens.
    gfx::Rect textRect { rect.origin.x + (lozengeWidth - textWidth) / 2 + 0.5, rect.origin.y, lozengeWidth, 12 };
    context.drawText(m_badgeString, textRect, font, gfx::Color::white(), gfx::TextAlignment::Left, gfx::LineBreakMode::Clip, 1);
    context.restoreState();
}

std::string TouchImageBadgeView::treeAttributes() const
{
    return fnd::format("badge=\"%@\"", m_badgeString);
}
