#pragma once

#include <chrono>
#include <condition_variable>
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
        {
            std::lock_guard guard(m_lock);
            std::swap(m_value, value);
        }
        m_published.notify_all();
        // The previous value, if this was its last reference, goes after the lock is released.
    }

    void clear() { publish(nullptr); }

    std::shared_ptr<T> load() const
    {
        std::lock_guard guard(m_lock);
        return m_value;
    }

    bool isPublished() const { return load() != nullptr; }

    // The value, waiting at most `timeout` for one to be published; empty when none came in time.
    template<typename Rep, typename Period>
    std::shared_ptr<T> waitFor(std::chrono::duration<Rep, Period> timeout) const
    {
        std::unique_lock guard(m_lock);
        m_published.wait_for(guard, timeout, [this] { return m_value != nullptr; });
        return m_value;
    }

private:
    mutable std::mutex m_lock;
    mutable std::condition_variable m_published;
    std::shared_ptr<T> m_value;
};

}
