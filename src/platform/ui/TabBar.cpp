#include "platform/ui/TabBar.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/TabBarButton.h"

#include <cmath>

namespace ui {

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
