#include "platform/foundation/Log.h"
#include "platform/foundation/Published.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Thread.h"
#include "support/VirtualTime.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <vector>

using namespace fnd;
using brenzo::testing::VirtualTime;

TEST(Thread, WaitForDetachedThreadsSeesTheirEffectsAndCaptures)
{
    auto captured = std::make_shared<int>(1);
    std::weak_ptr<int> weakCaptured = captured;
    std::atomic<int> sum = 0;
    std::atomic<bool> onMain = true;
    for (int index = 1; index <= 4; ++index) {
        Thread::detach("worker", [&sum, &onMain, index, captured] {
            sum += index * *captured;
            onMain = onMain && Thread::isMainThread();
        });
    }
    captured.reset();
    EXPECT_TRUE(Thread::waitForDetachedThreads(10));
    EXPECT_EQ(Thread::runningDetachedThreadCount(), 0u);
    EXPECT_EQ(sum, 10);
    EXPECT_FALSE(onMain);
    EXPECT_TRUE(weakCaptured.expired());
}

TEST(Thread, WaitTimesOutWhileAThreadIsStillRunning)
{
    std::mutex lock;
    std::condition_variable changed;
    bool release = false;
    Thread::detach("held", [&] {
        std::unique_lock guard(lock);
        changed.wait(guard, [&] { return release; });
    });
    EXPECT_FALSE(Thread::waitForDetachedThreads(0.02));
    EXPECT_EQ(Thread::runningDetachedThreadCount(), 1u);
    {
        std::lock_guard guard(lock);
        release = true;
        changed.notify_all();
    }
    EXPECT_TRUE(Thread::waitForDetachedThreads(10));
}

TEST(Thread, AThreadThatWaitsForTheMainThreadDoesNotDeadlockTheWait)
{
    VirtualTime time;
    bool shown = false;
    Thread::detach("note service", [&] { RunLoop::main().performOnMainAndWait([&] { shown = true; }); });
    EXPECT_TRUE(Thread::waitForDetachedThreads(10));
    EXPECT_TRUE(shown);
}

TEST(Thread, AnEscapingExceptionIsLogged)
{
    LogCapture log;
    Thread::detach("thrower", [] { throw std::runtime_error("loader failed"); });
    EXPECT_TRUE(Thread::waitForDetachedThreads(10));
    EXPECT_TRUE(log.contains("thrower"));
    EXPECT_TRUE(log.contains("loader failed"));
}

TEST(Published, ReadersSeeNothingOrTheWholeValue)
{
    Published<const std::vector<int>> contacts;
    EXPECT_FALSE(contacts.isPublished());
    std::atomic<bool> sawPartial = false;
    std::atomic<bool> sawWhole = false;
    Thread::detach("reader", [&] {
        for (;;) {
            auto list = contacts.load();
            if (!list)
                continue;
            if (list->size() != 1000 || list->back() != 999)
                sawPartial = true;
            sawWhole = true;
            return;
        }
    });
    Thread::detach("loader", [&] {
        auto list = std::make_shared<std::vector<int>>();
        for (int index = 0; index < 1000; ++index)
            list->push_back(index);
        contacts.publish(std::move(list));
    });
    EXPECT_TRUE(Thread::waitForDetachedThreads(10));
    EXPECT_TRUE(sawWhole);
    EXPECT_FALSE(sawPartial);
    contacts.clear();
    EXPECT_FALSE(contacts.isPublished());
}
