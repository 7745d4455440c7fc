#include "platform/foundation/RunLoop.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/Exception.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Timer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

namespace fnd {

namespace {

// Loop time is kept in whole nanoseconds so that due times compare exactly: a perform scheduled
// 0.4 s ahead is due after advance(0.4) however the seconds were added up.
using Nanoseconds = int64_t;
using SteadyClock = std::chrono::steady_clock;

// A task that keeps posting itself would otherwise hold runUntilIdle() for ever.
constexpr size_t maximumTasksPerPass = 100'000;
// runUntil() re-tests its condition at least this often: other threads may make it true without
// posting anything.
constexpr auto conditionPollInterval = std::chrono::milliseconds(1);
// Repeating timers fire at most this often, as on the platform.
constexpr double minimumRepeatInterval = 0.0001;
// About three years: long enough for any wait, far from overflowing the nanosecond arithmetic.
constexpr double longestDelay = 1e8;

Nanoseconds nanosecondsFromSeconds(double seconds)
{
    if (!(seconds > 0))
        return 0;
    return std::llround(std::min(seconds, longestDelay) * 1e9);
}

double secondsFromNanoseconds(Nanoseconds nanoseconds)
{
    return static_cast<double>(nanoseconds) / 1e9;
}

Nanoseconds uptimeOf(const Clock& clock)
{
    return std::llround(clock.uptime() * 1e9);
}

Nanoseconds currentUptime()
{
    return uptimeOf(Clock::current());
}

template<typename Work>
void runGuarded(std::string_view what, Work&& work)
{
    try {
        work();
    } catch (const std::exception& exception) {
        Log::format("RunLoop: %s ended with an exception: %s", what, exception.what());
    } catch (...) {
        Log::format("RunLoop: %s ended with an exception", what);
    }
}

// Signals a waiting thread once the task that holds it has run or has been dropped unrun.
class CompletionSignal {
public:
    void signal()
    {
        std::lock_guard guard(m_lock);
        m_done = true;
        m_changed.notify_all();
    }

    void wait()
    {
        std::unique_lock guard(m_lock);
        m_changed.wait(guard, [&] { return m_done; });
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_done = false;
};

class SignalOnDestruction {
public:
    explicit SignalOnDestruction(std::shared_ptr<CompletionSignal> signal)
        : m_signal(std::move(signal))
    {
    }
    ~SignalOnDestruction() { m_signal->signal(); }
    SignalOnDestruction(const SignalOnDestruction&) = delete;
    SignalOnDestruction& operator=(const SignalOnDestruction&) = delete;

private:
    std::shared_ptr<CompletionSignal> m_signal;
};

struct ScheduleKey {
    Nanoseconds due;
    uint64_t sequence;
    auto operator<=>(const ScheduleKey&) const = default;
};

struct ScheduledWork {
    RunLoop::Task task;
    const void* target = nullptr;
    std::string operation;
    std::shared_ptr<Timer> timer;
};

// Work taken out of the loop, run (or dropped) after the lock is released.
struct ReadyWork {
    RunLoop::Task task;
    std::shared_ptr<Timer> timer;
};

[[maybe_unused]] const bool mainLoopMadeBeforeMain = (RunLoop::main(), true);

}

struct RunLoop::State {
    const std::thread::id mainThread = std::this_thread::get_id();

    mutable std::mutex lock;
    std::condition_variable changed;
    // Bumped by everything a sleeping loop must look at: posts, new scheduled work, stop().
    uint64_t generation = 0;
    std::deque<Task> posted;
    std::map<ScheduleKey, ScheduledWork> scheduled;
    std::unordered_map<Handle, ScheduleKey> keysByHandle;
    uint64_t nextSequence = 1;
    bool stopRequested = false;
    // Set for good when the application ends: nothing runs any more, posts are dropped.
    bool shutDown = false;

    void noteChange()
    {
        ++generation;
        changed.notify_all();
    }

    Handle insert(Nanoseconds due, ScheduledWork work)
    {
        Handle handle = nextSequence++;
        if (work.timer)
            work.timer->m_scheduledHandle = handle;
        ScheduleKey key { due, handle };
        scheduled.emplace(key, std::move(work));
        keysByHandle.emplace(handle, key);
        noteChange();
        return handle;
    }

    std::optional<ScheduledWork> extract(Handle handle)
    {
        auto found = keysByHandle.find(handle);
        if (found == keysByHandle.end())
            return std::nullopt;
        auto node = scheduled.extract(found->second);
        keysByHandle.erase(found);
        return std::move(node.mapped());
    }

    std::vector<ScheduledWork> extractPerforms(const void* target, const std::string_view* operation)
    {
        std::vector<ScheduledWork> removed;
        for (auto entry = scheduled.begin(); entry != scheduled.end();) {
            auto& work = entry->second;
            bool matches = !work.timer && work.target == target && (!operation || work.operation == *operation);
            if (!matches) {
                ++entry;
                continue;
            }
            keysByHandle.erase(entry->first.sequence);
            removed.push_back(std::move(work));
            entry = scheduled.erase(entry);
        }
        return removed;
    }

    std::optional<Nanoseconds> earliestDue() const
    {
        std::lock_guard guard(lock);
        if (scheduled.empty())
            return std::nullopt;
        return scheduled.begin()->first.due;
    }

    void rescheduleRepeatingTimer(const std::shared_ptr<Timer>& timer, Nanoseconds previousDue, Nanoseconds now)
    {
        Nanoseconds interval = nanosecondsFromSeconds(std::max(timer->interval(), minimumRepeatInterval));
        Nanoseconds next = previousDue + interval;
        // A loop that was held up skips the fires it missed instead of running them back to back.
        if (next <= now)
            next += ((now - next) / interval + 1) * interval;
        insert(next, ScheduledWork { {}, nullptr, {}, timer });
    }

    // Takes the next posted task, or else the earliest scheduled work due at `now`. Posted work
    // goes first; scheduled work due at the same time comes out in the order it was scheduled.
    std::optional<ReadyWork> takeReady(Nanoseconds now)
    {
        std::lock_guard guard(lock);
        if (!posted.empty()) {
            ReadyWork work { std::move(posted.front()), nullptr };
            posted.pop_front();
            return work;
        }
        auto first = scheduled.begin();
        if (first == scheduled.end() || first->first.due > now)
            return std::nullopt;
        auto node = scheduled.extract(first);
        keysByHandle.erase(node.key().sequence);
        ReadyWork work { std::move(node.mapped().task), std::move(node.mapped().timer) };
        if (work.timer) {
            work.timer->m_scheduledHandle = 0;
            if (work.timer->repeats())
                rescheduleRepeatingTimer(work.timer, node.key().due, now);
        }
        return work;
    }

    static void perform(ReadyWork& work)
    {
        if (!work.timer) {
            runGuarded("a task", work.task);
            return;
        }
        runGuarded("a timer", [&] { work.timer->runCallback(); });
        if (!work.timer->repeats())
            work.timer->invalidate();
    }

    // Runs work, one item at a time, until nothing is ready at `now`. Taking one item at a time
    // means that work cancelled by an earlier task of the same pass never runs.
    void runReady(Nanoseconds now)
    {
        for (size_t count = 0; count < maximumTasksPerPass; ++count) {
            auto work = takeReady(now);
            if (!work)
                return;
            perform(*work);
        }
        Log::format("RunLoop: stopped after %lu tasks in one pass; a task keeps scheduling more work at once",
            static_cast<unsigned long>(maximumTasksPerPass));
    }

    // Sleeps until work is posted, stop() is called, `deadline` passes or, when timers run on real
    // time, the earliest scheduled work falls due.
    void sleep(SteadyClock::time_point deadline, bool wakeForScheduledWork)
    {
        std::unique_lock guard(lock);
        if (!posted.empty() || stopRequested)
            return;
        if (wakeForScheduledWork && !scheduled.empty()) {
            Nanoseconds untilDue = std::max<Nanoseconds>(scheduled.begin()->first.due - currentUptime(), 0);
            deadline = std::min(deadline, SteadyClock::now() + std::chrono::nanoseconds(untilDue));
        }
        uint64_t seen = generation;
        changed.wait_until(guard, deadline, [&] { return generation != seen; });
    }

    bool takeStopRequest()
    {
        std::lock_guard guard(lock);
        return std::exchange(stopRequested, false);
    }
};

RunLoop::RunLoop()
    : m_state(std::make_unique<State>())
{
}

RunLoop::~RunLoop() = default;

RunLoop& RunLoop::main()
{
    static RunLoop* loop = new RunLoop; // never destroyed: detached threads may still post during exit
    return *loop;
}

bool RunLoop::isMainThread()
{
    return std::this_thread::get_id() == main().m_state->mainThread;
}

static void requireMainThread(std::string_view operation)
{
    if (!RunLoop::isMainThread())
        throw Exception("NSInternalInconsistencyException", std::string("RunLoop::") + std::string(operation) + " called off the main thread");
}

void RunLoop::post(Task task)
{
    std::unique_lock guard(m_state->lock);
    if (m_state->shutDown) {
        guard.unlock();
        // Dropped here, outside the lock, which releases a thread waiting for it.
        task = nullptr;
        return;
    }
    m_state->posted.push_back(std::move(task));
    m_state->noteChange();
}

bool RunLoop::performOnMainAndWait(const Task& task)
{
    if (isMainThread()) {
        runGuarded("a task", task);
        return true;
    }
    auto signal = std::make_shared<CompletionSignal>();
    auto signalOnDrop = std::make_shared<SignalOnDestruction>(signal);
    auto ran = std::make_shared<std::atomic<bool>>(false);
    post([task, signalOnDrop, ran] {
        runGuarded("a task", task);
        *ran = true;
    });
    signalOnDrop.reset();
    signal->wait();
    return *ran;
}

void RunLoop::shutDown()
{
    std::deque<Task> posted;
    std::map<ScheduleKey, ScheduledWork> scheduled;
    {
        std::lock_guard guard(m_state->lock);
        m_state->shutDown = true;
        posted.swap(m_state->posted);
        scheduled.swap(m_state->scheduled);
        m_state->keysByHandle.clear();
        m_state->noteChange();
    }
    for (auto& [key, work] : scheduled) {
        if (work.timer)
            work.timer->invalidate();
    }
}

bool RunLoop::isShutDown() const
{
    std::lock_guard guard(m_state->lock);
    return m_state->shutDown;
}

RunLoop::Handle RunLoop::performAfterDelay(double seconds, Task task, const void* target, std::string operation)
{
    Nanoseconds due = currentUptime() + nanosecondsFromSeconds(seconds);
    std::lock_guard guard(m_state->lock);
    return m_state->insert(due, ScheduledWork { std::move(task), target, std::move(operation), nullptr });
}

void RunLoop::cancelPerforms(const void* target, std::string_view operation)
{
    std::vector<ScheduledWork> removed;
    {
        std::lock_guard guard(m_state->lock);
        removed = m_state->extractPerforms(target, &operation);
    }
    // `removed` dies here, outside the lock: a task's captures may call back into the loop.
}

void RunLoop::cancelAllPerforms(const void* target)
{
    std::vector<ScheduledWork> removed;
    {
        std::lock_guard guard(m_state->lock);
        removed = m_state->extractPerforms(target, nullptr);
    }
}

void RunLoop::cancel(Handle handle)
{
    std::optional<ScheduledWork> removed;
    {
        std::lock_guard guard(m_state->lock);
        removed = m_state->extract(handle);
    }
    if (removed && removed->timer)
        removed->timer->invalidate();
}

bool RunLoop::hasPendingPerform(const void* target, std::string_view operation) const
{
    std::lock_guard guard(m_state->lock);
    return std::any_of(m_state->scheduled.begin(), m_state->scheduled.end(), [&](auto& entry) {
        auto& work = entry.second;
        return !work.timer && work.target == target && work.operation == operation;
    });
}

std::shared_ptr<Timer> RunLoop::scheduleTimer(double interval, bool repeats, std::function<void(Timer&)> callback)
{
    auto timer = std::shared_ptr<Timer>(new Timer(*this, interval, repeats, std::move(callback)));
    double firstDelay = repeats ? std::max(interval, minimumRepeatInterval) : interval;
    Nanoseconds due = currentUptime() + nanosecondsFromSeconds(firstDelay);
    std::lock_guard guard(m_state->lock);
    m_state->insert(due, ScheduledWork { {}, nullptr, {}, timer });
    return timer;
}

void RunLoop::runUntilIdle()
{
    requireMainThread("runUntilIdle");
    m_state->runReady(currentUptime());
}

void RunLoop::advance(double seconds)
{
    requireMainThread("advance");
    auto clock = Clock::currentShared();
    Nanoseconds end = uptimeOf(*clock) + nanosecondsFromSeconds(seconds);

    if (auto* virtualClock = dynamic_cast<VirtualClock*>(clock.get())) {
        for (;;) {
            m_state->runReady(uptimeOf(*clock));
            auto next = m_state->earliestDue();
            if (!next || *next > end)
                break;
            virtualClock->setUptime(secondsFromNanoseconds(*next));
        }
        virtualClock->setUptime(secondsFromNanoseconds(end));
        m_state->runReady(uptimeOf(*clock));
        return;
    }

    for (;;) {
        m_state->runReady(uptimeOf(*clock));
        Nanoseconds now = uptimeOf(*clock);
        if (now >= end)
            return;
        m_state->sleep(SteadyClock::now() + std::chrono::nanoseconds(end - now), true);
    }
}

bool RunLoop::runUntil(const std::function<bool()>& condition, double timeoutSeconds)
{
    requireMainThread("runUntil");
    auto clock = Clock::currentShared();
    auto* virtualClock = dynamic_cast<VirtualClock*>(clock.get());
    Nanoseconds timeout = nanosecondsFromSeconds(timeoutSeconds);
    Nanoseconds loopDeadline = uptimeOf(*clock) + timeout;
    auto realDeadline = SteadyClock::now() + std::chrono::nanoseconds(timeout);

    for (;;) {
        m_state->runReady(uptimeOf(*clock));
        if (condition())
            return true;
        if (virtualClock) {
            auto next = m_state->earliestDue();
            if (next && *next <= loopDeadline) {
                virtualClock->setUptime(secondsFromNanoseconds(*next));
                continue;
            }
        }
        auto now = SteadyClock::now();
        if (now >= realDeadline)
            break;
        m_state->sleep(std::min(realDeadline, now + conditionPollInterval), !virtualClock);
    }

    if (virtualClock) {
        virtualClock->setUptime(secondsFromNanoseconds(loopDeadline));
        m_state->runReady(loopDeadline);
    }
    return condition();
}

void RunLoop::run()
{
    requireMainThread("run");
    bool timersOnRealTime = !Clock::current().isVirtual();
    while (!m_state->takeStopRequest()) {
        m_state->runReady(currentUptime());
        m_state->sleep(SteadyClock::now() + std::chrono::hours(1), timersOnRealTime);
    }
}

void RunLoop::stop()
{
    std::lock_guard guard(m_state->lock);
    m_state->stopRequested = true;
    m_state->noteChange();
}

void RunLoop::resetForTesting()
{
    requireMainThread("resetForTesting");
    // Dropped work is destroyed outside the lock; its captures may schedule more, so repeat a few
    // times until the loop stays empty.
    for (int round = 0; round < 8; ++round) {
        std::deque<Task> posted;
        std::map<ScheduleKey, ScheduledWork> scheduled;
        {
            std::lock_guard guard(m_state->lock);
            posted.swap(m_state->posted);
            scheduled.swap(m_state->scheduled);
            m_state->keysByHandle.clear();
            m_state->stopRequested = false;
            m_state->shutDown = false;
            m_state->noteChange();
        }
        if (posted.empty() && scheduled.empty())
            return;
        // Their handles are gone from the loop, so invalidating only marks them and frees callbacks.
        for (auto& [key, work] : scheduled) {
            if (work.timer)
                work.timer->invalidate();
        }
    }
}

Timer::Timer(RunLoop& loop, double interval, bool repeats, Callback callback)
    : m_loop(loop)
    , m_interval(interval)
    , m_repeats(repeats)
    , m_callback(std::move(callback))
{
}

Timer::~Timer() = default;

void Timer::runCallback()
{
    Callback callback;
    {
        std::lock_guard guard(m_callbackLock);
        callback = m_callback;
    }
    if (callback && isValid())
        callback(*this);
}

void Timer::fire()
{
    if (!isValid())
        return;
    runCallback();
    if (!m_repeats)
        invalidate();
}

void Timer::invalidate()
{
    if (!m_valid.exchange(false))
        return;
    std::optional<ScheduledWork> pending;
    {
        std::lock_guard guard(m_loop.m_state->lock);
        if (m_scheduledHandle)
            pending = m_loop.m_state->extract(std::exchange(m_scheduledHandle, 0));
    }
    Callback released;
    {
        std::lock_guard guard(m_callbackLock);
        released = std::move(m_callback);
        m_callback = nullptr;
    }
    // `released` and then `pending` (which may hold the last reference to this timer) die here;
    // nothing below touches the timer.
}

}
