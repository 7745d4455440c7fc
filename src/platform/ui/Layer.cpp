#include "platform/ui/Layer.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/View.h"

#include <algorithm>

namespace ui {

Layer::Layer(View& owner)
    : m_owner(&owner)
{
}

gfx::Rect Layer::bounds() const
{
    return m_owner ? m_owner->bounds() : m_bounds;
}

void Layer::setBounds(const gfx::Rect& bounds)
{
    if (m_owner)
        m_owner->setBounds(bounds);
    else
        m_bounds = bounds;
}

std::optional<gfx::Color> Layer::backgroundColor() const
{
    return m_owner ? m_owner->backgroundColor() : m_backgroundColor;
}

void Layer::setBackgroundColor(std::optional<gfx::Color> color)
{
    if (m_owner)
        m_owner->setBackgroundColor(color);
    else
        m_backgroundColor = color;
}

void Layer::renderInContext(gfx::GraphicsContext& context) const
{
    if (m_owner) {
        Renderer::drawContents(*m_owner, context, 1);
        return;
    }
    auto addOutline = [&](const gfx::Rect& rect, double radius) {
        context.beginPath();
        if (radius > 0)
            context.addRoundedRect(rect, radius);
        else
            context.addRect(rect);
    };
    context.saveState();
    if (m_backgroundColor) {
        context.setFillColor(*m_backgroundColor);
        addOutline(m_bounds, m_cornerRadius);
        context.fillPath();
    }
    if (m_borderWidth > 0) {
        context.setStrokeColor(m_borderColor);
        context.setLineWidth(m_borderWidth);
        addOutline(m_bounds.insetBy(m_borderWidth / 2, m_borderWidth / 2), std::max(0.0, m_cornerRadius - m_borderWidth / 2));
        context.strokePath();
    }
    context.restoreState();
}

}
