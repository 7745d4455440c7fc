#pragma once

#include "platform/ui/ViewController.h"

#include <memory>
#include <vector>

namespace ui {

class NavigationBar;
class Toolbar;

// A stack of controllers under a navigation bar, with an optional tool bar at the bottom that shows
// the top controller's toolbar items. The bar's back button pops.
class NavigationController : public ViewController {
public:
    static std::shared_ptr<NavigationController> createWithRootViewController(std::shared_ptr<ViewController>);
    NavigationController();

    std::string_view className() const override { return "NavigationController"; }

    const std::vector<std::shared_ptr<ViewController>>& viewControllers() const { return m_stack; }
    void setViewControllers(std::vector<std::shared_ptr<ViewController>>, bool animated = false);
    std::shared_ptr<ViewController> topViewController() const;
    // The top controller, or what it presents.
    std::shared_ptr<ViewController> visibleViewController() const;

    // A controller already in a container or on screen is refused (logged).
    void pushViewController(std::shared_ptr<ViewController>, bool animated);
    // Answers the popped controller; the root is never popped.
    std::shared_ptr<ViewController> popViewControllerAnimated(bool animated);
    std::vector<std::shared_ptr<ViewController>> popToRootViewControllerAnimated(bool animated);
    std::vector<std::shared_ptr<ViewController>> popToViewController(const std::shared_ptr<ViewController>&, bool animated);

    std::shared_ptr<NavigationBar> navigationBar();
    std::shared_ptr<Toolbar> toolbar();
    bool isNavigationBarHidden() const { return m_navigationBarHidden; }
    void setNavigationBarHidden(bool, bool animated = false);
    bool isToolbarHidden() const { return m_toolbarHidden; }
    void setToolbarHidden(bool, bool animated = false);

    void loadView() override;

    // For the controllers in the stack.
    void toolbarItemsChanged(ViewController&, bool animated);

protected:
    std::vector<std::shared_ptr<ViewController>> childrenForAppearance() const override;

private:
    void layOutContent();
    void showTop(const std::shared_ptr<ViewController>& previous, bool animated, bool notify);
    bool isOnScreen() const;

    std::vector<std::shared_ptr<ViewController>> m_stack;
    std::shared_ptr<NavigationBar> m_navigationBar;
    std::shared_ptr<Toolbar> m_toolbar;
    std::shared_ptr<View> m_shownView;
    bool m_navigationBarHidden = false;
    bool m_toolbarHidden = true;
};

}
