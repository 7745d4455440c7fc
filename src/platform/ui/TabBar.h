#pragma once

#include "platform/ui/TabBarItem.h"
#include "platform/ui/View.h"

#include <functional>
#include <vector>

namespace ui {

// The bar of tabs at the bottom of a tab-bar controller: one button per item, side by side in
// equal widths; the selected one is lit.
class TabBar : public View {
public:
    static std::shared_ptr<TabBar> create(const gfx::Rect& frame = {});
    explicit TabBar(const gfx::Rect& frame = {});

    std::string_view className() const override { return "TabBar"; }

    const std::vector<fnd::Ref<TabBarItem>>& items() const { return m_items; }
    void setItems(std::vector<fnd::Ref<TabBarItem>>, bool animated = false);
    fnd::Ref<TabBarItem> selectedItem() const { return m_selectedItem.lock(); }
    void setSelectedItem(const fnd::Ref<TabBarItem>&);

    // What a tap on an item does; a tab-bar controller selects the item's controller.
    void setSelectionHandler(std::function<void(size_t index)> handler) { m_selectionHandler = std::move(handler); }
    void selectItemAtIndex(size_t);

    void layoutSubviews() override;
    void drawRect(gfx::GraphicsContext&, const gfx::Rect&) override;

private:
    void rebuildButtons();

    std::vector<fnd::Ref<TabBarItem>> m_items;
    std::weak_ptr<TabBarItem> m_selectedItem;
    std::vector<std::shared_ptr<View>> m_buttons;
    std::function<void(size_t)> m_selectionHandler;
    bool m_buttonsOutdated = true;
};

}
