#include "platform/ui/Control.h"

#include "platform/ui/Event.h"
#include "platform/ui/Touch.h"

#include <algorithm>

namespace ui {

Control::Control(const gfx::Rect& frame)
    : View(frame)
{
}

void Control::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    setNeedsDisplay();
}

void Control::setSelected(bool selected)
{
    if (selected == m_selected)
        return;
    m_selected = selected;
    setNeedsDisplay();
}

void Control::setHighlighted(bool highlighted)
{
    if (highlighted == m_highlighted)
        return;
    m_highlighted = highlighted;
    setNeedsDisplay();
}

unsigned Control::state() const
{
    unsigned state = ControlState::Normal;
    if (m_highlighted)
        state |= ControlState::Highlighted;
    if (!m_enabled)
        state |= ControlState::Disabled;
    if (m_selected)
        state |= ControlState::Selected;
    return state;
}

void Control::addTargetActionForControlEvents(Action action, unsigned events)
{
    if (action.isEmpty() || !events)
        return;
    // The same target and operation for the same events is registered once.
    for (auto& registration : m_registrations) {
        if (registration.action.targetAddress() == action.targetAddress() && registration.action.name() == action.name()
            && action.hasTarget()) {
            registration.events |= events;
            return;
        }
    }
    m_registrations.push_back({ std::move(action), events });
}

void Control::removeTargetActionForControlEvents(const void* target, std::string_view name, unsigned events)
{
    for (auto& registration : m_registrations) {
        bool targetMatches = !target || registration.action.targetAddress() == target;
        bool nameMatches = name.empty() || registration.action.name() == name;
        if (targetMatches && nameMatches)
            registration.events &= ~events;
    }
    std::erase_if(m_registrations, [](auto& registration) { return registration.events == 0; });
}

std::vector<std::string> Control::actionsForTargetForControlEvent(const void* target, unsigned event) const
{
    std::vector<std::string> names;
    for (auto& registration : m_registrations) {
        if (registration.action.targetAddress() == target && (registration.events & event))
            names.push_back(registration.action.name());
    }
    return names;
}

unsigned Control::allControlEvents() const
{
    unsigned events = 0;
    for (auto& registration : m_registrations)
        events |= registration.events;
    return events;
}

void Control::sendActionsForControlEvents(unsigned events)
{
    auto protectedThis = sharedAs<Control>();
    fnd::Id sender = protectedThis;
    // Copied: an action may change the registrations.
    auto registrations = m_registrations;
    for (auto& registration : registrations) {
        if (registration.events & events)
            registration.action.send(sender);
    }
}

std::shared_ptr<View> Control::hitTest(gfx::Point point, const Event* event)
{
    if (!m_enabled)
        return nullptr;
    return View::hitTest(point, event);
}

bool Control::touchIsInside(const Touch& touch) const
{
    return bounds().containsPoint(touch.locationInView(this));
}

void Control::touchesBegan(const TouchSet& touches, const Event& event)
{
    auto touch = touches.anyObject();
    if (!touch || !m_enabled)
        return;
    auto protectedThis = sharedAs<Control>();
    m_tracking = beginTrackingWithTouch(*touch, event);
    m_touchInside = true;
    setHighlighted(true);
    sendActionsForControlEvents(touch->tapCount() > 1 ? ControlEvent::TouchDown | ControlEvent::TouchDownRepeat : ControlEvent::TouchDown);
}

void Control::touchesMoved(const TouchSet& touches, const Event& event)
{
    auto touch = touches.anyObject();
    if (!touch || !m_enabled)
        return;
    auto protectedThis = sharedAs<Control>();
    bool wasInside = m_touchInside;
    m_touchInside = touchIsInside(*touch);
    setHighlighted(m_touchInside);
    if (m_tracking)
        m_tracking = continueTrackingWithTouch(*touch, event);
    unsigned events = m_touchInside ? ControlEvent::TouchDragInside : ControlEvent::TouchDragOutside;
    if (wasInside != m_touchInside)
        events |= m_touchInside ? ControlEvent::TouchDragEnter : ControlEvent::TouchDragExit;
    sendActionsForControlEvents(events);
}

void Control::touchesEnded(const TouchSet& touches, const Event& event)
{
    auto touch = touches.anyObject();
    if (!touch)
        return;
    auto protectedThis = sharedAs<Control>();
    m_touchInside = touchIsInside(*touch);
    bool wasTracking = m_tracking;
    m_tracking = false;
    setHighlighted(false);
    if (wasTracking)
        endTrackingWithTouch(touch.get(), event);
    if (m_enabled)
        sendActionsForControlEvents(m_touchInside ? ControlEvent::TouchUpInside : ControlEvent::TouchUpOutside);
    m_touchInside = false;
}

void Control::touchesCancelled(const TouchSet&, const Event& event)
{
    auto protectedThis = sharedAs<Control>();
    bool wasTracking = m_tracking;
    m_tracking = false;
    m_touchInside = false;
    setHighlighted(false);
    if (wasTracking)
        cancelTrackingWithEvent(&event);
    sendActionsForControlEvents(ControlEvent::TouchCancel);
}

std::string Control::treeAttributes() const
{
    std::string text;
    if (!m_enabled)
        text += "disabled";
    if (m_selected)
        text += text.empty() ? "selected" : " selected";
    return text;
}

}
