#pragma once

#include "platform/ui/Action.h"
#include "platform/ui/Touch.h"
#include "platform/ui/View.h"

#include <vector>

namespace ui {

// Bits of the events a control sends actions for, with the platform's values.
namespace ControlEvent {
constexpr unsigned TouchDown = 1 << 0;
constexpr unsigned TouchDownRepeat = 1 << 1;
constexpr unsigned TouchDragInside = 1 << 2;
constexpr unsigned TouchDragOutside = 1 << 3;
constexpr unsigned TouchDragEnter = 1 << 4;
constexpr unsigned TouchDragExit = 1 << 5;
constexpr unsigned TouchUpInside = 1 << 6;
constexpr unsigned TouchUpOutside = 1 << 7;
constexpr unsigned TouchCancel = 1 << 8;
constexpr unsigned ValueChanged = 1 << 12;
constexpr unsigned EditingDidBegin = 1 << 16;
constexpr unsigned EditingChanged = 1 << 17;
constexpr unsigned EditingDidEnd = 1 << 18;
constexpr unsigned EditingDidEndOnExit = 1 << 19;
constexpr unsigned AllTouchEvents = 0x00000FFF;
constexpr unsigned AllEditingEvents = 0x000F0000;
constexpr unsigned AllEvents = 0xFFFFFFFF;
}

// Bits of a control's state, with the platform's values.
namespace ControlState {
constexpr unsigned Normal = 0;
constexpr unsigned Highlighted = 1 << 0;
constexpr unsigned Disabled = 1 << 1;
constexpr unsigned Selected = 1 << 2;
}

enum class ControlContentVerticalAlignment {
    Center = 0,
    Top = 1,
    Bottom = 2,
    Fill = 3,
};

enum class ControlContentHorizontalAlignment {
    Center = 0,
    Left = 1,
    Right = 2,
    Fill = 3,
};

// A view that turns touches into actions: a touch that lands highlights it and sends the touch-down
// actions, one that lifts inside sends the touch-up-inside actions. A disabled control takes no
// touches (they go to the view beneath).
class Control : public View {
public:
    explicit Control(const gfx::Rect& frame = {});

    std::string_view className() const override { return "Control"; }

    bool isEnabled() const { return m_enabled; }
    virtual void setEnabled(bool);
    bool isSelected() const { return m_selected; }
    virtual void setSelected(bool);
    bool isHighlighted() const { return m_highlighted; }
    virtual void setHighlighted(bool);
    // The ControlState bits of the current state.
    unsigned state() const;
    bool isTracking() const { return m_tracking; }
    bool isTouchInside() const { return m_touchInside; }

    ControlContentVerticalAlignment contentVerticalAlignment() const { return m_verticalAlignment; }
    void setContentVerticalAlignment(ControlContentVerticalAlignment alignment) { m_verticalAlignment = alignment; }
    ControlContentHorizontalAlignment contentHorizontalAlignment() const { return m_horizontalAlignment; }
    void setContentHorizontalAlignment(ControlContentHorizontalAlignment alignment) { m_horizontalAlignment = alignment; }

    // Target and action for the events; the control sends itself as the sender.
    void addTargetActionForControlEvents(Action, unsigned events);
    // Removes the actions of that target (any target when null) and name (any when empty).
    void removeTargetActionForControlEvents(const void* target, std::string_view name, unsigned events);
    // The names of the actions registered for a target and an event.
    std::vector<std::string> actionsForTargetForControlEvent(const void* target, unsigned event) const;
    unsigned allControlEvents() const;
    void sendActionsForControlEvents(unsigned events);

    std::shared_ptr<View> hitTest(gfx::Point, const Event*) override;
    void touchesBegan(const TouchSet&, const Event&) override;
    void touchesMoved(const TouchSet&, const Event&) override;
    void touchesEnded(const TouchSet&, const Event&) override;
    void touchesCancelled(const TouchSet&, const Event&) override;

    std::string treeAttributes() const override;

protected:
    // Tracking hooks for subclasses (switches, sliders); answering false stops the tracking.
    virtual bool beginTrackingWithTouch(const Touch&, const Event&) { return true; }
    virtual bool continueTrackingWithTouch(const Touch&, const Event&) { return true; }
    virtual void endTrackingWithTouch(const Touch*, const Event&) { }
    virtual void cancelTrackingWithEvent(const Event*) { }

private:
    struct Registration {
        Action action;
        unsigned events;
    };

    bool touchIsInside(const Touch&) const;

    std::vector<Registration> m_registrations;
    bool m_enabled = true;
    bool m_selected = false;
    bool m_highlighted = false;
    bool m_tracking = false;
    bool m_touchInside = false;
    ControlContentVerticalAlignment m_verticalAlignment = ControlContentVerticalAlignment::Center;
    ControlContentHorizontalAlignment m_horizontalAlignment = ControlContentHorizontalAlignment::Center;
};

}
