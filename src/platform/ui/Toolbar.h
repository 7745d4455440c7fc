#pragma once

#include "platform/ui/Bar.h"
#include "platform/ui/BarButtonItem.h"

#include <optional>
#include <vector>

namespace ui {

// A bar of buttons, usually at the bottom of a screen. Items are laid out from the left, six points
// in from each end and eight apart; flexible spaces share what is left.
class Toolbar : public Bar {
public:
    static std::shared_ptr<Toolbar> create(const gfx::Rect& frame = {});
    explicit Toolbar(const gfx::Rect& frame = {});

    std::string_view className() const override { return "Toolbar"; }

    const std::vector<fnd::Ref<BarButtonItem>>& items() const { return m_items; }
    void setItems(std::vector<fnd::Ref<BarButtonItem>>, bool animated = false);
    // The view that shows an item (its own view, or the bar's button for it), once laid out.
    std::shared_ptr<View> viewForItem(const BarButtonItem&);

    void layoutSubviews() override;
    gfx::Size sizeThatFits(gfx::Size) const override;
    std::string treeAttributes() const override;

private:
    void appearanceChanged() override { itemsChanged(); }
    void itemsChanged();
    void rebuildItemViews();
    // Widths from the items; flexible spaces share what is left.
    void layOutItemViews();

    std::vector<fnd::Ref<BarButtonItem>> m_items;
    std::vector<std::shared_ptr<View>> m_itemViews;
    bool m_itemViewsOutdated = true;
};

}
