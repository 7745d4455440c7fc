#include "platform/ui/TabBarItem.h"

namespace ui {

fnd::Ref<TabBarItem> TabBarItem::createWithTitle(std::string title, fnd::Ref<gfx::Image> image, int tag)
{
    auto item = std::make_shared<TabBarItem>();
    item->setTitle(std::move(title));
    item->setImage(std::move(image));
    item->setTag(tag);
    return item;
}

void TabBarItem::setBadgeValue(std::string value)
{
    m_badgeValue = std::move(value);
    changed();
}

}
