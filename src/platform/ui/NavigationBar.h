#pragma once

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/BarStyle.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/View.h"

#include <functional>
#include <optional>
#include <vector>

namespace ui {

class Label;

// The bar at the top of a navigation controller: the top item's title in the middle, its left and
// right buttons, and a back button (titled after the item below) when there is an item below and
// the top item has no left button.
class NavigationBar : public View {
public:
    static std::shared_ptr<NavigationBar> create(const gfx::Rect& frame = {});
    explicit NavigationBar(const gfx::Rect& frame = {});

    std::string_view className() const override { return "NavigationBar"; }

    BarStyle barStyle() const { return m_barStyle; }
    void setBarStyle(BarStyle);
    std::optional<gfx::Color> tintColor() const { return m_tintColor; }
    void setTintColor(std::optional<gfx::Color>);
    bool isTranslucent() const { return m_translucent; }
    void setTranslucent(bool translucent) { m_translucent = translucent; }

    const std::vector<fnd::Ref<NavigationItem>>& items() const { return m_items; }
    void setItems(std::vector<fnd::Ref<NavigationItem>>, bool animated = false);
    void pushNavigationItem(fnd::Ref<NavigationItem>, bool animated = false);
    fnd::Ref<NavigationItem> popNavigationItem(bool animated = false);
    fnd::Ref<NavigationItem> topItem() const;
    fnd::Ref<NavigationItem> backItem() const;

    // What the back button does; a navigation controller pops its top controller. Without a handler
    // the bar pops its own top item.
    void setBackHandler(std::function<void()> handler) { m_backHandler = std::move(handler); }
    // The back button's title: the item below's back item title, else its title, else "Back".
    std::string backButtonTitle() const;
    // The button the bar shows on the left: the top item's left item, or the back button.
    fnd::Ref<BarButtonItem> shownLeftItem() const;

    void layoutSubviews() override;
    gfx::Size sizeThatFits(gfx::Size) const override;
    void drawRect(gfx::GraphicsContext&, const gfx::Rect&) override;
    std::string treeAttributes() const override;

private:
    void observe(const fnd::Ref<NavigationItem>&);
    void itemsChanged();
    void rebuildContent();
    void goBack();
    std::shared_ptr<View> makeItemView(const fnd::Ref<BarButtonItem>&);

    BarStyle m_barStyle = BarStyle::Default;
    std::optional<gfx::Color> m_tintColor;
    bool m_translucent = false;
    std::vector<fnd::Ref<NavigationItem>> m_items;
    std::function<void()> m_backHandler;

    fnd::Ref<BarButtonItem> m_backButtonItem;
    std::shared_ptr<View> m_leftView;
    std::shared_ptr<View> m_rightView;
    std::shared_ptr<View> m_titleView;
    std::shared_ptr<Label> m_titleLabel;
    bool m_contentOutdated = true;
};

}
