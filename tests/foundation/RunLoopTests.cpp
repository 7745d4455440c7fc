#include "platform/foundation/Clock.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Timer.h"
#include "support/VirtualTime.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace fnd;
using brenzo::testing::VirtualTime;

namespace {

class RunLoopTest : public ::testing::Test {
protected:
    RunLoop& loop = RunLoop::main();
    VirtualTime time;
    std::vector<std::string> ran;

    RunLoop::Task record(std::string name)
    {
        return [this, name] { ran.push_back(name); };
    }
};

using Strings = std::vector<std::string>;

}

TEST_F(RunLoopTest, DelayedPerformFallsDueExactlyAtItsDelay)
{
    loop.performAfterDelay(0.4, record("tap"));
    time.advance(0.399);
    EXPECT_TRUE(ran.empty());
    time.advance(0.001);
    EXPECT_EQ(ran, Strings { "tap" });

    // However the seconds add up (0.7 + 0.1 is not 0.8 in floating point), 0.7 s and then 0.1 s
    // reach a perform made 0.8 s ahead.
    loop.performAfterDelay(0.8, record("second"));
    time.advance(0.7);
    time.advance(0.1);
    EXPECT_EQ(ran, (Strings { "tap", "second" }));
}

TEST_F(RunLoopTest, WorkDueTogetherRunsInSchedulingOrderAndEachAtItsTime)
{
    std::map<std::string, double> ranAt;
    auto stamp = [&](std::string name) {
        return [&, name] {
            ran.push_back(name);
            ranAt[name] = time.uptime();
        };
    };
    loop.performAfterDelay(0.6, stamp("late"));
    loop.performAfterDelay(0.2, stamp("first"));
    loop.performAfterDelay(0.2, stamp("second"));
    loop.scheduleTimer(0.2, false, [&](Timer&) { stamp("timer")(); });
    loop.performAfterDelay(0.2, stamp("third"));

    time.advance(1.0);

    EXPECT_EQ(ran, (Strings { "first", "second", "timer", "third", "late" }));
    EXPECT_DOUBLE_EQ(ranAt["first"], 0.2);
    EXPECT_DOUBLE_EQ(ranAt["late"], 0.6);
    EXPECT_DOUBLE_EQ(time.uptime(), 1.0);
}

TEST_F(RunLoopTest, WorkScheduledWhileAdvancingRunsWithinTheSameAdvance)
{
    loop.performAfterDelay(0.1, [&] {
        ran.push_back("outer");
        loop.performAfterDelay(0.1, record("inner"));
        loop.post(record("posted"));
    });
    time.advance(0.15);
    EXPECT_EQ(ran, (Strings { "outer", "posted" }));
    time.advance(0.05);
    EXPECT_EQ(ran, (Strings { "outer", "posted", "inner" }));
}

TEST_F(RunLoopTest, CancellingRemovesOnlyWhatItNames)
{
    int board = 0;
    int picture = 0;
    loop.performAfterDelay(0.4, record("picture tap"), &picture, "launchAction");
    loop.performAfterDelay(0.4, record("picture tap again"), &picture, "launchAction");
    loop.performAfterDelay(0.4, record("picture other"), &picture, "hideBadge");
    loop.performAfterDelay(0.4, record("board tap"), &board, "launchAction");
    loop.performAfterDelay(0.4, record("anonymous"));
    int removed = 0;
    loop.performAfterDelay(0.4, record("removed one"), &removed, "one");
    loop.performAfterDelay(0.4, record("removed two"), &removed, "two");
    auto handle = loop.performAfterDelay(0.4, record("by handle"));

    EXPECT_TRUE(loop.hasPendingPerform(&picture, "launchAction"));
    loop.cancelPerforms(&picture, "launchAction");
    EXPECT_FALSE(loop.hasPendingPerform(&picture, "launchAction"));
    EXPECT_TRUE(loop.hasPendingPerform(&picture, "hideBadge"));
    loop.cancelAllPerforms(&removed);
    loop.cancel(handle);

    time.advance(0.4);
    EXPECT_EQ(ran, (Strings { "picture other", "board tap", "anonymous" }));
}

TEST_F(RunLoopTest, PerformCancelledByAnEarlierTaskOfTheSameTurnDoesNotRun)
{
    int picture = 0;
    // The second tap's handler and the first tap's action fall due together; the handler comes
    // first and cancels the action even though it is already due.
    loop.performAfterDelay(0.3, [&] {
        ran.push_back("second tap");
        loop.cancelPerforms(&picture, "launchAction");
    });
    loop.performAfterDelay(0.3, record("launchAction"), &picture, "launchAction");
    time.clock().advanceBy(0.5);
    loop.runUntilIdle();
    EXPECT_EQ(ran, Strings { "second tap" });
}

TEST_F(RunLoopTest, RunUntilIdleRunsPostedAndDueWorkOnly)
{
    loop.post(record("posted"));
    loop.performAfterDelay(0, record("due now"));
    loop.performAfterDelay(0.01, record("later"));
    loop.runUntilIdle();
    EXPECT_EQ(ran, (Strings { "posted", "due now" }));
    EXPECT_DOUBLE_EQ(time.uptime(), 0);
}

TEST_F(RunLoopTest, ATaskThatRepostsItselfForeverIsStoppedAndLogged)
{
    LogCapture log;
    size_t runs = 0;
    std::function<void()> again = [&] {
        ++runs;
        loop.post(again);
    };
    loop.post(again);
    loop.runUntilIdle();
    EXPECT_GT(runs, 1000u);
    EXPECT_TRUE(log.contains("keeps scheduling more work"));
}

TEST_F(RunLoopTest, AnExceptionInATaskIsLoggedAndTheLoopGoesOn)
{
    LogCapture log;
    loop.post([] { throw std::runtime_error("bad task"); });
    loop.post(record("after"));
    EXPECT_NO_THROW(loop.runUntilIdle());
    EXPECT_EQ(ran, Strings { "after" });
    EXPECT_TRUE(log.contains("bad task"));
}

TEST_F(RunLoopTest, TasksPostedFromManyThreadsRunOnceEachInPerThreadOrder)
{
    constexpr int threadCount = 8;
    constexpr int postsPerThread = 500;
    std::vector<std::vector<int>> seen(threadCount);
    std::atomic<int> wrongThread = 0;
    std::vector<std::thread> threads;
    for (int thread = 0; thread < threadCount; ++thread) {
        threads.emplace_back([&, thread] {
            for (int index = 0; index < postsPerThread; ++index) {
                loop.post([&, thread, index] {
                    if (!RunLoop::isMainThread())
                        ++wrongThread;
                    seen[thread].push_back(index);
                });
            }
        });
    }
    size_t total = 0;
    auto allSeen = [&] {
        total = 0;
        for (auto& list : seen)
            total += list.size();
        return total == threadCount * postsPerThread;
    };
    EXPECT_TRUE(loop.runUntil(allSeen, 30));
    for (auto& thread : threads)
        thread.join();
    loop.runUntilIdle();
    EXPECT_EQ(total, size_t(threadCount * postsPerThread));
    EXPECT_EQ(wrongThread, 0);
    std::vector<int> expected(postsPerThread);
    for (int index = 0; index < postsPerThread; ++index)
        expected[index] = index;
    for (auto& list : seen)
        EXPECT_EQ(list, expected);
}

TEST_F(RunLoopTest, PerformOnMainAndWaitFromAWorkerWhileTheMainThreadRunsUntil)
{
    std::atomic<bool> workerSawResult = false;
    std::thread::id ranOn;
    std::thread worker([&] {
        int result = 0;
        loop.performOnMainAndWait([&] {
            ranOn = std::this_thread::get_id();
            result = 42;
        });
        // Returning means the task has run: its effect is visible without further waiting.
        workerSawResult = result == 42;
    });
    EXPECT_TRUE(loop.runUntil([&] { return workerSawResult.load(); }, 10));
    worker.join();
    EXPECT_EQ(ranOn, std::this_thread::get_id());

    // On the main thread it runs at once, ahead of what was posted.
    loop.post(record("posted earlier"));
    loop.performOnMainAndWait(record("at once"));
    EXPECT_EQ(ran, Strings { "at once" });
}

TEST_F(RunLoopTest, AWaitingWorkerIsReleasedWhenItsTaskIsDroppedUnrun)
{
    std::atomic<bool> returned = false;
    std::thread worker([&] {
        loop.performOnMainAndWait(record("never"));
        returned = true;
    });
    // Never run the loop, only drop what reaches it, until the worker's task has been dropped.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!returned && std::chrono::steady_clock::now() < deadline) {
        loop.resetForTesting();
        std::this_thread::yield();
    }
    worker.join();
    EXPECT_TRUE(returned);
    EXPECT_TRUE(ran.empty());
}

TEST_F(RunLoopTest, RunUntilAdvancesVirtualTimeToTimersWithinItsTimeout)
{
    bool hidden = false;
    loop.performAfterDelay(0.6, [&] { hidden = true; });
    EXPECT_TRUE(loop.runUntil([&] { return hidden; }, 5));
    EXPECT_DOUBLE_EQ(time.uptime(), 0.6);
}

TEST_F(RunLoopTest, RunUntilTimesOutInVirtualTimeWithoutRunningLaterWork)
{
    loop.performAfterDelay(0.01, record("inside"));
    loop.performAfterDelay(0.2, record("outside"));
    auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(loop.runUntil([] { return false; }, 0.05));
    auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(ran, Strings { "inside" });
    EXPECT_DOUBLE_EQ(time.uptime(), 0.05);
    // The time-out is bounded in real seconds too.
    EXPECT_GE(waited, std::chrono::milliseconds(45));
    EXPECT_LT(waited, std::chrono::seconds(5));
}

TEST_F(RunLoopTest, RunAndStop)
{
    loop.post([&] {
        ran.push_back("first");
        loop.post([&] {
            ran.push_back("second");
            loop.stop();
        });
    });
    loop.run();
    EXPECT_EQ(ran, (Strings { "first", "second" }));

    std::thread stopper([&] { loop.stop(); });
    loop.run(); // returns once the other thread's stop arrives
    stopper.join();
}

TEST_F(RunLoopTest, ResetForTestingDropsEverything)
{
    loop.post(record("posted"));
    loop.performAfterDelay(0.1, record("delayed"));
    auto timer = loop.scheduleTimer(0.1, true, [&](Timer&) { ran.push_back("timer"); });
    loop.resetForTesting();
    time.advance(1);
    EXPECT_TRUE(ran.empty());
    EXPECT_FALSE(timer->isValid());
}

TEST(RunLoopRealTime, AdvanceWaitsForRealTimeAndRunsWorkAsItFallsDue)
{
    RunLoop& loop = RunLoop::main();
    loop.resetForTesting();
    ASSERT_FALSE(Clock::current().isVirtual());
    std::vector<std::string> ran;
    auto started = std::chrono::steady_clock::now();
    loop.performAfterDelay(0.02, [&] { ran.push_back("soon"); });
    loop.performAfterDelay(10, [&] { ran.push_back("much later"); });
    loop.advance(0.05);
    auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(ran, std::vector<std::string> { "soon" });
    EXPECT_GE(waited, std::chrono::milliseconds(50));
    loop.resetForTesting();
}

TEST(RunLoopRealTime, RunUntilSeesAConditionThatAnotherThreadMakesTrue)
{
    RunLoop& loop = RunLoop::main();
    loop.resetForTesting();
    std::atomic<bool> done = false;
    std::thread worker([&] { done = true; });
    auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(loop.runUntil([&] { return done.load(); }, 10));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    worker.join();

    started = std::chrono::steady_clock::now();
    EXPECT_FALSE(loop.runUntil([] { return false; }, 0.03));
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(30));
}
