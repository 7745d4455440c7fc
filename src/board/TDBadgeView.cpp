#include "board/TDBadgeView.h"

#include "platform/foundation/Format.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/TextLayout.h"
#include "platform/ui/Layer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableViewCell.h"

std::shared_ptr<TDBadgeView> TDBadgeView::create(const gfx::Rect& frame)
{
    return std::make_shared<TDBadgeView>(frame);
}

TDBadgeView::TDBadgeView(const gfx::Rect& frame)
    : View(frame)
{
    setBackgroundColor(gfx::Color::clear());
    setOpaque(false);
}

void TDBadgeView::setBadgeString(std::optional<std::string> text)
{
    m_badgeString = std::move(text);
    setNeedsDisplay();
}

void TDBadgeView::setBadgeColor(std::optional<gfx::Color> color)
{
    m_badgeColor = color;
    setNeedsDisplay();
}

void TDBadgeView::setBadgeColorHighlighted(std::optional<gfx::Color> color)
{
    m_badgeColorHighlighted = color;
    setNeedsDisplay();
}

void TDBadgeView::setShowShadow(bool show)
{
    m_showShadow = show;
    setNeedsDisplay();
}

void TDBadgeView::setRadius(double radius)
{
    m_radius = radius;
    setNeedsDisplay();
}

bool TDBadgeView::isHighlightedByParent() const
{
    auto cell = parent();
    if (!cell || cell->selectionStyle() == ui::TableViewCellSelectionStyle::None)
        return false;
    return cell->isHighlighted() || cell->isSelected();
}

gfx::Color TDBadgeView::currentColor() const
{
    if (isHighlightedByParent())
        return m_badgeColorHighlighted.value_or(defaultHighlightedColor);
    return m_badgeColor.value_or(defaultColor);
}

fnd::Ref<gfx::Image> TDBadgeView::lozengeImage(const gfx::Rect& rect) const
{
    auto text = m_badgeString.value_or("");
    double textWidth = text.empty() ? 0 : gfx::TextLayout::sizeOfLine(text, gfx::Font::boldSystemFont(fontSize)).width;
    double lozengeWidth = textWidth + 12;

    // Everything doubles on a double-density screen; the picture is drawn back at half its size.
    double scale = ui::Screen::mainScreen().scale() == 2 ? 2 : 1;
    gfx::Size size { rect.width() * scale, rect.height() * scale };
    auto context = gfx::ImageContext::create(size, false, 1);
    if (!context)
        return nullptr;

    ui::Layer lozenge;
    lozenge.setBounds({ 0, 0, size.width, size.height });
    lozenge.setBackgroundColor(currentColor());
    lozenge.setCornerRadius(effectiveRadius() * scale);
    lozenge.renderInContext(*context);

    // Scale 1: 6.5 points in and 2 down; scale 2: 13 pixels in and 5 down.
    double textLeft = (scale * lozengeWidth - scale * textWidth) / 2 + (scale == 2 ? 1 : 0.5);
    double textTop = scale == 2 ? 5 : 2;
    // The box grows with the font too, so the doubled letters are not cut off at the bottom.
    gfx::Rect textBox { textLeft, textTop, scale * lozengeWidth, scale * textHeight };
    context->setBlendMode(gfx::BlendMode::Clear);
    context->drawText(text, textBox, gfx::Font::boldSystemFont(fontSize * scale), gfx::Color::white(), gfx::TextAlignment::Left,
        gfx::LineBreakMode::Clip, 1);
    context->setBlendMode(gfx::BlendMode::Normal);
    return context->image();
}

void TDBadgeView::drawRect(gfx::GraphicsContext& context, const gfx::Rect& rect)
{
    if (auto image = lozengeImage(rect))
        context.drawImage(*image, rect);

    bool shadowed = m_showShadow && isHighlightedByParent();
    layer().setCornerRadius(effectiveRadius());
    layer().setShadowOffset(shadowed ? gfx::Size { 0, 1 } : gfx::Size { 0, 0 });
    layer().setShadowRadius(shadowed ? 1 : 0);
    layer().setShadowOpacity(shadowed ? 0.8 : 0);
}

std::string TDBadgeView::treeAttributes() const
{
    return fnd::format("badge=\"%@\"", m_badgeString.value_or(""));
}
