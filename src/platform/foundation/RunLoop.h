#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace fnd {

class Timer;

// The one main run loop. Everything that touches the user interface, the board or a sharer runs
// here: touches, timers, delayed performs, network callbacks. Other threads hand work over with
// post() or performOnMainAndWait().
//
// Time is the process clock's uptime (Clock::current()). With a virtual clock nothing falls due
// until the loop is advanced, so tests and scripted sessions control time exactly.
class RunLoop {
public:
    using Task = std::function<void()>;
    using Handle = uint64_t;

    static RunLoop& main();
    // The main thread is the thread that created the main loop (the first caller of main()).
    static bool isMainThread();

    // Any thread: runs the task on the next turn of the loop, in posting order.
    void post(Task);
    // Any thread: runs the task on the main thread and returns once it has run. On the main
    // thread it runs at once.
    void performOnMainAndWait(const Task&);

    // Runs the task once `seconds` from now. A target and an operation name make it cancellable
    // the way the platform's delayed perform is: cancelPerforms(target, "tapAction").
    Handle performAfterDelay(double seconds, Task, const void* target = nullptr, std::string operation = {});
    void cancelPerforms(const void* target, std::string_view operation);
    void cancelAllPerforms(const void* target);
    void cancel(Handle);
    bool hasPendingPerform(const void* target, std::string_view operation) const;

    // Repeating or one-shot timers; invalidating the returned timer cancels it.
    std::shared_ptr<Timer> scheduleTimer(double interval, bool repeats, std::function<void(Timer&)>);

    // Driving the loop (main thread only).
    // Runs posted work and everything already due, until nothing is left that is ready now.
    void runUntilIdle();
    // Advances time by `seconds` (the virtual clock, or by waiting on the real one), running what
    // falls due in time order, each at its due time.
    void advance(double seconds);
    // Runs until the condition holds or `timeoutSeconds` of loop time pass; answers the condition.
    // Work posted from other threads is waited for in real time, so a virtual clock does not make
    // it look late.
    bool runUntil(const std::function<bool()>& condition, double timeoutSeconds);
    // Runs until stop() is called.
    void run();
    // Any thread: ends the current or the next run().
    void stop();

    // Drops every posted task, delayed perform and timer without running them, and forgets a
    // pending stop(), so that one test cannot leak work into the next. Main thread only.
    void resetForTesting();

    ~RunLoop();

private:
    RunLoop();
    struct State;
    std::unique_ptr<State> m_state;
    friend class Timer;
};

}
