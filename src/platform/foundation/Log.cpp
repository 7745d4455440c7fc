#include "platform/foundation/Log.h"

#include <cstdio>
#include <map>

namespace fnd {

namespace {

struct LogState {
    std::mutex lock;
    std::map<size_t, Log::Sink> sinks;
    size_t nextToken = 1;
    bool toStandardError = true;
};

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

void Log::write(std::string line)
{
    auto& log = state();
    std::vector<Sink> sinks;
    bool toStandardError;
    {
        std::lock_guard guard(log.lock);
        for (auto& [token, sink] : log.sinks)
            sinks.push_back(sink);
        toStandardError = log.toStandardError;
    }
    for (auto& sink : sinks)
        sink(line);
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
    log.sinks.emplace(token, std::move(sink));
    return token;
}

void Log::removeSink(size_t token)
{
    auto& log = state();
    std::lock_guard guard(log.lock);
    log.sinks.erase(token);
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
