#include "platform/ui/Window.h"

#include "platform/ui/Application.h"
#include "platform/ui/Event.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Touch.h"
#include "platform/ui/TouchSet.h"
#include "platform/ui/ViewController.h"

#include <algorithm>

namespace ui {

std::shared_ptr<Window> Window::create(const gfx::Rect& frame)
{
    return std::make_shared<Window>(frame);
}

std::shared_ptr<Window> Window::create()
{
    return create(Screen::mainScreen().bounds());
}

Window::Window(const gfx::Rect& frame)
    : View(frame)
{
    View::setHidden(true);
}

Window::~Window() = default;

void Window::setHidden(bool hidden)
{
    bool wasHidden = isHidden();
    View::setHidden(hidden);
    if (wasHidden && !hidden) {
        Application::shared().registerWindow(*this);
        if (m_rootViewController)
            m_rootViewController->appearInWindow();
    }
    if (hidden && isKeyWindow())
        Application::shared().windowResignedKey(*this);
}

void Window::makeKeyWindow()
{
    Application::shared().registerWindow(*this);
    Application::shared().setKeyWindow(*this);
}

void Window::makeKeyAndVisible()
{
    makeKeyWindow();
    setHidden(false);
}

bool Window::isKeyWindow() const
{
    return Application::shared().keyWindow().get() == this;
}

void Window::setRootViewController(std::shared_ptr<ViewController> controller)
{
    if (controller == m_rootViewController)
        return;
    auto previous = std::move(m_rootViewController);
    m_rootViewController = std::move(controller);
    if (previous) {
        bool onScreen = !isHidden();
        if (onScreen)
            previous->beginAppearanceTransition(false, false);
        if (previous->isViewLoaded())
            previous->view()->removeFromSuperview();
        if (onScreen)
            previous->endAppearanceTransition();
    }
    if (!m_rootViewController)
        return;
    auto view = m_rootViewController->view();
    view->setFrame(Screen::mainScreen().applicationFrame());
    addSubview(view);
    if (!isHidden())
        m_rootViewController->appearInWindow();
}

void Window::setFirstResponder(const std::shared_ptr<Responder>& responder)
{
    m_firstResponder = responder;
}

void Window::sendTouches(TouchPhase phase, const TouchSet& touches, const Event& event)
{
    // Group by view, keeping the order in which the views first appear among the touches.
    std::vector<std::pair<std::shared_ptr<View>, TouchSet>> groups;
    for (auto& touch : touches) {
        if (!touch->isDelivered())
            continue;
        auto view = touch->view();
        if (!view)
            continue;
        auto group = std::find_if(groups.begin(), groups.end(), [&](auto& entry) { return entry.first == view; });
        if (group == groups.end())
            groups.push_back({ view, TouchSet() }), group = groups.end() - 1;
        group->second.add(touch);
    }
    for (auto& [view, viewTouches] : groups) {
        switch (phase) {
        case TouchPhase::Began:
            view->touchesBegan(viewTouches, event);
            break;
        case TouchPhase::Moved:
            view->touchesMoved(viewTouches, event);
            break;
        case TouchPhase::Ended:
            view->touchesEnded(viewTouches, event);
            break;
        case TouchPhase::Cancelled:
            view->touchesCancelled(viewTouches, event);
            break;
        case TouchPhase::Stationary:
            break;
        }
    }
}

std::shared_ptr<Responder> Window::nextResponder() const
{
    return Application::sharedPointer();
}

}
