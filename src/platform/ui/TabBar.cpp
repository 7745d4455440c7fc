#include "platform/ui/TabBar.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/TextLayout.h"
#include "platform/ui/Control.h"

#include <cmath>

namespace ui {

namespace {

// One tab: the item's image above its title.
class TabBarButton : public Control {
public:
    TabBarButton(fnd::Ref<TabBarItem> item, std::function<bool()> isSelected, std::function<void()> select)
        : m_item(std::move(item))
        , m_isSelected(std::move(isSelected))
        , m_select(std::move(select))
    {
        setOpaque(false);
        setEnabled(m_item->isEnabled());
        addTargetActionForControlEvents(Action("select", [this](const fnd::Id&) { m_select(); }), ControlEvent::TouchUpInside);
    }

    std::string_view className() const override { return "TabBarButton"; }

    void drawRect(gfx::GraphicsContext& context, const gfx::Rect&) override
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
            gfx::Rect imageRect { area.midX() - size.width * scale / 2, area.minY() + 3, size.width * scale, size.height * scale };
            context.drawImage(*image, imageRect);
        }
        auto font = gfx::Font::boldSystemFont(10);
        double height = gfx::TextLayout::sizeOfLine(m_item->title(), font).height;
        context.drawText(m_item->title(), { area.minX(), area.maxY() - height - 2, area.size.width, height }, font, color, gfx::TextAlignment::Center);
    }

    void collectPressTargets(PressTargets& targets) override
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

    std::string treeAttributes() const override { return "title=\"" + m_item->title() + "\"" + (m_isSelected() ? " selected" : ""); }

private:
    fnd::Ref<TabBarItem> m_item;
    std::function<bool()> m_isSelected;
    std::function<void()> m_select;
};

}

std::shared_ptr<TabBar> TabBar::create(const gfx::Rect& frame)
{
    return std::make_shared<TabBar>(frame);
}

TabBar::TabBar(const gfx::Rect& frame)
    : View(frame)
{
}

void TabBar::setItems(std::vector<fnd::Ref<TabBarItem>> items, bool)
{
    std::erase(items, nullptr);
    m_items = std::move(items);
    std::weak_ptr<TabBar> weakThis = sharedAs<TabBar>();
    for (auto& item : m_items) {
        item->setChangeHandler([weakThis] {
            if (auto bar = weakThis.lock()) {
                bar->m_buttonsOutdated = true;
                bar->setNeedsLayout();
            }
        });
    }
    m_buttonsOutdated = true;
    setNeedsLayout();
}

void TabBar::setSelectedItem(const fnd::Ref<TabBarItem>& item)
{
    m_selectedItem = item;
    for (auto& button : m_buttons)
        button->setNeedsDisplay();
}

void TabBar::selectItemAtIndex(size_t index)
{
    if (index >= m_items.size() || !m_items[index]->isEnabled())
        return;
    if (m_selectionHandler) {
        auto handler = m_selectionHandler;
        handler(index);
    } else {
        setSelectedItem(m_items[index]);
    }
}

void TabBar::rebuildButtons()
{
    for (auto& button : m_buttons)
        button->removeFromSuperview();
    m_buttons.clear();
    std::weak_ptr<TabBar> weakThis = sharedAs<TabBar>();
    for (size_t index = 0; index < m_items.size(); ++index) {
        std::weak_ptr<TabBarItem> weakItem = m_items[index];
        auto button = std::make_shared<TabBarButton>(
            m_items[index],
            [weakThis, weakItem] {
                auto bar = weakThis.lock();
                return bar && !weakItem.expired() && bar->selectedItem() == weakItem.lock();
            },
            [weakThis, index] {
                if (auto bar = weakThis.lock())
                    bar->selectItemAtIndex(index);
            });
        addSubview(button);
        m_buttons.push_back(button);
    }
    m_buttonsOutdated = false;
}

void TabBar::layoutSubviews()
{
    if (m_buttonsOutdated)
        rebuildButtons();
    if (m_buttons.empty())
        return;
    auto area = bounds();
    double width = std::floor(area.size.width / double(m_buttons.size()));
    for (size_t index = 0; index < m_buttons.size(); ++index)
        m_buttons[index]->setFrame({ area.minX() + width * double(index), area.minY(), width, area.size.height });
}

void TabBar::drawRect(gfx::GraphicsContext& context, const gfx::Rect&)
{
    auto area = bounds();
    context.setFillColor(gfx::Color::grey(0.1));
    context.fillRect(area);
}

}
