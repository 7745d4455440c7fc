#include "platform/ui/NavigationController.h"

#include "platform/foundation/Log.h"
#include "platform/ui/ContainerView.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Toolbar.h"

#include <algorithm>

namespace ui {

namespace {

constexpr double navigationBarHeight = 44;
constexpr double toolbarHeight = 44;

}

std::shared_ptr<NavigationController> NavigationController::createWithRootViewController(std::shared_ptr<ViewController> root)
{
    auto controller = std::make_shared<NavigationController>();
    if (root)
        controller->pushViewController(std::move(root), false);
    return controller;
}

NavigationController::NavigationController() = default;

std::shared_ptr<NavigationBar> NavigationController::navigationBar()
{
    if (!m_navigationBar) {
        m_navigationBar = NavigationBar::create({ 0, 0, Screen::mainScreen().bounds().size.width, navigationBarHeight });
        std::weak_ptr<NavigationController> weakThis = sharedAs<NavigationController>();
        m_navigationBar->setBackHandler([weakThis] {
            if (auto controller = weakThis.lock())
                controller->popViewControllerAnimated(true);
        });
        std::vector<fnd::Ref<NavigationItem>> items;
        for (auto& controller : m_stack)
            items.push_back(controller->navigationItem());
        m_navigationBar->setItems(std::move(items));
    }
    return m_navigationBar;
}

std::shared_ptr<Toolbar> NavigationController::toolbar()
{
    if (!m_toolbar) {
        m_toolbar = Toolbar::create({ 0, 0, Screen::mainScreen().bounds().size.width, toolbarHeight });
        m_toolbar->setHidden(m_toolbarHidden);
        if (auto top = topViewController())
            m_toolbar->setItems(top->toolbarItems());
    }
    return m_toolbar;
}

void NavigationController::loadView()
{
    std::weak_ptr<NavigationController> weakThis = sharedAs<NavigationController>();
    auto container = std::make_shared<ContainerView>(Screen::mainScreen().applicationFrame(), [weakThis] {
        if (auto controller = weakThis.lock())
            controller->layOutContent();
    });
    container->addSubview(navigationBar());
    container->addSubview(toolbar());
    setView(container);
    showTop(nullptr, false, false);
}

std::shared_ptr<ViewController> NavigationController::topViewController() const
{
    return m_stack.empty() ? nullptr : m_stack.back();
}

std::shared_ptr<ViewController> NavigationController::visibleViewController() const
{
    if (auto presented = presentedViewController())
        return presented;
    return topViewController();
}

bool NavigationController::isOnScreen() const
{
    return appearanceState() == AppearanceState::Appeared || appearanceState() == AppearanceState::Appearing;
}

std::vector<std::shared_ptr<ViewController>> NavigationController::childrenForAppearance() const
{
    if (auto top = topViewController())
        return { top };
    return {};
}

void NavigationController::layOutContent()
{
    if (!isViewLoaded())
        return;
    auto area = view()->bounds();
    double top = area.minY();
    double bottom = area.maxY();
    m_navigationBar->setHidden(m_navigationBarHidden);
    m_navigationBar->setFrame({ area.minX(), top, area.size.width, navigationBarHeight });
    if (!m_navigationBarHidden)
        top += navigationBarHeight;
    m_toolbar->setHidden(m_toolbarHidden);
    m_toolbar->setFrame({ area.minX(), bottom - toolbarHeight, area.size.width, toolbarHeight });
    if (!m_toolbarHidden)
        bottom -= toolbarHeight;
    if (m_shownView)
        m_shownView->setFrame({ area.minX(), top, area.size.width, bottom - top });
}

void NavigationController::showTop(const std::shared_ptr<ViewController>& previous, bool animated, bool notify)
{
    auto top = topViewController();
    // The coming view loads before anyone hears of the change.
    if (top && isViewLoaded())
        top->view();
    if (notify && isOnScreen()) {
        if (previous)
            previous->beginAppearanceTransition(false, animated);
        if (top)
            top->beginAppearanceTransition(true, animated);
    }
    if (isViewLoaded()) {
        auto container = view();
        if (m_shownView && (!top || m_shownView != top->view()))
            m_shownView->removeFromSuperview();
        m_shownView = top ? top->view() : nullptr;
        if (m_shownView && m_shownView->superviewPointer() != container.get())
            container->insertSubviewBelowSubview(m_shownView, *m_navigationBar);
        m_toolbar->setItems(top ? top->toolbarItems() : std::vector<std::shared_ptr<BarButtonItem>> {});
        container->setNeedsLayout();
        layOutContent();
    }
    if (notify && isOnScreen()) {
        std::weak_ptr<ViewController> weakPrevious = previous;
        std::weak_ptr<ViewController> weakTop = top;
        afterTransition([weakPrevious, weakTop](ViewController&) {
            if (auto controller = weakPrevious.lock())
                controller->endAppearanceTransition();
            if (auto controller = weakTop.lock())
                controller->endAppearanceTransition();
        });
    }
}

void NavigationController::pushViewController(std::shared_ptr<ViewController> controller, bool animated)
{
    if (!controller)
        return;
    if (controller->parentViewController() || controller->presentingViewController() || controller.get() == this) {
        fnd::Log::format("Refusing to push %@: it is already in a container or on screen", controller->className());
        return;
    }
    auto previous = topViewController();
    addChildViewController(controller);
    m_stack.push_back(controller);
    if (m_navigationBar)
        m_navigationBar->pushNavigationItem(controller->navigationItem(), animated);
    showTop(previous, animated, true);
    controller->didMoveToParentViewController(this);
}

std::shared_ptr<ViewController> NavigationController::popViewControllerAnimated(bool animated)
{
    if (m_stack.size() < 2)
        return nullptr;
    auto popped = m_stack.back();
    m_stack.pop_back();
    if (m_navigationBar)
        m_navigationBar->popNavigationItem(animated);
    showTop(popped, animated, true);
    popped->willMoveToParentViewController(nullptr);
    popped->removeFromParentViewController();
    return popped;
}

std::vector<std::shared_ptr<ViewController>> NavigationController::popToViewController(const std::shared_ptr<ViewController>& target, bool animated)
{
    auto position = std::find(m_stack.begin(), m_stack.end(), target);
    if (position == m_stack.end() || position + 1 == m_stack.end())
        return {};
    auto previous = m_stack.back();
    std::vector<std::shared_ptr<ViewController>> popped(position + 1, m_stack.end());
    m_stack.erase(position + 1, m_stack.end());
    if (m_navigationBar) {
        for (size_t count = 0; count < popped.size(); ++count)
            m_navigationBar->popNavigationItem(animated);
    }
    showTop(previous, animated, true);
    for (auto& controller : popped) {
        controller->willMoveToParentViewController(nullptr);
        controller->removeFromParentViewController();
    }
    return popped;
}

std::vector<std::shared_ptr<ViewController>> NavigationController::popToRootViewControllerAnimated(bool animated)
{
    if (m_stack.empty())
        return {};
    return popToViewController(m_stack.front(), animated);
}

void NavigationController::setViewControllers(std::vector<std::shared_ptr<ViewController>> controllers, bool animated)
{
    auto previous = topViewController();
    for (auto& controller : m_stack) {
        if (std::find(controllers.begin(), controllers.end(), controller) == controllers.end())
            controller->removeFromParentViewController();
    }
    m_stack.clear();
    std::vector<fnd::Ref<NavigationItem>> items;
    for (auto& controller : controllers) {
        if (!controller || controller.get() == this)
            continue;
        if (controller->parentViewController().get() != this)
            addChildViewController(controller);
        m_stack.push_back(controller);
        items.push_back(controller->navigationItem());
    }
    if (m_navigationBar)
        m_navigationBar->setItems(std::move(items), animated);
    showTop(previous == topViewController() ? nullptr : previous, animated, previous != topViewController());
}

void NavigationController::setNavigationBarHidden(bool hidden, bool)
{
    m_navigationBarHidden = hidden;
    if (isViewLoaded())
        layOutContent();
}

void NavigationController::setToolbarHidden(bool hidden, bool)
{
    m_toolbarHidden = hidden;
    if (isViewLoaded())
        layOutContent();
}

void NavigationController::toolbarItemsChanged(ViewController& controller, bool animated)
{
    if (m_toolbar && topViewController().get() == &controller)
        m_toolbar->setItems(controller.toolbarItems(), animated);
}

}
