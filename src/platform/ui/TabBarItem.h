#pragma once

#include "platform/ui/BarItem.h"

namespace ui {

// One tab of a tab bar: a title and an image, and an optional badge text.
class TabBarItem : public BarItem {
public:
    static fnd::Ref<TabBarItem> createWithTitle(std::string title, fnd::Ref<gfx::Image> image, int tag);

    std::string_view className() const override { return "TabBarItem"; }

    const std::string& badgeValue() const { return m_badgeValue; }
    void setBadgeValue(std::string);

private:
    std::string m_badgeValue;
};

}
