#include "platform/ui/Action.h"

namespace ui {

Action::Action(std::string name, Handler handler)
    : m_name(std::move(name))
    , m_handler(std::move(handler))
{
}

bool Action::send(const fnd::Id& sender) const
{
    if (!m_handler || !targetIsAlive())
        return false;
    // Copy first: the handler may replace the action that holds it.
    Handler handler = m_handler;
    handler(sender);
    return true;
}

}
