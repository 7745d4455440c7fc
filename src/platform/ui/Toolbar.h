#pragma once

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/BarStyle.h"
#include "platform/ui/View.h"

#include <optional>
#include <vector>

namespace ui {

// A bar of buttons, usually at the bottom of a screen. Items are laid out from the left, six points
// in from each end and eight apart; flexible spaces share what is left.
class Toolbar : public View {
public:
    static std::shared_ptr<Toolbar> create(const gfx::Rect& frame = {});
    explicit Toolbar(const gfx::Rect& frame = {});

    std::string_view className() const override { return "Toolbar"; }

    BarStyle barStyle() const { return m_barStyle; }
    void setBarStyle(BarStyle);
    std::optional<gfx::Color> tintColor() const { return m_tintColor; }
    void setTintColor(std::optional<gfx::Color>);
    bool isTranslucent() const { return m_translucent; }
    void setTranslucent(bool translucent) { m_translucent = translucent; }

    const std::vector<fnd::Ref<BarButtonItem>>& items() const { return m_items; }
    void setItems(std::vector<fnd::Ref<BarButtonItem>>, bool animated = false);
    // The view that shows an item (its own view, or the bar's button for it), once laid out.
    std::shared_ptr<View> viewForItem(const BarButtonItem&);

    void layoutSubviews() override;
    gfx::Size sizeThatFits(gfx::Size) const override;
    void drawRect(gfx::GraphicsContext&, const gfx::Rect&) override;
    std::string treeAttributes() const override;

private:
    void itemsChanged();
    void rebuildItemViews();
    // Widths from the items; flexible spaces share what is left.
    void layOutItemViews();

    BarStyle m_barStyle = BarStyle::Default;
    std::optional<gfx::Color> m_tintColor;
    bool m_translucent = false;
    std::vector<fnd::Ref<BarButtonItem>> m_items;
    std::vector<std::shared_ptr<View>> m_itemViews;
    bool m_itemViewsOutdated = true;
};

}
