#include "platform/foundation/Log.h"

#include "platform/foundation/LogSecrets.h"

#include <condition_variable>
#include <cstdio>
#include <map>
#include <memory>
#include <thread>
#include <utility>

namespace fnd {

namespace {

// A sink with the count of writes that are calling it, so that removing it can wait for them.
struct SinkEntry {
    Log::Sink sink;
    size_t callsInFlight = 0;
};

struct LogState {
    std::mutex lock;
    std::condition_variable callEnded;
    std::map<size_t, std::shared_ptr<SinkEntry>> sinks;
    size_t nextToken = 1;
    bool toStandardError = true;
};

// The sink this thread is calling, if any: a sink that removes itself must not wait for itself.
thread_local const SinkEntry* sinkBeingCalled = nullptr;

LogState& state()
{
    static LogState* instance = new LogState; // never destroyed: threads may log during exit
    return *instance;
}

}

std::string Log::excerpt(std::string_view text, size_t maximum)
{
    if (text.size() <= maximum)
        return std::string(text);
    size_t end = maximum;
    // Back off continuation bytes so that no character is split.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return std::string(text.substr(0, end)) + "... (" + std::to_string(text.size()) + " bytes in all)";
}

void Log::write(std::string rawLine)
{
    std::string line = LogSecrets::masked(rawLine);
    auto& log = state();
    std::vector<std::shared_ptr<SinkEntry>> sinks;
    bool toStandardError;
    {
        std::lock_guard guard(log.lock);
        for (auto& [token, entry] : log.sinks) {
            ++entry->callsInFlight;
            sinks.push_back(entry);
        }
        toStandardError = log.toStandardError;
    }
    for (auto& entry : sinks) {
        auto* outer = std::exchange(sinkBeingCalled, entry.get());
        entry->sink(line);
        sinkBeingCalled = outer;
        std::lock_guard guard(log.lock);
        --entry->callsInFlight;
        log.callEnded.notify_all();
    }
    if (toStandardError && sinks.empty()) {
        line.push_back('\n');
        fwrite(line.data(), 1, line.size(), stderr);
    }
}

size_t Log::addSink(Sink sink)
{
    auto& log = state();
    std::lock_guard guard(log.lock);
    size_t token = log.nextToken++;
    log.sinks.emplace(token, std::make_shared<SinkEntry>(SinkEntry { std::move(sink) }));
    return token;
}

void Log::removeSink(size_t token)
{
    auto& log = state();
    std::unique_lock guard(log.lock);
    auto found = log.sinks.find(token);
    if (found == log.sinks.end())
        return;
    auto entry = found->second;
    log.sinks.erase(found);
    // Writes that took the sink before it left may still be calling it; the caller is about to
    // destroy what it captures. A call further up this thread's own stack cannot be waited for.
    size_t ownCalls = sinkBeingCalled == entry.get() ? 1 : 0;
    log.callEnded.wait(guard, [&] { return entry->callsInFlight <= ownCalls; });
}

void Log::setWritesToStandardError(bool enabled)
{
    auto& log = state();
    std::lock_guard guard(log.lock);
    log.toStandardError = enabled;
}

LogCapture::LogCapture()
    : m_token(Log::addSink([this](const std::string& line) {
        std::lock_guard guard(m_lock);
        m_lines.push_back(line);
    }))
{
}

LogCapture::~LogCapture()
{
    Log::removeSink(m_token);
}

std::vector<std::string> LogCapture::lines() const
{
    std::lock_guard guard(m_lock);
    return m_lines;
}

bool LogCapture::contains(std::string_view fragment) const
{
    return count(fragment) > 0;
}

size_t LogCapture::count(std::string_view fragment) const
{
    std::lock_guard guard(m_lock);
    size_t matches = 0;
    for (auto& line : m_lines) {
        if (line.find(fragment) != std::string::npos)
            ++matches;
    }
    return matches;
}

void LogCapture::clear()
{
    std::lock_guard guard(m_lock);
    m_lines.clear();
}

}
