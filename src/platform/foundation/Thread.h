#pragma once

#include <functional>
#include <string>

namespace fnd {

// Worker threads that nobody joins: the contact loader, the rating prompt's count, the note
// service's calls. The process keeps count of them so that tests and the terminal driver can wait
// until every one has ended.
class Thread {
public:
    using Task = std::function<void()>;

    // Starts the task on a new thread named `name` (the first 15 bytes show in debuggers). An
    // exception that escapes the task is logged and the thread ends normally.
    static void detach(std::string name, Task);

    // Waits at most `timeoutSeconds` of real time for every detached thread to end, task and
    // captures destroyed; answers whether they all did. Called on the main thread, it keeps running
    // work posted to the main run loop meanwhile, so a thread that waits for the main thread
    // cannot deadlock the wait.
    static bool waitForDetachedThreads(double timeoutSeconds);
    static size_t runningDetachedThreadCount();

    static bool isMainThread();
};

}
