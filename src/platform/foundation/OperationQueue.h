#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>

namespace fnd {

// One unit of work for an OperationQueue. Either made from a task with create(), or subclassed
// with main() overridden; a long-running main() should look at isCancelled() now and then.
class Operation : public std::enable_shared_from_this<Operation> {
public:
    using Task = std::function<void()>;

    static std::shared_ptr<Operation> create(Task);
    virtual ~Operation();
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

    // An operation cancelled before it starts never runs its main(); one already running only
    // has its flag set.
    void cancel() { m_cancelled.store(true); }
    bool isCancelled() const { return m_cancelled.load(); }
    bool isExecuting() const { return m_executing.load(); }
    bool isFinished() const { return m_finished.load(); }

protected:
    Operation() = default;
    // Runs the task given to create(); subclasses do their work here instead.
    virtual void main();

private:
    friend class OperationQueue;
    explicit Operation(Task);
    // Runs main() unless cancelled and marks the operation finished; exceptions are logged.
    void start();
    void finishWithoutRunning();

    Task m_task;
    std::atomic<bool> m_cancelled { false };
    std::atomic<bool> m_executing { false };
    std::atomic<bool> m_finished { false };
    std::atomic<bool> m_enqueued { false };
};

// Runs operations on worker threads, at most maxConcurrentOperationCount() at a time, starting
// them in the order they were added (a count of 1 makes the queue serial). mainQueue() runs its
// operations one by one on the main run loop instead.
class OperationQueue {
public:
    OperationQueue();
    // Operations that have not started are cancelled; running ones are waited for.
    ~OperationQueue();
    OperationQueue(const OperationQueue&) = delete;
    OperationQueue& operator=(const OperationQueue&) = delete;

    static OperationQueue& mainQueue();
    static size_t defaultMaxConcurrentOperationCount();

    size_t maxConcurrentOperationCount() const;
    // At least 1; the main queue stays serial whatever is set.
    void setMaxConcurrentOperationCount(size_t);

    // Adding an operation that is already on a queue throws "NSInvalidArgumentException".
    void addOperation(std::shared_ptr<Operation>);
    std::shared_ptr<Operation> addOperation(Operation::Task);

    // Operations added and not yet finished, running ones included.
    size_t operationCount() const;
    // Operations that have not started are dropped unrun and count as finished; running ones are
    // told through isCancelled().
    void cancelAllOperations();
    // Blocks until every operation added so far has finished. On the main thread it keeps running
    // work posted to the main run loop, so operations that wait for the main thread still finish.
    void waitUntilAllOperationsAreFinished();

private:
    struct State;
    enum class Kind { Workers, MainLoop };
    explicit OperationQueue(Kind);

    void startWorkerIfNeeded();
    void enqueueOnMainLoop(std::shared_ptr<Operation>);

    const Kind m_kind;
    std::shared_ptr<State> m_state;
};

}
