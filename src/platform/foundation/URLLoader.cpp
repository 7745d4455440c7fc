#include "platform/foundation/URLLoader.h"

#include "platform/foundation/CurlLibrary.h"

#include <algorithm>

namespace fnd {

namespace {

const CurlLibrary& curl()
{
    return CurlLibrary::shared();
}

// The longest the thread sleeps without being woken; keeps time-outs honest even if libcurl asks for more.
constexpr int longestWaitMilliseconds = 1000;

}

URLLoader& URLLoader::shared()
{
    // Initialised before the loader so that libcurl's own clean-up at exit runs after the loader has stopped.
    CurlTransfer::initializeLibrary();
    static URLLoader loader;
    return loader;
}

URLLoader::URLLoader()
{
    CurlTransfer::initializeLibrary();
    m_multi = curl().multiInit();
    m_thread = std::thread([this] { run(); });
}

URLLoader::~URLLoader()
{
    {
        std::lock_guard guard(m_lock);
        m_stopping = true;
    }
    curl().multiWakeup(m_multi);
    m_thread.join();
    for (auto& [identifier, transfer] : m_running)
        curl().multiRemoveHandle(m_multi, transfer->handle());
    m_running.clear();
    m_starting.clear();
    curl().multiCleanup(m_multi);
}

uint64_t URLLoader::start(std::unique_ptr<CurlTransfer> transfer)
{
    uint64_t identifier = m_nextIdentifier++;
    transfer->setIdentifier(identifier);
    ++m_underWay;
    {
        std::lock_guard guard(m_lock);
        m_starting.push_back(std::move(transfer));
    }
    curl().multiWakeup(m_multi);
    return identifier;
}

void URLLoader::cancel(uint64_t identifier)
{
    {
        std::lock_guard guard(m_lock);
        m_cancelling.push_back(identifier);
    }
    curl().multiWakeup(m_multi);
}

void URLLoader::run()
{
    for (;;) {
        takeRequests();
        {
            std::lock_guard guard(m_lock);
            if (m_stopping)
                return;
        }
        int running = 0;
        curl().multiPerform(m_multi, &running);
        finishCompletedTransfers();
        expireIdleTransfers();
        curl().multiPoll(m_multi, nullptr, 0, waitMilliseconds(), nullptr);
    }
}

void URLLoader::takeRequests()
{
    std::vector<std::unique_ptr<CurlTransfer>> starting;
    std::vector<uint64_t> cancelling;
    {
        std::lock_guard guard(m_lock);
        starting.swap(m_starting);
        cancelling.swap(m_cancelling);
    }
    for (auto& transfer : starting) {
        uint64_t identifier = transfer->identifier();
        curl().multiAddHandle(m_multi, transfer->handle());
        m_running.emplace(identifier, std::move(transfer));
    }
    // Cancels come after starts so that a transfer cancelled right after starting is found.
    for (uint64_t identifier : cancelling)
        remove(identifier);
}

void URLLoader::finishCompletedTransfers()
{
    int remaining = 0;
    while (CURLMsg* message = curl().multiInfoRead(m_multi, &remaining)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        CurlTransfer* transfer = nullptr;
        curl().easyGetinfo(message->easy_handle, CURLINFO_PRIVATE, &transfer);
        CURLcode result = message->data.result;
        uint64_t identifier = transfer->identifier();
        auto found = m_running.find(identifier);
        if (found == m_running.end())
            continue;
        auto finished = std::move(found->second);
        m_running.erase(found);
        curl().multiRemoveHandle(m_multi, finished->handle());
        finished->complete(result);
        --m_underWay;
    }
}

void URLLoader::expireIdleTransfers()
{
    auto now = std::chrono::steady_clock::now();
    std::vector<uint64_t> expired;
    for (auto& [identifier, transfer] : m_running) {
        if (transfer->idleDeadline() <= now)
            expired.push_back(identifier);
    }
    for (uint64_t identifier : expired) {
        auto found = m_running.find(identifier);
        auto transfer = std::move(found->second);
        m_running.erase(found);
        curl().multiRemoveHandle(m_multi, transfer->handle());
        transfer->completeWithTimeout();
        --m_underWay;
    }
}

int URLLoader::waitMilliseconds() const
{
    long curlTimeout = -1;
    curl().multiTimeout(m_multi, &curlTimeout);
    long wait = curlTimeout >= 0 ? std::min<long>(curlTimeout, longestWaitMilliseconds) : longestWaitMilliseconds;
    auto now = std::chrono::steady_clock::now();
    for (auto& [identifier, transfer] : m_running) {
        auto untilDeadline = std::chrono::duration_cast<std::chrono::milliseconds>(transfer->idleDeadline() - now).count() + 1;
        wait = std::min<long>(wait, std::max<long>(0, untilDeadline));
    }
    return int(wait);
}

void URLLoader::remove(uint64_t identifier)
{
    auto found = m_running.find(identifier);
    if (found == m_running.end())
        return;
    curl().multiRemoveHandle(m_multi, found->second->handle());
    m_running.erase(found);
    --m_underWay;
}

}
