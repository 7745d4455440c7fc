#include "platform/ui/Switch.h"

#include "platform/graphics/GraphicsContext.h"

namespace ui {

std::shared_ptr<Switch> Switch::create(const gfx::Rect& frame)
{
    return std::make_shared<Switch>(frame);
}

Switch::Switch(const gfx::Rect& frame)
    : Control({ frame.origin, size })
{
    setBackgroundColor(std::nullopt);
}

void Switch::setOn(bool on, bool)
{
    m_on = on;
    setNeedsDisplay();
}

void Switch::toggle()
{
    if (!isEnabled())
        return;
    setOn(!m_on);
    sendActionsForControlEvents(ControlEvent::ValueChanged);
}

void Switch::touchesEnded(const TouchSet& touches, const Event& event)
{
    bool inside = isTouchInside();
    Control::touchesEnded(touches, event);
    if (inside)
        toggle();
}

void Switch::drawRect(gfx::GraphicsContext& context, const gfx::Rect&)
{
    auto area = bounds().insetBy(0.5, 0.5);
    double radius = area.height() / 2;
    context.setFillColor(m_on ? gfx::Color(0.0, 0.45, 0.9) : gfx::Color::grey(0.93));
    context.beginPath();
    context.addRoundedRect(area, radius);
    context.fillPath();
    context.setStrokeColor(gfx::Color::grey(0.55));
    context.setLineWidth(1);
    context.beginPath();
    context.addRoundedRect(area, radius);
    context.strokePath();
    double knob = area.height();
    gfx::Rect knobRect { m_on ? area.maxX() - knob : area.minX(), area.minY(), knob, knob };
    gfx::Rect labelRect { m_on ? area.minX() : area.minX() + knob, area.minY(), area.width() - knob, area.height() };
    context.drawText(m_on ? "ON" : "OFF", labelRect.insetBy(0, 5), gfx::Font::boldSystemFont(14), m_on ? gfx::Color::white() : gfx::Color::grey(0.4),
        gfx::TextAlignment::Center);
    context.setFillColor(gfx::Color::white());
    context.beginPath();
    context.addRoundedRect(knobRect, knob / 2);
    context.fillPath();
    context.beginPath();
    context.addRoundedRect(knobRect, knob / 2);
    context.strokePath();
}

std::string Switch::treeAttributes() const
{
    auto control = Control::treeAttributes();
    return std::string(m_on ? "on" : "off") + (control.empty() ? "" : " " + control);
}

}
