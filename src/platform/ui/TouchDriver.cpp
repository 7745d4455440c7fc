#include "platform/ui/TouchDriver.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Application.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

double distance(gfx::Point a, gfx::Point b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

gfx::Point interpolate(gfx::Point from, gfx::Point to, double fraction)
{
    return { from.x + (to.x - from.x) * fraction, from.y + (to.y - from.y) * fraction };
}

double now()
{
    return fnd::Clock::current().uptime();
}

}

TouchDriver::TouchDriver() = default;
TouchDriver::~TouchDriver() = default;

std::shared_ptr<View> TouchDriver::hitView(gfx::Point point, std::shared_ptr<Window>* hitWindow) const
{
    Application::shared().layoutIfNeeded();
    auto windows = Application::shared().windowsInDrawingOrder();
    for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
        auto local = (*window)->convertPointFromScreen(point);
        if (auto view = (*window)->hitTest(local, nullptr)) {
            if (hitWindow)
                *hitWindow = *window;
            return view;
        }
    }
    return nullptr;
}

unsigned TouchDriver::tapCountFor(gfx::Point point, double time) const
{
    if (m_hasLastTap && time - m_lastTapTime <= multiTapInterval && distance(point, m_lastTapLocation) <= multiTapRadius)
        return m_lastTapCount + 1;
    return 1;
}

void TouchDriver::turnRunLoop()
{
    fnd::RunLoop::main().runUntilIdle();
}

std::vector<std::shared_ptr<Touch>> TouchDriver::touchDown(const std::vector<gfx::Point>& points)
{
    double time = now();
    std::vector<std::shared_ptr<Touch>> landed;
    for (auto point : points) {
        unsigned tapCount = points.size() == 1 && m_active.empty() ? tapCountFor(point, time) : 1;
        auto touch = std::make_shared<Touch>(m_nextIdentifier++, point, time, tapCount);
        std::shared_ptr<Window> window;
        auto view = hitView(point, &window);
        touch->setTargets(window, view);
        // A view that takes one touch at a time does not hear about a second one.
        if (view && !view->isMultipleTouchEnabled()) {
            bool busy = std::any_of(m_active.begin(), m_active.end(), [&](auto& other) { return other->isDelivered() && other->view() == view; })
                || std::any_of(landed.begin(), landed.end(), [&](auto& other) { return other->isDelivered() && other->view() == view; });
            if (busy)
                touch->setDelivered(false);
        }
        landed.push_back(touch);
        m_active.push_back(touch);
        m_startLocations.push_back(point);
    }
    deliver(TouchPhase::Began, landed);
    return landed;
}

std::shared_ptr<Touch> TouchDriver::touchDown(gfx::Point point)
{
    return touchDown(std::vector<gfx::Point> { point }).front();
}

void TouchDriver::touchMove(const std::vector<std::shared_ptr<Touch>>& touches, const std::vector<gfx::Point>& points)
{
    double time = now();
    std::vector<std::shared_ptr<Touch>> moved;
    for (size_t index = 0; index < touches.size() && index < points.size(); ++index) {
        auto& touch = touches[index];
        if (std::find(m_active.begin(), m_active.end(), touch) == m_active.end())
            continue;
        touch->moveTo(points[index], time);
        touch->setPhase(TouchPhase::Moved);
        moved.push_back(touch);
    }
    deliver(TouchPhase::Moved, moved);
}

void TouchDriver::touchUp(const std::vector<std::shared_ptr<Touch>>& touches)
{
    double time = now();
    std::vector<std::shared_ptr<Touch>> lifted;
    for (auto& touch : touches) {
        auto position = std::find(m_active.begin(), m_active.end(), touch);
        if (position == m_active.end())
            continue;
        size_t index = size_t(position - m_active.begin());
        touch->moveTo(touch->screenLocation(), time);
        touch->setPhase(TouchPhase::Ended);
        lifted.push_back(touch);
        // A single finger that stayed put is a tap the next one may count on.
        bool stayed = distance(touch->screenLocation(), m_startLocations[index]) <= multiTapRadius;
        m_hasLastTap = stayed && touches.size() == 1 && m_active.size() == 1;
        if (m_hasLastTap) {
            m_lastTapLocation = touch->screenLocation();
            m_lastTapTime = time;
            m_lastTapCount = touch->tapCount();
        }
    }
    deliver(TouchPhase::Ended, lifted);
    for (auto& touch : lifted) {
        auto position = std::find(m_active.begin(), m_active.end(), touch);
        if (position == m_active.end())
            continue;
        m_startLocations.erase(m_startLocations.begin() + (position - m_active.begin()));
        m_active.erase(position);
    }
}

void TouchDriver::touchCancel(const std::vector<std::shared_ptr<Touch>>& touches)
{
    std::vector<std::shared_ptr<Touch>> cancelled;
    for (auto& touch : touches) {
        if (std::find(m_active.begin(), m_active.end(), touch) == m_active.end())
            continue;
        touch->setPhase(TouchPhase::Cancelled);
        cancelled.push_back(touch);
    }
    m_hasLastTap = false;
    deliver(TouchPhase::Cancelled, cancelled);
    for (auto& touch : cancelled) {
        auto position = std::find(m_active.begin(), m_active.end(), touch);
        m_startLocations.erase(m_startLocations.begin() + (position - m_active.begin()));
        m_active.erase(position);
    }
}

void TouchDriver::deliver(TouchPhase phase, const std::vector<std::shared_ptr<Touch>>& changed)
{
    if (changed.empty())
        return;
    // The other active touches stand still in this event.
    for (auto& touch : m_active) {
        if (std::find(changed.begin(), changed.end(), touch) == changed.end())
            touch->setPhase(TouchPhase::Stationary);
    }
    Event event(TouchSet(m_active), now());
    std::vector<std::shared_ptr<Window>> windows;
    for (auto& touch : changed) {
        auto window = touch->window();
        if (window && std::find(windows.begin(), windows.end(), window) == windows.end())
            windows.push_back(window);
    }
    for (auto& window : windows) {
        TouchSet touches;
        for (auto& touch : changed) {
            if (touch->window() == window)
                touches.add(touch);
        }
        window->sendTouches(phase, touches, event);
    }
    turnRunLoop();
}

void TouchDriver::tap(gfx::Point point)
{
    auto touch = touchDown(point);
    touchUp({ touch });
}

void TouchDriver::doubleTap(gfx::Point point)
{
    tap(point);
    tap(point);
}

void TouchDriver::drag(gfx::Point from, gfx::Point to, int steps)
{
    steps = std::max(steps, 1);
    auto touch = touchDown(from);
    for (int step = 1; step <= steps; ++step)
        touchMove({ touch }, { interpolate(from, to, double(step) / steps) });
    touchUp({ touch });
}

void TouchDriver::twoFingerGesture(gfx::Point a0, gfx::Point b0, gfx::Point a1, gfx::Point b1, int steps)
{
    steps = std::max(steps, 1);
    auto touches = touchDown(std::vector<gfx::Point> { a0, b0 });
    for (int step = 1; step <= steps; ++step) {
        double fraction = double(step) / steps;
        touchMove(touches, { interpolate(a0, a1, fraction), interpolate(b0, b1, fraction) });
    }
    touchUp(touches);
}

void TouchDriver::pinch(gfx::Point center, double startDistance, double endDistance, int steps)
{
    twoFingerGesture({ center.x - startDistance / 2, center.y }, { center.x + startDistance / 2, center.y }, { center.x - endDistance / 2, center.y },
        { center.x + endDistance / 2, center.y }, steps);
}

void TouchDriver::rotate(gfx::Point center, double radius, double startAngle, double endAngle, int steps)
{
    steps = std::max(steps, 1);
    auto at = [&](double angle, double side) {
        return gfx::Point(center.x + side * radius * std::cos(angle), center.y + side * radius * std::sin(angle));
    };
    auto touches = touchDown(std::vector<gfx::Point> { at(startAngle, -1), at(startAngle, 1) });
    for (int step = 1; step <= steps; ++step) {
        double angle = startAngle + (endAngle - startAngle) * double(step) / steps;
        touchMove(touches, { at(angle, -1), at(angle, 1) });
    }
    touchUp(touches);
}

}
