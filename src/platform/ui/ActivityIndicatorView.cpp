#include "platform/ui/ActivityIndicatorView.h"

#include "platform/graphics/GraphicsContext.h"

#include <cmath>

namespace ui {

std::shared_ptr<ActivityIndicatorView> ActivityIndicatorView::create(ActivityIndicatorViewStyle style)
{
    return std::make_shared<ActivityIndicatorView>(style);
}

ActivityIndicatorView::ActivityIndicatorView(ActivityIndicatorViewStyle style)
    : m_style(style)
{
    setFrame({ 0, 0, side(), side() });
    setOpaque(false);
    setUserInteractionEnabled(false);
    setHidden(true);
}

double ActivityIndicatorView::side() const
{
    return m_style == ActivityIndicatorViewStyle::WhiteLarge ? 37 : 20;
}

void ActivityIndicatorView::setStyle(ActivityIndicatorViewStyle style)
{
    m_style = style;
    auto current = frame();
    setFrame({ current.midX() - side() / 2, current.midY() - side() / 2, side(), side() });
}

void ActivityIndicatorView::startAnimating()
{
    m_animating = true;
    setHidden(false);
}

void ActivityIndicatorView::stopAnimating()
{
    m_animating = false;
    if (m_hidesWhenStopped)
        setHidden(true);
}

void ActivityIndicatorView::setHidesWhenStopped(bool hides)
{
    m_hidesWhenStopped = hides;
    if (!m_animating)
        setHidden(hides);
}

gfx::Size ActivityIndicatorView::sizeThatFits(gfx::Size) const
{
    return { side(), side() };
}

void ActivityIndicatorView::drawRect(gfx::GraphicsContext& context, const gfx::Rect&)
{
    auto area = bounds();
    gfx::Point middle { area.midX(), area.midY() };
    double radius = std::min(area.size.width, area.size.height) / 2;
    auto color = m_style == ActivityIndicatorViewStyle::Gray ? gfx::Color::grey(0.5) : gfx::Color::white();
    context.setLineWidth(radius / 5);
    for (int spoke = 0; spoke < 12; ++spoke) {
        double angle = spoke * M_PI / 6;
        context.setStrokeColor(color.withAlpha(0.25 + 0.75 * spoke / 11.0));
        context.beginPath();
        context.moveTo({ middle.x + std::cos(angle) * radius * 0.45, middle.y + std::sin(angle) * radius * 0.45 });
        context.addLineTo({ middle.x + std::cos(angle) * radius * 0.95, middle.y + std::sin(angle) * radius * 0.95 });
        context.strokePath();
    }
}

std::string ActivityIndicatorView::treeAttributes() const
{
    return m_animating ? "animating" : "stopped";
}

}
