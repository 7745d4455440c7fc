#include "platform/ui/BarButtonView.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/TextLayout.h"

#include <cmath>

namespace ui {

namespace {

const gfx::Font itemFont = gfx::Font::boldSystemFont(12);
constexpr double iconWidth = 36;

bool isBordered(const BarButtonItem& item)
{
    return item.style() != BarButtonItemStyle::Plain;
}

}

BarButtonView::BarButtonView(fnd::Ref<BarButtonItem> item, gfx::Color textColor)
    : m_item(std::move(item))
    , m_textColor(textColor)
{
    setOpaque(false);
    setEnabled(m_item->isEnabled());
    std::weak_ptr<BarButtonItem> weakItem = m_item;
    addTargetActionForControlEvents(Action("press", [weakItem](const fnd::Id&) {
        if (auto item = weakItem.lock())
            item->press();
    }),
        ControlEvent::TouchUpInside);
}

double BarButtonView::preferredWidth(const BarButtonItem& item)
{
    if (item.width() > 0)
        return item.width();
    double padding = isBordered(item) ? 20 : 12;
    auto title = item.displayTitle();
    if (!title.empty())
        return std::max(std::ceil(gfx::TextLayout::sizeOfLine(title, itemFont).width) + padding, 32.0);
    if (item.image())
        return std::ceil(item.image()->size().width) + padding;
    return iconWidth;
}

void BarButtonView::drawRect(gfx::GraphicsContext& context, const gfx::Rect&)
{
    auto area = bounds();
    auto color = m_textColor;
    // A disabled item fades as a whole, face and title alike (the renderer restores the state).
    if (!isEnabled())
        context.setAlpha(context.alpha() * disabledAlpha);
    if (isBordered(*m_item)) {
        bool done = m_item->style() == BarButtonItemStyle::Done;
        context.setFillColor(done ? gfx::Color(0.16, 0.38, 0.82) : gfx::Color(1, 1, 1, isHighlighted() ? 0.35 : 0.15));
        context.beginPath();
        context.addRoundedRect(area.insetBy(0.5, 0.5), 5);
        context.fillPath();
        context.setStrokeColor(gfx::Color(0, 0, 0, 0.45));
        context.setLineWidth(1);
        context.beginPath();
        context.addRoundedRect(area.insetBy(0.5, 0.5), 5);
        context.strokePath();
        if (done)
            color = gfx::Color::white();
    }
    auto title = m_item->displayTitle();
    if (!title.empty()) {
        double height = gfx::TextLayout::sizeOfLine(title, itemFont).height;
        context.drawText(title, { area.minX(), area.midY() - height / 2, area.size.width, height }, itemFont, color, gfx::TextAlignment::Center);
        return;
    }
    if (auto& image = m_item->image()) {
        auto size = image->size();
        context.drawImage(*image, { std::floor(area.midX() - size.width / 2), std::floor(area.midY() - size.height / 2), size.width, size.height },
            gfx::BlendMode::Normal, context.alpha());
        return;
    }
    if (auto systemItem = m_item->systemItem()) {
        context.setStrokeColor(color);
        context.setFillColor(color);
        drawSystemIcon(context, *systemItem, area);
    }
}

void BarButtonView::drawSystemIcon(gfx::GraphicsContext& context, BarButtonSystemItem item, const gfx::Rect& area)
{
    gfx::Point middle { area.midX(), area.midY() };
    double size = std::min(16.0, area.size.height - 4);
    gfx::Rect box { middle.x - size / 2, middle.y - size / 2, size, size };
    context.setLineWidth(1.5);
    switch (item) {
    case BarButtonSystemItem::Compose:
        context.strokeRect(box);
        context.beginPath();
        context.moveTo({ box.minX() + 3, box.maxY() - 3 });
        context.addLineTo({ box.maxX() + 2, box.minY() - 2 });
        context.strokePath();
        break;
    case BarButtonSystemItem::Action:
        context.beginPath();
        context.moveTo({ box.minX() + 4, box.midY() });
        context.addLineTo({ box.minX(), box.midY() });
        context.addLineTo({ box.minX(), box.maxY() });
        context.addLineTo({ box.maxX(), box.maxY() });
        context.addLineTo({ box.maxX(), box.midY() });
        context.addLineTo({ box.maxX() - 4, box.midY() });
        context.moveTo({ middle.x, box.maxY() - 4 });
        context.addLineTo({ middle.x, box.minY() });
        context.moveTo({ middle.x - 4, box.minY() + 4 });
        context.addLineTo({ middle.x, box.minY() });
        context.addLineTo({ middle.x + 4, box.minY() + 4 });
        context.strokePath();
        break;
    case BarButtonSystemItem::Trash:
        context.strokeRect({ box.minX() + 2, box.minY() + 4, box.size.width - 4, box.size.height - 4 });
        context.beginPath();
        context.moveTo({ box.minX(), box.minY() + 2 });
        context.addLineTo({ box.maxX(), box.minY() + 2 });
        context.strokePath();
        break;
    case BarButtonSystemItem::Add:
        context.beginPath();
        context.moveTo({ middle.x, box.minY() });
        context.addLineTo({ middle.x, box.maxY() });
        context.moveTo({ box.minX(), middle.y });
        context.addLineTo({ box.maxX(), middle.y });
        context.strokePath();
        break;
    default: {
        // The other icons are drawn by their names, small.
        auto name = std::string(systemItemName(item));
        auto font = gfx::Font::systemFont(8);
        double height = gfx::TextLayout::sizeOfLine(name, font).height;
        context.drawText(name, { area.minX(), middle.y - height / 2, area.size.width, height }, font, m_textColor, gfx::TextAlignment::Center,
            gfx::LineBreakMode::Clip);
        break;
    }
    }
}

void BarButtonView::collectPressTargets(PressTargets& targets)
{
    auto names = m_item->pressNames();
    if (names.empty())
        return;
    PressTarget target;
    target.kind = PressTarget::Kind::BarItem;
    target.texts = names;
    target.enabled = m_item->isEnabled();
    target.description = "bar item \"" + names.front() + "\"";
    std::weak_ptr<BarButtonItem> weakItem = m_item;
    target.press = [weakItem] {
        if (auto item = weakItem.lock())
            item->press();
    };
    targets.push_back(std::move(target));
}

std::string BarButtonView::treeAttributes() const
{
    auto names = m_item->pressNames();
    std::string text = names.empty() ? std::string() : "item=\"" + names.front() + "\"";
    if (!m_item->action().name().empty())
        text += " action=" + m_item->action().name();
    if (!m_item->isEnabled())
        text += " disabled";
    return text;
}

}
