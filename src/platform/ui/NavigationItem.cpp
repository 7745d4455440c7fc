#include "platform/ui/NavigationItem.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/View.h"

namespace ui {

fnd::Ref<NavigationItem> NavigationItem::createWithTitle(std::string title)
{
    auto item = std::make_shared<NavigationItem>();
    item->m_title = std::move(title);
    return item;
}

void NavigationItem::setTitle(std::string title)
{
    m_title = std::move(title);
    changed();
}

void NavigationItem::setTitleView(std::shared_ptr<View> view)
{
    m_titleView = std::move(view);
    changed();
}

void NavigationItem::setPrompt(std::string prompt)
{
    m_prompt = std::move(prompt);
    changed();
}

void NavigationItem::setLeftBarButtonItem(fnd::Ref<BarButtonItem> item, bool)
{
    m_leftItem = std::move(item);
    changed();
}

void NavigationItem::setRightBarButtonItem(fnd::Ref<BarButtonItem> item, bool)
{
    m_rightItem = std::move(item);
    changed();
}

void NavigationItem::setBackBarButtonItem(fnd::Ref<BarButtonItem> item)
{
    m_backItem = std::move(item);
    changed();
}

void NavigationItem::setHidesBackButton(bool hides, bool)
{
    m_hidesBackButton = hides;
    changed();
}

void NavigationItem::changed()
{
    if (m_changeHandler) {
        auto handler = m_changeHandler;
        handler();
    }
}

}
