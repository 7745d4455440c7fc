#pragma once

#include "platform/foundation/Format.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace fnd {

// The platform log: free-form lines without levels. Lines go to standard error unless a capture
// is active; captures see every line written from any thread while they live. Secrets (tokens,
// passwords, authorisation headers) are masked in every line before anything sees it.
class Log {
public:
    using Sink = std::function<void(const std::string& line)>;

    static void write(std::string line);
    template<typename... Arguments>
    static void format(std::string_view formatText, Arguments&&... arguments)
    {
        write(fnd::format(formatText, std::forward<Arguments>(arguments)...));
    }

    // A long text (a reply's body) as a log line shows it: at most `maximum` bytes, cut on a
    // character boundary and followed by how long the whole was. The text itself is left whole.
    static constexpr size_t longestExcerpt = 4096;
    static std::string excerpt(std::string_view, size_t maximum = longestExcerpt);

    // Returns a token for removeSink.
    static size_t addSink(Sink);
    // Returns once no write can call the sink any more, so what it captures may then be destroyed.
    static void removeSink(size_t token);
    // Silences standard error (the terminal driver keeps its output clean this way).
    static void setWritesToStandardError(bool);
};

// Collects the log's lines for as long as it lives.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::string> lines() const;
    bool contains(std::string_view fragment) const;
    size_t count(std::string_view fragment) const;
    void clear();

private:
    mutable std::mutex m_lock;
    std::vector<std::string> m_lines;
    size_t m_token;
};

}
