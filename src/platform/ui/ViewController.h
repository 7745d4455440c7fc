#pragma once

#include "platform/ui/Application.h"
#include "platform/ui/Responder.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui {

class BarButtonItem;
class NavigationController;
class NavigationItem;
class TabBarController;
class TabBarItem;
class View;

// Numbered as the platform numbered them; stored for callers, every style covers the screen.
enum class ModalTransitionStyle {
    CoverVertical = 0,
    FlipHorizontal = 1,
    CrossDissolve = 2,
    PartialCurl = 3,
};

enum class ModalPresentationStyle {
    FullScreen = 0,
    PageSheet = 1,
    FormSheet = 2,
    CurrentContext = 3,
};

enum class AppearanceState {
    Disappeared,
    Appearing,
    Appeared,
    Disappearing,
};

// A screen's controller: it loads its view on first use and hears when the view appears and
// disappears. Controllers present others modally (one at a time) and live inside containers
// (navigation and tab-bar controllers).
//
// Links: a presented controller has a presenting controller and no parent; a controller inside a
// container has that container as its parent. A presentation asked for by a controller inside a
// container is made by the outermost container.
//
// Callback order. Presenting C over P: P viewWillDisappear, C viewWillAppear at once; on the next
// turn of the main run loop (when the transition ends) P's view leaves the window, then
// P viewDidDisappear, C viewDidAppear and the completion. Dismissing C: P's view comes back,
// C viewWillDisappear, P viewWillAppear at once; on the next turn C's view leaves the window, the
// links are cleared, then C viewDidDisappear, P viewDidAppear and the completion. Pushing and
// popping in a navigation controller on screen follow the same pattern.
class ViewController : public Responder {
public:
    static std::shared_ptr<ViewController> create();
    ViewController();
    ~ViewController() override;

    std::string_view className() const override { return "ViewController"; }

    // The view, loaded on first use through loadView() and then viewDidLoad().
    std::shared_ptr<View> view();
    bool isViewLoaded() const { return static_cast<bool>(m_view); }
    void setView(std::shared_ptr<View>);
    // Makes a plain view in the screen's application frame; containers make their own.
    virtual void loadView();
    virtual void viewDidLoad() { }

    virtual void viewWillAppear(bool /* animated */) { }
    virtual void viewDidAppear(bool /* animated */) { }
    virtual void viewWillDisappear(bool /* animated */) { }
    virtual void viewDidDisappear(bool /* animated */) { }

    // Sets the navigation item's title and the tab-bar item's title too.
    const std::string& title() const { return m_title; }
    void setTitle(std::string);
    std::shared_ptr<NavigationItem> navigationItem();
    std::shared_ptr<TabBarItem> tabBarItem();
    void setTabBarItem(std::shared_ptr<TabBarItem>);
    const std::vector<std::shared_ptr<BarButtonItem>>& toolbarItems() const { return m_toolbarItems; }
    void setToolbarItems(std::vector<std::shared_ptr<BarButtonItem>>, bool animated = false);

    // Links.
    std::shared_ptr<ViewController> parentViewController() const { return m_parent.lock(); }
    // This controller's presenting controller, or its container's.
    std::shared_ptr<ViewController> presentingViewController() const;
    // What this controller, or its container, presents.
    std::shared_ptr<ViewController> presentedViewController() const;
    std::shared_ptr<ViewController> modalViewController() const { return presentedViewController(); }
    std::shared_ptr<NavigationController> navigationController() const;
    std::shared_ptr<TabBarController> tabBarController() const;
    const std::vector<std::shared_ptr<ViewController>>& childViewControllers() const { return m_children; }
    void addChildViewController(std::shared_ptr<ViewController>);
    void removeFromParentViewController();
    virtual void willMoveToParentViewController(ViewController*) { }
    virtual void didMoveToParentViewController(ViewController*) { }

    // Modal presentation. A second presentation while one is shown (or still going away) is refused
    // and logged; the refused completion never runs.
    void presentViewController(std::shared_ptr<ViewController>, bool animated, std::function<void()> completion = {});
    void presentModalViewController(std::shared_ptr<ViewController> controller, bool animated)
    {
        presentViewController(std::move(controller), animated);
    }
    // Dismisses what this controller presents or, when it presents nothing, the presentation it
    // belongs to (together with everything presented above it). A dismissal already under way
    // ignores further requests.
    void dismissViewController(bool animated, std::function<void()> completion = {});
    void dismissModalViewController(bool animated) { dismissViewController(animated); }
    bool isBeingPresented() const { return m_beingPresented; }
    bool isBeingDismissed() const { return m_beingDismissed; }

    ModalTransitionStyle modalTransitionStyle() const { return m_transitionStyle; }
    void setModalTransitionStyle(ModalTransitionStyle style) { m_transitionStyle = style; }
    ModalPresentationStyle modalPresentationStyle() const { return m_presentationStyle; }
    void setModalPresentationStyle(ModalPresentationStyle style) { m_presentationStyle = style; }

    virtual bool shouldAutorotateToInterfaceOrientation(InterfaceOrientation orientation) const
    {
        return orientation == InterfaceOrientation::Portrait;
    }
    InterfaceOrientation interfaceOrientation() const;

    // The view's superview, or the parent or presenting controller when the view is not shown.
    std::shared_ptr<Responder> nextResponder() const override;

    // The appearance callbacks with the platform's guards: a controller that has appeared does not
    // appear again, and its visible children (see childrenForAppearance) follow it.
    void beginAppearanceTransition(bool appearing, bool animated);
    void endAppearanceTransition();
    AppearanceState appearanceState() const { return m_appearanceState; }
    // A window showing this controller as its root: appears now, has appeared on the next turn.
    void appearInWindow();

protected:
    // The children whose views are on screen with this controller's view; containers answer their
    // visible child.
    virtual std::vector<std::shared_ptr<ViewController>> childrenForAppearance() const;
    // Runs the task on the next turn of the main run loop, if this controller is still alive.
    void afterTransition(std::function<void(ViewController&)>);

private:
    ViewController& presentationHost();
    bool isShownInWindow() const;
    void coverView();
    void uncoverView(View* above);
    void finishPresentation(const std::shared_ptr<ViewController>& presented, std::function<void()> completion);
    void finishDismissal(std::vector<std::shared_ptr<ViewController>> stack, std::function<void()> completion);

    std::shared_ptr<View> m_view;
    std::string m_title;
    std::shared_ptr<NavigationItem> m_navigationItem;
    std::shared_ptr<TabBarItem> m_tabBarItem;
    std::vector<std::shared_ptr<BarButtonItem>> m_toolbarItems;

    std::weak_ptr<ViewController> m_parent;
    std::vector<std::shared_ptr<ViewController>> m_children;
    std::weak_ptr<ViewController> m_presenting;
    std::shared_ptr<ViewController> m_presented;
    bool m_beingPresented = false;
    bool m_beingDismissed = false;
    ModalTransitionStyle m_transitionStyle = ModalTransitionStyle::CoverVertical;
    ModalPresentationStyle m_presentationStyle = ModalPresentationStyle::FullScreen;

    // Where this controller's view went while a full-screen presentation covered it.
    std::weak_ptr<View> m_coveredSuperview;

    AppearanceState m_appearanceState = AppearanceState::Disappeared;
    bool m_appearanceAnimated = false;
    std::vector<std::weak_ptr<ViewController>> m_appearanceChildren;
};

}
