#include "platform/ui/Event.h"

#include "platform/ui/Touch.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

namespace ui {

Event::Event(TouchSet allTouches, double timestamp)
    : m_allTouches(std::move(allTouches))
    , m_timestamp(timestamp)
{
}

TouchSet Event::touchesForView(const View& view) const
{
    TouchSet result;
    for (auto& touch : m_allTouches) {
        if (touch->isDelivered() && touch->view().get() == &view)
            result.add(touch);
    }
    return result;
}

TouchSet Event::touchesForWindow(const Window& window) const
{
    TouchSet result;
    for (auto& touch : m_allTouches) {
        if (touch->window().get() == &window)
            result.add(touch);
    }
    return result;
}

}
