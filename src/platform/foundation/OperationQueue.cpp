#include "platform/foundation/OperationQueue.h"

#include "platform/foundation/Exception.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace fnd {

std::shared_ptr<Operation> Operation::create(Task task)
{
    return std::shared_ptr<Operation>(new Operation(std::move(task)));
}

Operation::Operation(Task task)
    : m_task(std::move(task))
{
}

Operation::~Operation() = default;

void Operation::main()
{
    if (m_task)
        m_task();
}

void Operation::start()
{
    if (isCancelled()) {
        finishWithoutRunning();
        return;
    }
    m_executing.store(true);
    try {
        main();
    } catch (const std::exception& exception) {
        Log::format("Operation ended with an exception: %s", exception.what());
    } catch (...) {
        Log::write("Operation ended with an exception");
    }
    m_executing.store(false);
    m_finished.store(true);
}

void Operation::finishWithoutRunning()
{
    m_finished.store(true);
}

struct OperationQueue::State {
    mutable std::mutex lock;
    std::condition_variable workAvailable;
    std::condition_variable allFinished;
    std::deque<std::shared_ptr<Operation>> waiting;
    std::vector<std::shared_ptr<Operation>> running;
    size_t maxConcurrent = OperationQueue::defaultMaxConcurrentOperationCount();
    std::vector<std::thread> workers;
    bool shuttingDown = false;

    struct MainLoopTicket;

    bool isIdle() const { return waiting.empty() && running.empty(); }

    // Removes the operation if it is still waiting; answers whether it was.
    bool removeWaiting(const std::shared_ptr<Operation>& operation)
    {
        auto found = std::find(waiting.begin(), waiting.end(), operation);
        if (found == waiting.end())
            return false;
        waiting.erase(found);
        return true;
    }

    void noteFinished()
    {
        if (isIdle())
            allFinished.notify_all();
        workAvailable.notify_one();
    }

    static void runWorker(const std::shared_ptr<State>& state)
    {
        std::unique_lock guard(state->lock);
        for (;;) {
            state->workAvailable.wait(guard, [&] {
                return state->shuttingDown || (!state->waiting.empty() && state->running.size() < state->maxConcurrent);
            });
            if (state->shuttingDown)
                return;
            auto operation = std::move(state->waiting.front());
            state->waiting.pop_front();
            state->running.push_back(operation);
            guard.unlock();

            operation->start();

            guard.lock();
            state->running.erase(std::find(state->running.begin(), state->running.end(), operation));
            state->noteFinished();
            // The operation may be the last reference to anything; let it go outside the lock.
            guard.unlock();
            operation.reset();
            guard.lock();
        }
    }
};

// Travels with an operation posted to the main run loop: runs it, or, when the loop drops the
// task unrun, still takes it off the queue so that nobody waits for it for ever.
struct OperationQueue::State::MainLoopTicket {
    std::shared_ptr<State> state;
    std::shared_ptr<Operation> operation;

    MainLoopTicket(std::shared_ptr<State> queueState, std::shared_ptr<Operation> queuedOperation)
        : state(std::move(queueState))
        , operation(std::move(queuedOperation))
    {
    }

    ~MainLoopTicket()
    {
        if (takeOffQueue())
            operation->finishWithoutRunning();
    }

    MainLoopTicket(const MainLoopTicket&) = delete;
    MainLoopTicket& operator=(const MainLoopTicket&) = delete;

    void run()
    {
        {
            // Waiting to running in one step, so that the queue never looks idle in between.
            std::lock_guard guard(state->lock);
            // Operations cancelled meanwhile are already off the queue.
            if (!state->removeWaiting(operation))
                return;
            state->running.push_back(operation);
        }
        operation->start();
        std::lock_guard guard(state->lock);
        state->running.erase(std::find(state->running.begin(), state->running.end(), operation));
        state->noteFinished();
    }

    bool takeOffQueue()
    {
        std::lock_guard guard(state->lock);
        bool wasWaiting = state->removeWaiting(operation);
        if (wasWaiting)
            state->noteFinished();
        return wasWaiting;
    }
};

OperationQueue::OperationQueue()
    : OperationQueue(Kind::Workers)
{
}

OperationQueue::OperationQueue(Kind kind)
    : m_kind(kind)
    , m_state(std::make_shared<State>())
{
    if (m_kind == Kind::MainLoop)
        m_state->maxConcurrent = 1;
}

OperationQueue::~OperationQueue()
{
    std::deque<std::shared_ptr<Operation>> dropped;
    std::vector<std::thread> workers;
    {
        std::lock_guard guard(m_state->lock);
        m_state->shuttingDown = true;
        dropped.swap(m_state->waiting);
        workers.swap(m_state->workers);
        m_state->workAvailable.notify_all();
        m_state->allFinished.notify_all();
    }
    for (auto& operation : dropped) {
        operation->cancel();
        operation->finishWithoutRunning();
    }
    for (auto& worker : workers) {
        // An operation may drop the last reference to its own queue.
        if (worker.get_id() == std::this_thread::get_id())
            worker.detach();
        else
            worker.join();
    }
}

OperationQueue& OperationQueue::mainQueue()
{
    static auto* queue = new OperationQueue(Kind::MainLoop); // never destroyed, like the main loop
    return *queue;
}

size_t OperationQueue::defaultMaxConcurrentOperationCount()
{
    return std::clamp<size_t>(std::thread::hardware_concurrency(), 2, 8);
}

size_t OperationQueue::maxConcurrentOperationCount() const
{
    std::lock_guard guard(m_state->lock);
    return m_state->maxConcurrent;
}

void OperationQueue::setMaxConcurrentOperationCount(size_t count)
{
    if (m_kind == Kind::MainLoop)
        return;
    {
        std::lock_guard guard(m_state->lock);
        m_state->maxConcurrent = std::max<size_t>(count, 1);
        m_state->workAvailable.notify_all();
    }
    startWorkerIfNeeded();
}

void OperationQueue::addOperation(std::shared_ptr<Operation> operation)
{
    if (!operation)
        throw Exception("NSInvalidArgumentException", "OperationQueue::addOperation: no operation");
    if (operation->m_enqueued.exchange(true))
        throw Exception("NSInvalidArgumentException", "OperationQueue::addOperation: operation is already enqueued on a queue");
    {
        std::lock_guard guard(m_state->lock);
        m_state->waiting.push_back(operation);
        m_state->workAvailable.notify_one();
    }
    if (m_kind == Kind::MainLoop)
        enqueueOnMainLoop(std::move(operation));
    else
        startWorkerIfNeeded();
}

std::shared_ptr<Operation> OperationQueue::addOperation(Operation::Task task)
{
    auto operation = Operation::create(std::move(task));
    addOperation(operation);
    return operation;
}

void OperationQueue::enqueueOnMainLoop(std::shared_ptr<Operation> operation)
{
    auto ticket = std::make_shared<State::MainLoopTicket>(m_state, std::move(operation));
    RunLoop::main().post([ticket] { ticket->run(); });
}

void OperationQueue::startWorkerIfNeeded()
{
    std::lock_guard guard(m_state->lock);
    auto& state = *m_state;
    size_t wanted = std::min(state.maxConcurrent, state.waiting.size() + state.running.size());
    while (!state.shuttingDown && state.workers.size() < wanted)
        state.workers.emplace_back([shared = m_state] { State::runWorker(shared); });
}

size_t OperationQueue::operationCount() const
{
    std::lock_guard guard(m_state->lock);
    return m_state->waiting.size() + m_state->running.size();
}

void OperationQueue::cancelAllOperations()
{
    std::deque<std::shared_ptr<Operation>> dropped;
    {
        std::lock_guard guard(m_state->lock);
        dropped.swap(m_state->waiting);
        for (auto& operation : m_state->running)
            operation->cancel();
        m_state->noteFinished();
    }
    for (auto& operation : dropped) {
        operation->cancel();
        operation->finishWithoutRunning();
    }
}

void OperationQueue::waitUntilAllOperationsAreFinished()
{
    bool onMainThread = RunLoop::isMainThread();
    for (;;) {
        if (onMainThread)
            RunLoop::main().runUntilIdle();
        std::unique_lock guard(m_state->lock);
        if (m_state->isIdle())
            return;
        if (onMainThread)
            m_state->allFinished.wait_for(guard, std::chrono::milliseconds(1));
        else
            m_state->allFinished.wait(guard, [&] { return m_state->isIdle(); });
    }
}

}
