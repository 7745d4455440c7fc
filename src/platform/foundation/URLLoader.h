#pragma once

#include "platform/foundation/CurlTransfer.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace fnd {

// The one thread that drives every transfer, on a libcurl multi handle. Transfers report to their
// sinks from this thread; it gives up a transfer that sees no traffic for its time-out interval.
class URLLoader {
public:
    static URLLoader& shared();

    URLLoader();
    // Stops the thread; transfers still running end without a report.
    ~URLLoader();
    URLLoader(const URLLoader&) = delete;
    URLLoader& operator=(const URLLoader&) = delete;

    // Any thread. Answers the transfer's identifier for cancel().
    uint64_t start(std::unique_ptr<CurlTransfer>);
    // Any thread. The transfer ends without a report (it may already have reported).
    void cancel(uint64_t identifier);
    // Any thread: transfers started and not yet over. A transfer is over once its report is on
    // its way to the main run loop, or once it was cancelled or gave up.
    size_t transfersUnderWay() const { return m_underWay.load(); }

private:
    void run();
    void takeRequests();
    void finishCompletedTransfers();
    void expireIdleTransfers();
    int waitMilliseconds() const;
    void remove(uint64_t identifier);

    void* m_multi = nullptr;
    std::mutex m_lock;
    std::vector<std::unique_ptr<CurlTransfer>> m_starting;
    std::vector<uint64_t> m_cancelling;
    bool m_stopping = false;
    std::atomic<uint64_t> m_nextIdentifier { 1 };
    std::atomic<size_t> m_underWay { 0 };

    // Loader thread only.
    std::map<uint64_t, std::unique_ptr<CurlTransfer>> m_running;
    std::thread m_thread;
};

}
