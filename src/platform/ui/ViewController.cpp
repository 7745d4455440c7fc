#include "platform/ui/ViewController.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/TabBarItem.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace ui {

std::shared_ptr<ViewController> ViewController::create()
{
    return std::make_shared<ViewController>();
}

ViewController::ViewController() = default;

ViewController::~ViewController()
{
    for (auto& child : m_children)
        child->m_parent.reset();
}

std::shared_ptr<View> ViewController::view()
{
    if (!m_view) {
        loadView();
        if (!m_view)
            setView(View::create(Screen::mainScreen().applicationFrame()));
        viewDidLoad();
    }
    return m_view;
}

void ViewController::setView(std::shared_ptr<View> view)
{
    if (m_view)
        m_view->setViewController(nullptr);
    m_view = std::move(view);
    if (m_view)
        m_view->setViewController(sharedAs<ViewController>());
}

void ViewController::loadView()
{
    setView(View::create(Screen::mainScreen().applicationFrame()));
}

void ViewController::setTitle(std::string title)
{
    m_title = std::move(title);
    navigationItem()->setTitle(m_title);
    if (m_tabBarItem)
        m_tabBarItem->setTitle(m_title);
}

std::shared_ptr<NavigationItem> ViewController::navigationItem()
{
    if (!m_navigationItem)
        m_navigationItem = NavigationItem::createWithTitle(m_title);
    return m_navigationItem;
}

std::shared_ptr<TabBarItem> ViewController::tabBarItem()
{
    if (!m_tabBarItem)
        m_tabBarItem = TabBarItem::createWithTitle(m_title, nullptr, 0);
    return m_tabBarItem;
}

void ViewController::setTabBarItem(std::shared_ptr<TabBarItem> item)
{
    m_tabBarItem = std::move(item);
}

void ViewController::setToolbarItems(std::vector<std::shared_ptr<BarButtonItem>> items, bool animated)
{
    m_toolbarItems = std::move(items);
    if (auto navigation = navigationController())
        navigation->toolbarItemsChanged(*this, animated);
}

std::shared_ptr<ViewController> ViewController::presentingViewController() const
{
    for (const ViewController* controller = this; controller; controller = controller->m_parent.lock().get()) {
        if (auto presenting = controller->m_presenting.lock())
            return presenting;
    }
    return nullptr;
}

std::shared_ptr<ViewController> ViewController::presentedViewController() const
{
    for (const ViewController* controller = this; controller; controller = controller->m_parent.lock().get()) {
        if (controller->m_presented)
            return controller->m_presented;
    }
    return nullptr;
}

std::shared_ptr<NavigationController> ViewController::navigationController() const
{
    for (auto parent = m_parent.lock(); parent; parent = parent->m_parent.lock()) {
        if (auto navigation = std::dynamic_pointer_cast<NavigationController>(parent))
            return navigation;
    }
    return nullptr;
}

std::shared_ptr<TabBarController> ViewController::tabBarController() const
{
    for (auto parent = m_parent.lock(); parent; parent = parent->m_parent.lock()) {
        if (auto tabs = std::dynamic_pointer_cast<TabBarController>(parent))
            return tabs;
    }
    return nullptr;
}

void ViewController::addChildViewController(std::shared_ptr<ViewController> child)
{
    if (!child || child.get() == this)
        return;
    if (child->m_parent.lock().get() == this)
        return;
    child->removeFromParentViewController();
    child->willMoveToParentViewController(this);
    child->m_parent = sharedAs<ViewController>();
    m_children.push_back(child);
}

void ViewController::removeFromParentViewController()
{
    auto parent = m_parent.lock();
    if (!parent)
        return;
    auto protectedThis = sharedAs<ViewController>();
    std::erase_if(parent->m_children, [&](auto& child) { return child.get() == this; });
    m_parent.reset();
    didMoveToParentViewController(nullptr);
}

InterfaceOrientation ViewController::interfaceOrientation() const
{
    return Application::shared().statusBarOrientation();
}

std::shared_ptr<Responder> ViewController::nextResponder() const
{
    if (m_view) {
        if (auto superview = m_view->superview())
            return superview;
    }
    if (auto parent = m_parent.lock())
        return parent;
    return m_presenting.lock();
}

std::vector<std::shared_ptr<ViewController>> ViewController::childrenForAppearance() const
{
    std::vector<std::shared_ptr<ViewController>> visible;
    for (auto& child : m_children) {
        if (child->isViewLoaded() && m_view && child->m_view->isDescendantOfView(m_view.get()))
            visible.push_back(child);
    }
    return visible;
}

bool ViewController::isShownInWindow() const
{
    return m_view && m_view->windowPointer();
}

void ViewController::beginAppearanceTransition(bool appearing, bool animated)
{
    if (appearing) {
        if (m_appearanceState == AppearanceState::Appearing || m_appearanceState == AppearanceState::Appeared)
            return;
    } else {
        if (m_appearanceState == AppearanceState::Disappearing)
            return;
        // A view put in a window by hand has appeared without being told.
        if (m_appearanceState == AppearanceState::Disappeared && !isShownInWindow())
            return;
    }
    m_appearanceState = appearing ? AppearanceState::Appearing : AppearanceState::Disappearing;
    m_appearanceAnimated = animated;
    if (appearing)
        view();
    auto protectedThis = sharedAs<ViewController>();
    if (appearing)
        viewWillAppear(animated);
    else
        viewWillDisappear(animated);
    m_appearanceChildren.clear();
    for (auto& child : childrenForAppearance()) {
        m_appearanceChildren.push_back(child);
        child->beginAppearanceTransition(appearing, animated);
    }
}

void ViewController::endAppearanceTransition()
{
    auto protectedThis = sharedAs<ViewController>();
    if (m_appearanceState == AppearanceState::Appearing) {
        m_appearanceState = AppearanceState::Appeared;
        viewDidAppear(m_appearanceAnimated);
    } else if (m_appearanceState == AppearanceState::Disappearing) {
        m_appearanceState = AppearanceState::Disappeared;
        viewDidDisappear(m_appearanceAnimated);
    } else {
        return;
    }
    auto children = std::move(m_appearanceChildren);
    m_appearanceChildren.clear();
    for (auto& weakChild : children) {
        if (auto child = weakChild.lock())
            child->endAppearanceTransition();
    }
}

void ViewController::appearInWindow()
{
    beginAppearanceTransition(true, false);
    afterTransition([](ViewController& controller) { controller.endAppearanceTransition(); });
}

void ViewController::afterTransition(std::function<void(ViewController&)> task)
{
    std::weak_ptr<ViewController> weakThis = sharedAs<ViewController>();
    fnd::RunLoop::main().post([weakThis, task = std::move(task)] {
        if (auto controller = weakThis.lock())
            task(*controller);
    });
}

ViewController& ViewController::presentationHost()
{
    ViewController* host = this;
    while (auto parent = host->m_parent.lock())
        host = parent.get();
    return *host;
}

void ViewController::presentViewController(std::shared_ptr<ViewController> controller, bool animated, std::function<void()> completion)
{
    if (!controller)
        return;
    auto& host = presentationHost();
    if (host.m_presented) {
        fnd::Log::format("Refusing to present %@ from %@: it already presents %@", controller->className(), host.className(),
            host.m_presented->className());
        return;
    }
    if (controller.get() == &host || controller->m_presenting.lock() || controller->m_parent.lock()) {
        fnd::Log::format("Refusing to present %@: it is already on screen or inside a container", controller->className());
        return;
    }

    auto presenter = host.sharedAs<ViewController>();
    host.m_presented = controller;
    controller->m_presenting = presenter;
    controller->m_beingPresented = true;

    auto view = controller->view();
    view->setFrame(Screen::mainScreen().applicationFrame());
    host.beginAppearanceTransition(false, animated);
    controller->beginAppearanceTransition(true, animated);

    std::shared_ptr<Window> window = host.m_view ? host.m_view->window() : nullptr;
    if (!window)
        window = Application::shared().keyWindow();
    if (window)
        window->addSubview(view);
    else
        fnd::Log::format("Presenting %@ from %@, which is in no window", controller->className(), host.className());

    host.afterTransition([controller, completion = std::move(completion)](ViewController& presenter) {
        presenter.finishPresentation(controller, completion);
    });
}

void ViewController::finishPresentation(const std::shared_ptr<ViewController>& presented, std::function<void()> completion)
{
    // A presentation dismissed before it finished leaves the presenter's view in place.
    if (m_presented == presented && !presented->m_beingDismissed)
        coverView();
    endAppearanceTransition();
    presented->m_beingPresented = false;
    presented->endAppearanceTransition();
    if (completion)
        completion();
}

void ViewController::coverView()
{
    if (!m_view || !m_presented || !m_presented->m_view)
        return;
    auto superview = m_view->superview();
    if (!superview || m_view->windowPointer() != m_presented->m_view->windowPointer())
        return;
    m_coveredSuperview = superview;
    m_view->removeFromSuperview();
}

void ViewController::uncoverView(View* above)
{
    auto superview = m_coveredSuperview.lock();
    m_coveredSuperview.reset();
    if (!superview || !m_view || m_view->superviewPointer())
        return;
    if (above && above->superviewPointer() == superview.get())
        superview->insertSubviewBelowSubview(m_view, *above);
    else
        superview->addSubview(m_view);
}

void ViewController::dismissViewController(bool animated, std::function<void()> completion)
{
    auto& host = presentationHost();
    std::shared_ptr<ViewController> presenter;
    std::shared_ptr<ViewController> dismissed;
    if (host.m_presented) {
        presenter = host.sharedAs<ViewController>();
        dismissed = host.m_presented;
    } else if (auto presenting = host.m_presenting.lock()) {
        presenter = presenting;
        dismissed = host.sharedAs<ViewController>();
    } else {
        return;
    }
    if (dismissed->m_beingDismissed)
        return;

    // Everything presented above the dismissed controller goes with it; the topmost is the one seen.
    std::vector<std::shared_ptr<ViewController>> stack;
    for (auto controller = dismissed; controller; controller = controller->m_presented) {
        controller->m_beingDismissed = true;
        stack.push_back(controller);
    }
    auto& topmost = stack.back();
    presenter->uncoverView(topmost->m_view.get());
    topmost->beginAppearanceTransition(false, animated);
    presenter->beginAppearanceTransition(true, animated);

    presenter->afterTransition([stack = std::move(stack), completion = std::move(completion)](ViewController& presenter) {
        presenter.finishDismissal(stack, completion);
    });
}

void ViewController::finishDismissal(std::vector<std::shared_ptr<ViewController>> stack, std::function<void()> completion)
{
    for (auto controller = stack.rbegin(); controller != stack.rend(); ++controller) {
        if ((*controller)->m_view)
            (*controller)->m_view->removeFromSuperview();
    }
    if (!stack.empty() && m_presented == stack.front())
        m_presented.reset();
    for (auto& controller : stack) {
        controller->m_presenting.reset();
        controller->m_presented.reset();
        controller->m_coveredSuperview.reset();
        controller->m_beingDismissed = false;
    }
    for (auto controller = stack.rbegin(); controller != stack.rend(); ++controller)
        (*controller)->endAppearanceTransition();
    endAppearanceTransition();
    if (completion)
        completion();
}

}
