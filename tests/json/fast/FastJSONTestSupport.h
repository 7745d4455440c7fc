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

}
