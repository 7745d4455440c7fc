#pragma once

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The base addresses of every web service the sharers talk to, by key ("fb.graph", "tw.api", ...).
// Each key starts at its production address; tests and the terminal's --services option point any
// of them elsewhere (a peer on 127.0.0.1). Paths are appended by the sharers: a base address has
// no trailing "/". Readable from any thread.
class ServiceEndpoints {
public:
    enum class Kind {
        // "http" or "https", a host, an optional port and path; no query or fragment.
        Address,
        // A bare host name or a cookie domain such as ".example.com".
        Domain,
    };

    struct Entry {
        std::string key;
        Kind kind;
        std::string productionValue;
    };

    static ServiceEndpoints& shared();

    // Every key with its production value, in a stable order.
    static const std::vector<Entry>& entries();

    // The current value of a known key; an unknown key is a programming error and throws
    // std::out_of_range.
    std::string url(std::string_view key) const;

    // Validates every override first and applies them only when all are good; otherwise returns
    // the first error and changes nothing.
    std::optional<std::string> apply(const std::map<std::string, std::string>& overrides);

    // Reads "key=address" lines (blank lines and lines starting with "#" are skipped) and applies
    // them as one. The error names the file and line.
    std::optional<std::string> applyFile(const std::filesystem::path&);

    // Back to the production values (tests call it between cases).
    void reset();

    // The error for one key and value, or nothing when it would be accepted.
    static std::optional<std::string> validate(std::string_view key, std::string_view value);

private:
    ServiceEndpoints();

    mutable std::mutex m_mutex;
    std::map<std::string, std::string, std::less<>> m_values;
};
