#include "platform/foundation/Thread.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <pthread.h>
#include <thread>

namespace fnd {

namespace {

struct DetachedThreads {
    std::mutex lock;
    std::condition_variable ended;
    size_t running = 0;
};

DetachedThreads& detachedThreads()
{
    static auto* threads = new DetachedThreads; // never destroyed: threads may end during exit
    return *threads;
}

void nameCurrentThread(const std::string& name)
{
    // The kernel keeps at most 15 bytes of a thread's name.
    pthread_setname_np(pthread_self(), name.substr(0, 15).c_str());
}

void runDetached(const std::string& name, Thread::Task& task)
{
    try {
        task();
    } catch (const std::exception& exception) {
        Log::format("Thread %s ended with an exception: %s", name, exception.what());
    } catch (...) {
        Log::format("Thread %s ended with an exception", name);
    }
}

}

void Thread::detach(std::string name, Task task)
{
    auto& threads = detachedThreads();
    {
        std::lock_guard guard(threads.lock);
        ++threads.running;
    }
    std::thread([name = std::move(name), task = std::move(task)]() mutable {
        nameCurrentThread(name);
        runDetached(name, task);
        // The task's captures go before the count does, so a waiter sees all of their effects.
        task = nullptr;
        auto& threads = detachedThreads();
        std::lock_guard guard(threads.lock);
        --threads.running;
        threads.ended.notify_all();
    }).detach();
}

bool Thread::waitForDetachedThreads(double timeoutSeconds)
{
    auto& threads = detachedThreads();
    auto timeout = std::chrono::duration<double>(std::clamp(timeoutSeconds, 0.0, 1e8));
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::steady_clock::duration>(timeout);
    bool pumpMainLoop = RunLoop::isMainThread();
    for (;;) {
        if (pumpMainLoop)
            RunLoop::main().runUntilIdle();
        std::unique_lock guard(threads.lock);
        if (threads.running == 0)
            return true;
        auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return false;
        // On the main thread, wake up now and then to run what the threads post.
        auto wakeUp = pumpMainLoop ? std::min(deadline, now + std::chrono::milliseconds(1)) : deadline;
        threads.ended.wait_until(guard, wakeUp);
    }
}

size_t Thread::runningDetachedThreadCount()
{
    auto& threads = detachedThreads();
    std::lock_guard guard(threads.lock);
    return threads.running;
}

bool Thread::isMainThread()
{
    return RunLoop::isMainThread();
}

}
