#include "platform/ui/Touch.h"

#include "platform/ui/View.h"
#include "platform/ui/Window.h"

namespace ui {

Touch::Touch(uint64_t identifier, gfx::Point screenLocation, double timestamp, unsigned tapCount)
    : m_identifier(identifier)
    , m_screenLocation(screenLocation)
    , m_previousScreenLocation(screenLocation)
    , m_timestamp(timestamp)
    , m_tapCount(tapCount)
{
}

void Touch::moveTo(gfx::Point screenLocation, double timestamp)
{
    m_previousScreenLocation = m_screenLocation;
    m_screenLocation = screenLocation;
    m_timestamp = timestamp;
}

void Touch::setTargets(const std::shared_ptr<Window>& window, const std::shared_ptr<View>& view)
{
    m_window = window;
    m_view = view;
}

gfx::Point Touch::convert(gfx::Point screenLocation, const View* view) const
{
    if (view)
        return view->convertPointFromScreen(screenLocation);
    if (auto window = m_window.lock())
        return window->convertPointFromScreen(screenLocation);
    return screenLocation;
}

gfx::Point Touch::locationInView(const View* view) const
{
    return convert(m_screenLocation, view);
}

gfx::Point Touch::previousLocationInView(const View* view) const
{
    return convert(m_previousScreenLocation, view);
}

}
