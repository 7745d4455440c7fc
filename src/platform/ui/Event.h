#pragma once

#include "platform/ui/TouchSet.h"

namespace ui {

class View;
class Window;

// A touch event: every touch on the screen at one moment, with the touches of each view.
class Event {
public:
    Event() = default;
    Event(TouchSet allTouches, double timestamp);

    const TouchSet& allTouches() const { return m_allTouches; }
    TouchSet touchesForView(const View&) const;
    TouchSet touchesForWindow(const Window&) const;
    double timestamp() const { return m_timestamp; }

private:
    TouchSet m_allTouches;
    double m_timestamp = 0;
};

}
