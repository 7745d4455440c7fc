#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace ui {

class Touch;

// An unordered set of touches as the device hands them to responders; iteration goes from the
// oldest touch to the newest, so results do not depend on addresses.
class TouchSet {
public:
    TouchSet() = default;
    explicit TouchSet(std::vector<std::shared_ptr<Touch>>);

    size_t count() const { return m_touches.size(); }
    bool isEmpty() const { return m_touches.empty(); }
    bool contains(const Touch&) const;
    // Some touch of the set (the oldest), or nothing for an empty set.
    std::shared_ptr<Touch> anyObject() const;

    void add(std::shared_ptr<Touch>);
    void remove(const Touch&);
    TouchSet subtracting(const TouchSet&) const;

    auto begin() const { return m_touches.begin(); }
    auto end() const { return m_touches.end(); }
    const std::vector<std::shared_ptr<Touch>>& touches() const { return m_touches; }

private:
    std::vector<std::shared_ptr<Touch>> m_touches;
};

}
