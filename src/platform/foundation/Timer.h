#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace fnd {

class RunLoop;

// A one-shot or repeating timer on the main run loop, made by RunLoop::scheduleTimer(). The loop
// keeps a scheduled timer alive until it is invalidated (a one-shot timer invalidates itself after
// firing). A repeating timer keeps its schedule: each fire is due one interval after the previous
// due time, whenever the callback actually ran.
class Timer {
public:
    using Callback = std::function<void(Timer&)>;

    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    double interval() const { return m_interval; }
    bool repeats() const { return m_repeats; }

    // Runs the callback now, on the calling thread, without changing the schedule; a one-shot
    // timer is invalidated afterwards. Does nothing once the timer is invalid.
    void fire();
    // Removes the timer from the loop and releases its callback; safe from inside the callback.
    void invalidate();
    bool isValid() const { return m_valid.load(); }

private:
    friend class RunLoop;
    Timer(RunLoop&, double interval, bool repeats, Callback);

    void runCallback();

    RunLoop& m_loop;
    const double m_interval;
    const bool m_repeats;
    std::atomic<bool> m_valid { true };
    mutable std::mutex m_callbackLock;
    Callback m_callback;
    // The loop's handle of the pending fire; guarded by the loop's lock.
    uint64_t m_scheduledHandle = 0;
};

}
