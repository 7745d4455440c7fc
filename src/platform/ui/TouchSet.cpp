#include "platform/ui/TouchSet.h"

#include "platform/ui/Touch.h"

#include <algorithm>

namespace ui {

TouchSet::TouchSet(std::vector<std::shared_ptr<Touch>> touches)
{
    for (auto& touch : touches)
        add(std::move(touch));
}

bool TouchSet::contains(const Touch& touch) const
{
    return std::any_of(m_touches.begin(), m_touches.end(), [&](auto& member) { return member.get() == &touch; });
}

std::shared_ptr<Touch> TouchSet::anyObject() const
{
    return m_touches.empty() ? nullptr : m_touches.front();
}

void TouchSet::add(std::shared_ptr<Touch> touch)
{
    if (!touch || contains(*touch))
        return;
    auto position = std::upper_bound(m_touches.begin(), m_touches.end(), touch, [](auto& a, auto& b) {
        return a->identifier() < b->identifier();
    });
    m_touches.insert(position, std::move(touch));
}

void TouchSet::remove(const Touch& touch)
{
    std::erase_if(m_touches, [&](auto& member) { return member.get() == &touch; });
}

TouchSet TouchSet::subtracting(const TouchSet& other) const
{
    TouchSet result;
    for (auto& touch : m_touches) {
        if (!other.contains(*touch))
            result.m_touches.push_back(touch);
    }
    return result;
}

}
