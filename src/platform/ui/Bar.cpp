#include "platform/ui/Bar.h"

#include "platform/graphics/GraphicsContext.h"

namespace ui {

Bar::Bar(const gfx::Rect& frame, HairlineEdge hairlineEdge)
    : View(frame)
    , m_hairlineEdge(hairlineEdge)
{
}

void Bar::setBarStyle(BarStyle style)
{
    m_barStyle = style;
    appearanceChanged();
    setNeedsDisplay();
}

void Bar::setTintColor(std::optional<gfx::Color> tint)
{
    m_tintColor = tint;
    appearanceChanged();
    setNeedsDisplay();
}

void Bar::drawRect(gfx::GraphicsContext& context, const gfx::Rect&)
{
    auto area = bounds();
    context.setFillColor(color());
    context.fillRect(area);
    double hairlineY = m_hairlineEdge == HairlineEdge::Top ? area.minY() : area.maxY() - 1;
    context.setFillColor(gfx::Color(0, 0, 0, 0.5));
    context.fillRect({ area.minX(), hairlineY, area.size.width, 1 });
}

}
