#include "platform/ui/TabBarController.h"

#include "platform/ui/ContainerView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TabBar.h"
#include "platform/ui/TabBarItem.h"

#include <algorithm>

namespace ui {

namespace {

constexpr double tabBarHeight = 49;

}

std::shared_ptr<TabBarController> TabBarController::create()
{
    return std::make_shared<TabBarController>();
}

TabBarController::TabBarController() = default;

std::shared_ptr<TabBar> TabBarController::tabBar()
{
    if (!m_tabBar) {
        m_tabBar = TabBar::create({ 0, 0, Screen::mainScreen().bounds().size.width, tabBarHeight });
        std::weak_ptr<TabBarController> weakThis = sharedAs<TabBarController>();
        m_tabBar->setSelectionHandler([weakThis](size_t index) {
            if (auto controller = weakThis.lock())
                controller->setSelectedIndex(index);
        });
        std::vector<fnd::Ref<TabBarItem>> items;
        for (auto& controller : m_controllers)
            items.push_back(controller->tabBarItem());
        m_tabBar->setItems(std::move(items));
        if (auto selected = selectedViewController())
            m_tabBar->setSelectedItem(selected->tabBarItem());
    }
    return m_tabBar;
}

void TabBarController::loadView()
{
    std::weak_ptr<TabBarController> weakThis = sharedAs<TabBarController>();
    auto container = std::make_shared<ContainerView>(Screen::mainScreen().applicationFrame(), [weakThis] {
        if (auto controller = weakThis.lock())
            controller->layOutContent();
    });
    container->addSubview(tabBar());
    setView(container);
    showSelected(nullptr, false);
}

std::shared_ptr<ViewController> TabBarController::selectedViewController() const
{
    return m_selectedIndex < m_controllers.size() ? m_controllers[m_selectedIndex] : nullptr;
}

std::vector<std::shared_ptr<ViewController>> TabBarController::childrenForAppearance() const
{
    if (auto selected = selectedViewController())
        return { selected };
    return {};
}

void TabBarController::setViewControllers(std::vector<std::shared_ptr<ViewController>> controllers, bool)
{
    auto previous = selectedViewController();
    for (auto& controller : m_controllers)
        controller->removeFromParentViewController();
    m_controllers.clear();
    std::vector<fnd::Ref<TabBarItem>> items;
    for (auto& controller : controllers) {
        if (!controller || controller.get() == this)
            continue;
        addChildViewController(controller);
        m_controllers.push_back(controller);
        items.push_back(controller->tabBarItem());
    }
    if (m_selectedIndex >= m_controllers.size())
        m_selectedIndex = 0;
    if (m_tabBar)
        m_tabBar->setItems(std::move(items));
    showSelected(previous == selectedViewController() ? nullptr : previous, previous != selectedViewController());
}

void TabBarController::setSelectedIndex(size_t index)
{
    if (index >= m_controllers.size() || index == m_selectedIndex)
        return;
    auto previous = selectedViewController();
    m_selectedIndex = index;
    showSelected(previous, true);
}

void TabBarController::setSelectedViewController(const std::shared_ptr<ViewController>& controller)
{
    auto position = std::find(m_controllers.begin(), m_controllers.end(), controller);
    if (position != m_controllers.end())
        setSelectedIndex(size_t(position - m_controllers.begin()));
}

void TabBarController::showSelected(const std::shared_ptr<ViewController>& previous, bool notify)
{
    auto selected = selectedViewController();
    bool onScreen = appearanceState() == AppearanceState::Appeared || appearanceState() == AppearanceState::Appearing;
    if (selected && isViewLoaded())
        selected->view();
    if (notify && onScreen) {
        if (previous)
            previous->beginAppearanceTransition(false, false);
        if (selected)
            selected->beginAppearanceTransition(true, false);
    }
    if (m_tabBar)
        m_tabBar->setSelectedItem(selected ? selected->tabBarItem() : nullptr);
    if (isViewLoaded()) {
        auto container = view();
        if (m_shownView && (!selected || m_shownView != selected->view()))
            m_shownView->removeFromSuperview();
        m_shownView = selected ? selected->view() : nullptr;
        if (m_shownView && m_shownView->superviewPointer() != container.get())
            container->insertSubviewBelowSubview(m_shownView, *m_tabBar);
        layOutContent();
    }
    if (notify && onScreen) {
        std::weak_ptr<ViewController> weakPrevious = previous;
        std::weak_ptr<ViewController> weakSelected = selected;
        afterTransition([weakPrevious, weakSelected](ViewController&) {
            if (auto controller = weakPrevious.lock())
                controller->endAppearanceTransition();
            if (auto controller = weakSelected.lock())
                controller->endAppearanceTransition();
        });
    }
}

void TabBarController::layOutContent()
{
    if (!isViewLoaded())
        return;
    auto area = view()->bounds();
    m_tabBar->setFrame({ area.minX(), area.maxY() - tabBarHeight, area.size.width, tabBarHeight });
    if (m_shownView)
        m_shownView->setFrame({ area.minX(), area.minY(), area.size.width, area.size.height - tabBarHeight });
}

}
