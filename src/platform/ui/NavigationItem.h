#pragma once

#include "platform/foundation/Object.h"

#include <functional>
#include <memory>
#include <string>

namespace ui {

class BarButtonItem;
class View;

// What a navigation bar shows for one controller: a title (or a view in its place), buttons at
// the left and right, and the back button that the next controller's bar shows for this one.
class NavigationItem : public fnd::Object {
public:
    static fnd::Ref<NavigationItem> createWithTitle(std::string title);

    std::string_view className() const override { return "NavigationItem"; }

    const std::string& title() const { return m_title; }
    void setTitle(std::string);
    const std::shared_ptr<View>& titleView() const { return m_titleView; }
    void setTitleView(std::shared_ptr<View>);
    const std::string& prompt() const { return m_prompt; }
    void setPrompt(std::string);

    const fnd::Ref<BarButtonItem>& leftBarButtonItem() const { return m_leftItem; }
    void setLeftBarButtonItem(fnd::Ref<BarButtonItem>, bool animated = false);
    const fnd::Ref<BarButtonItem>& rightBarButtonItem() const { return m_rightItem; }
    void setRightBarButtonItem(fnd::Ref<BarButtonItem>, bool animated = false);
    // Shown by the bar of the controller pushed after this one; none means a button with this
    // item's title (or "Back").
    const fnd::Ref<BarButtonItem>& backBarButtonItem() const { return m_backItem; }
    void setBackBarButtonItem(fnd::Ref<BarButtonItem>);
    bool hidesBackButton() const { return m_hidesBackButton; }
    void setHidesBackButton(bool, bool animated = false);

    // For the bar that shows the item.
    void setChangeHandler(std::function<void()> handler) { m_changeHandler = std::move(handler); }

private:
    void changed();

    std::string m_title;
    std::shared_ptr<View> m_titleView;
    std::string m_prompt;
    fnd::Ref<BarButtonItem> m_leftItem;
    fnd::Ref<BarButtonItem> m_rightItem;
    fnd::Ref<BarButtonItem> m_backItem;
    bool m_hidesBackButton = false;
    std::function<void()> m_changeHandler;
};

}
