#include "platform/ui/TabBarButton.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/TextLayout.h"

namespace ui {

TabBarButton::TabBarButton(fnd::Ref<TabBarItem> item, std::function<bool()> isSelected, std::function<void()> select)
    : m_item(std::move(item))
    , m_isSelected(std::move(isSelected))
    , m_select(std::move(select))
{
    setOpaque(false);
    setEnabled(m_item->isEnabled());
    // The button owns the action, so it never outlives the button.
    addTargetActionForControlEvents(Action("select", [this](const fnd::Id&) { m_select(); }), ControlEvent::TouchUpInside);
}

void TabBarButton::drawRect(gfx::GraphicsContext& context, const gfx::Rect&)
{
    auto area = bounds();
    bool selected = m_isSelected();
    if (selected) {
        context.setFillColor(gfx::Color(1, 1, 1, 0.15));
        context.beginPath();
        context.addRoundedRect(area.insetBy(2, 2), 4);
        context.fillPath();
    }
    auto color = selected ? gfx::Color(0.2, 0.6, 1) : gfx::Color::grey(0.6);
    if (auto& image = m_item->image()) {
        auto size = image->size();
        double scale = size.height > 30 ? 30 / size.height : 1;
        context.drawImage(*image, { area.midX() - size.width * scale / 2, area.minY() + 3, size.width * scale, size.height * scale });
    }
    auto font = gfx::Font::boldSystemFont(10);
    double height = gfx::TextLayout::sizeOfLine(m_item->title(), font).height;
    context.drawText(m_item->title(), { area.minX(), area.maxY() - height - 2, area.size.width, height }, font, color, gfx::TextAlignment::Center);
}

void TabBarButton::collectPressTargets(PressTargets& targets)
{
    if (m_item->title().empty())
        return;
    PressTarget target;
    target.kind = PressTarget::Kind::BarItem;
    target.texts = { m_item->title() };
    target.enabled = m_item->isEnabled();
    target.description = "tab \"" + m_item->title() + "\"";
    std::weak_ptr<TabBarButton> weakThis = sharedAs<TabBarButton>();
    target.press = [weakThis] {
        if (auto button = weakThis.lock())
            button->m_select();
    };
    targets.push_back(std::move(target));
}

std::string TabBarButton::treeAttributes() const
{
    return "title=\"" + m_item->title() + "\"" + (m_isSelected() ? " selected" : "");
}

}
