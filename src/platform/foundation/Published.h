#pragma once

#include <memory>
#include <mutex>
#include <utility>

namespace fnd {

// A value that one thread finishes and publishes in one store and other threads read: a reader
// sees either nothing or the whole value, with everything written before the store (the lock
// gives release on the store and acquire on the load). The value must not change after
// publication; publish an immutable one.
template<typename T>
class Published {
public:
    void publish(std::shared_ptr<T> value)
    {
        std::lock_guard guard(m_lock);
        std::swap(m_value, value);
        // The previous value, if this was its last reference, goes after the lock is released.
    }

    void clear() { publish(nullptr); }

    std::shared_ptr<T> load() const
    {
        std::lock_guard guard(m_lock);
        return m_value;
    }

    bool isPublished() const { return load() != nullptr; }

private:
    mutable std::mutex m_lock;
    std::shared_ptr<T> m_value;
};

}
