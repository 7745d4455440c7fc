#pragma once

#include "platform/ui/Bar.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/NavigationItem.h"

#include <functional>
#include <optional>
#include <vector>

namespace ui {

class Label;

// The bar at the top of a navigation controller: the top item's title in the middle, its left and
// right buttons, and a back button (titled after the item below) when there is an item below and
// the top item has no left button.
class NavigationBar : public Bar {
public:
    static std::shared_ptr<NavigationBar> create(const gfx::Rect& frame = {});
    explicit NavigationBar(const gfx::Rect& frame = {});

    std::string_view className() const override { return "NavigationBar"; }

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
    std::string treeAttributes() const override;

private:
    void appearanceChanged() override { itemsChanged(); }
    void observe(const fnd::Ref<NavigationItem>&);
    void itemsChanged();
    void rebuildContent();
    void goBack();
    std::shared_ptr<View> makeItemView(const fnd::Ref<BarButtonItem>&);

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
