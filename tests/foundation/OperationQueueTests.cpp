#include "platform/foundation/Exception.h"
#include "platform/foundation/OperationQueue.h"
#include "platform/foundation/RunLoop.h"
#include "support/VirtualTime.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

using namespace fnd;
using brenzo::testing::VirtualTime;

namespace {

// Holds operations at a gate until the test opens it.
class Gate {
public:
    void open()
    {
        std::lock_guard guard(m_lock);
        m_open = true;
        m_changed.notify_all();
    }

    void pass()
    {
        std::unique_lock guard(m_lock);
        ++m_waiting;
        m_changed.notify_all();
        m_changed.wait(guard, [&] { return m_open; });
    }

    void waitForWaiting(int count)
    {
        std::unique_lock guard(m_lock);
        m_changed.wait(guard, [&] { return m_waiting >= count; });
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_open = false;
    int m_waiting = 0;
};

class CountingOperation : public Operation {
public:
    explicit CountingOperation(std::atomic<int>& runs)
        : m_runs(runs)
    {
    }

protected:
    void main() override { ++m_runs; }

private:
    std::atomic<int>& m_runs;
};

}

TEST(OperationQueue, SerialQueueRunsOperationsOneAtATimeInOrder)
{
    OperationQueue queue;
    queue.setMaxConcurrentOperationCount(1);
    std::mutex lock;
    std::vector<int> order;
    std::atomic<int> concurrent = 0;
    std::atomic<int> mostConcurrent = 0;
    for (int index = 0; index < 50; ++index) {
        queue.addOperation([&, index] {
            int now = ++concurrent;
            mostConcurrent = std::max(mostConcurrent.load(), now);
            {
                std::lock_guard guard(lock);
                order.push_back(index);
            }
            --concurrent;
        });
    }
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(queue.operationCount(), 0u);
    EXPECT_EQ(mostConcurrent, 1);
    ASSERT_EQ(order.size(), 50u);
    for (int index = 0; index < 50; ++index)
        EXPECT_EQ(order[index], index);
}

TEST(OperationQueue, RunsUpToItsWidthAtOnceOnWorkerThreads)
{
    OperationQueue queue;
    queue.setMaxConcurrentOperationCount(3);
    Gate gate;
    std::atomic<int> offMainThread = 0;
    for (int index = 0; index < 5; ++index) {
        queue.addOperation([&] {
            if (!RunLoop::isMainThread())
                ++offMainThread;
            gate.pass();
        });
    }
    gate.waitForWaiting(3);
    EXPECT_EQ(queue.operationCount(), 5u);
    gate.open();
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(offMainThread, 5);
    EXPECT_EQ(queue.operationCount(), 0u);
}

TEST(OperationQueue, CancelAllDropsOperationsThatHaveNotStarted)
{
    OperationQueue queue;
    queue.setMaxConcurrentOperationCount(1);
    Gate gate;
    std::atomic<int> runs = 0;
    auto running = queue.addOperation([&] { gate.pass(); });
    gate.waitForWaiting(1);
    auto first = std::make_shared<CountingOperation>(runs);
    auto second = std::make_shared<CountingOperation>(runs);
    queue.addOperation(first);
    queue.addOperation(second);
    EXPECT_EQ(queue.operationCount(), 3u);

    queue.cancelAllOperations();
    EXPECT_TRUE(running->isCancelled());
    EXPECT_TRUE(first->isCancelled());
    EXPECT_TRUE(first->isFinished());
    EXPECT_EQ(queue.operationCount(), 1u);

    gate.open();
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(running->isFinished());

    // Cancelled before it is added: it never runs either, and an operation is added only once.
    auto third = std::make_shared<CountingOperation>(runs);
    third->cancel();
    queue.addOperation(third);
    EXPECT_THROW(queue.addOperation(third), Exception);
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(third->isFinished());
}

TEST(OperationQueue, WaitingOnTheMainThreadKeepsTheMainLoopRunning)
{
    VirtualTime time;
    OperationQueue queue;
    std::atomic<int> handedOver = 0;
    for (int index = 0; index < 4; ++index) {
        // Like a replayed share: the operation does its work on the main thread and waits for it.
        queue.addOperation([&] { RunLoop::main().performOnMainAndWait([&] { ++handedOver; }); });
    }
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(handedOver, 4);
}

TEST(OperationQueue, DestroyingTheQueueCancelsWaitingOperationsAndWaitsForRunningOnes)
{
    Gate gate;
    std::atomic<int> runs = 0;
    std::atomic<bool> runningFinished = false;
    auto waiting = std::make_shared<CountingOperation>(runs);
    std::thread opener;
    {
        OperationQueue queue;
        queue.setMaxConcurrentOperationCount(1);
        queue.addOperation([&] {
            gate.pass();
            runningFinished = true;
        });
        queue.addOperation(waiting);
        gate.waitForWaiting(1);
        // Let the running operation end only once the queue's destruction has dealt with the
        // waiting one (or after a generous while, should it never do so).
        opener = std::thread([&] {
            auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (!waiting->isCancelled() && std::chrono::steady_clock::now() < deadline)
                std::this_thread::yield();
            gate.open();
        });
    }
    opener.join();
    EXPECT_TRUE(runningFinished);
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(waiting->isCancelled());
    EXPECT_TRUE(waiting->isFinished());
}

TEST(OperationQueue, MainQueueRunsOperationsOnTheMainLoopInOrder)
{
    VirtualTime time;
    auto& mainQueue = OperationQueue::mainQueue();
    std::vector<int> order;
    bool onMain = true;
    for (int index = 0; index < 3; ++index) {
        mainQueue.addOperation([&, index] {
            onMain = onMain && RunLoop::isMainThread();
            order.push_back(index);
        });
    }
    EXPECT_EQ(mainQueue.operationCount(), 3u);
    EXPECT_TRUE(order.empty());
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(order, (std::vector<int> { 0, 1, 2 }));
    EXPECT_TRUE(onMain);
    EXPECT_EQ(mainQueue.operationCount(), 0u);
}

TEST(OperationQueue, MainQueueFromAWorkerAndCancellation)
{
    VirtualTime time;
    auto& mainQueue = OperationQueue::mainQueue();
    std::atomic<int> runs = 0;
    auto cancelled = std::make_shared<CountingOperation>(runs);
    mainQueue.addOperation(cancelled);
    mainQueue.cancelAllOperations();
    EXPECT_EQ(mainQueue.operationCount(), 0u);

    std::atomic<bool> workerWaited = false;
    std::thread worker([&] {
        mainQueue.addOperation([&] { runs += 10; });
        mainQueue.waitUntilAllOperationsAreFinished();
        workerWaited = runs.load() == 10;
    });
    EXPECT_TRUE(RunLoop::main().runUntil([&] { return workerWaited.load(); }, 10));
    worker.join();
    EXPECT_EQ(runs, 10);
}
