#pragma once

#include "json/fast/JSONDecoder.h"
#include "platform/foundation/Error.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brenzo::testing {

// Decodes with a decoder of its own.
fnd::Id decodeJSON(std::string_view text, JKParseOptionFlags options = JKParseOptionStrict, bool mutableCollections = false, fnd::Ref<fnd::Error>* error = nullptr);

struct DecodeFailure {
    std::string message;
    std::optional<uint64_t> index;
    std::optional<uint64_t> line;
};

// The error of a decode that must fail (an empty message when it succeeded).
DecodeFailure decodeFailure(std::string_view text, JKParseOptionFlags options = JKParseOptionStrict);

// The files the benchmarks read, when present.
std::optional<std::string> readBenchmarkDocument(std::string_view name);

// Switches the process's numeric locale to one with a decimal comma (German, built once with
// localedef into a temporary folder) for its lifetime. isActive() is false when none can be had.
class ScopedCommaDecimalLocale {
public:
    ScopedCommaDecimalLocale();
    ~ScopedCommaDecimalLocale();
    ScopedCommaDecimalLocale(const ScopedCommaDecimalLocale&) = delete;
    ScopedCommaDecimalLocale& operator=(const ScopedCommaDecimalLocale&) = delete;

    bool isActive() const { return m_isActive; }

private:
    std::string m_previous;
    bool m_isActive { false };
};

}
