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
//
// Posted work runs before scheduled work; scheduled work (delayed performs and timers) runs in
// order of due time, and work due at the same time in the order it was scheduled. Work is taken
// one item at a time, so work cancelled by an earlier task never runs, even when it was already
// due. An exception that escapes a task or a timer is logged and swallowed: a bad task never
// stops the loop. Driving the loop off the main thread throws "NSInternalInconsistencyException".
class RunLoop {
public:
    using Task = std::function<void()>;
    using Handle = uint64_t;

    // Made during static initialisation, so the main thread is the process's initial thread.
    static RunLoop& main();
    // The main thread is the thread that created the main loop (the first caller of main()).
    static bool isMainThread();

    // Any thread: runs the task on the next turn of the loop, in posting order.
    void post(Task);
    // Any thread: runs the task on the main thread and returns once it has run (or once the loop
    // has dropped it unrun, see shutDown() and resetForTesting()); answers whether it ran. On the
    // main thread it runs at once.
    bool performOnMainAndWait(const Task&);

    // The application is ending: pending work is dropped unrun and so is everything posted from
    // now on, so that no worker thread waits for ever on a loop that will not turn again.
    void shutDown();
    bool isShutDown() const;

    // Runs the task once `seconds` from now. A target and an operation name make it cancellable
    // the way the platform's delayed perform is: cancelPerforms(target, "tapAction") removes every
    // pending perform of that target and operation, and only those. The target is only compared:
    // a task that must not outlive its object captures a weak pointer to it.
    Handle performAfterDelay(double seconds, Task, const void* target = nullptr, std::string operation = {});
    void cancelPerforms(const void* target, std::string_view operation);
    void cancelAllPerforms(const void* target);
    void cancel(Handle);
    bool hasPendingPerform(const void* target, std::string_view operation) const;

    // Repeating or one-shot timers; invalidating the returned timer cancels it. Repeating timers
    // fire at most every 0.1 ms.
    std::shared_ptr<Timer> scheduleTimer(double interval, bool repeats, std::function<void(Timer&)>);

    // Driving the loop (main thread only).
    // Runs posted work and everything already due, until nothing is left that is ready now. A task
    // that keeps posting more work is cut off after 100,000 tasks, with a log line.
    void runUntilIdle();
    // Advances time by `seconds` (the virtual clock, or by waiting on the real one), running what
    // falls due in time order, each at its due time: a virtual clock is moved to each next due time
    // in turn, and what falls due there and the work it posts run before it moves on.
    void advance(double seconds);
    // Runs until the condition holds or `timeoutSeconds` of loop time pass; answers the condition.
    // Work posted from other threads is waited for in real time, so a virtual clock does not make
    // it look late: a virtual clock is advanced to scheduled work within the time-out, then the
    // loop waits for other threads for at most `timeoutSeconds` real seconds, and on a time-out
    // the virtual clock ends at the time-out. The condition is tested after every task and at
    // least every millisecond, so other threads may make it true without posting.
    bool runUntil(const std::function<bool()>& condition, double timeoutSeconds);
    // Runs until stop() is called.
    void run();
    // Any thread: ends the current or the next run().
    void stop();

    // Drops every posted task, delayed perform and timer without running them, and forgets a
    // pending stop() and a shutDown(), so that one test cannot leak work into the next. Main thread only.
    void resetForTesting();

    ~RunLoop();

private:
    RunLoop();
    struct State;
    std::unique_ptr<State> m_state;
    friend class Timer;
};

}
