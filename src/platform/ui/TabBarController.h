#pragma once

#include "platform/ui/ViewController.h"

#include <vector>

namespace ui {

class TabBar;

// Controllers side by side behind a tab bar; the selected one's view fills the space above it.
class TabBarController : public ViewController {
public:
    static std::shared_ptr<TabBarController> create();
    TabBarController();

    std::string_view className() const override { return "TabBarController"; }

    const std::vector<std::shared_ptr<ViewController>>& viewControllers() const { return m_controllers; }
    void setViewControllers(std::vector<std::shared_ptr<ViewController>>, bool animated = false);
    size_t selectedIndex() const { return m_selectedIndex; }
    void setSelectedIndex(size_t);
    std::shared_ptr<ViewController> selectedViewController() const;
    void setSelectedViewController(const std::shared_ptr<ViewController>&);

    std::shared_ptr<TabBar> tabBar();

    void loadView() override;

protected:
    std::vector<std::shared_ptr<ViewController>> childrenForAppearance() const override;

private:
    void layOutContent();
    void showSelected(const std::shared_ptr<ViewController>& previous, bool notify);

    std::vector<std::shared_ptr<ViewController>> m_controllers;
    size_t m_selectedIndex = 0;
    std::shared_ptr<TabBar> m_tabBar;
    std::shared_ptr<View> m_shownView;
};

}
