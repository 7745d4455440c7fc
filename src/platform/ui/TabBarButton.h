#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/TabBarItem.h"

#include <functional>

namespace ui {

// One tab of a tab bar: the item's image above its title, lit while selected. A tap selects it.
class TabBarButton : public Control {
public:
    TabBarButton(fnd::Ref<TabBarItem>, std::function<bool()> isSelected, std::function<void()> select);

    std::string_view className() const override { return "TabBarButton"; }

    void drawRect(gfx::GraphicsContext&, const gfx::Rect&) override;
    void collectPressTargets(PressTargets&) override;
    std::string treeAttributes() const override;

private:
    fnd::Ref<TabBarItem> m_item;
    std::function<bool()> m_isSelected;
    std::function<void()> m_select;
};

}
