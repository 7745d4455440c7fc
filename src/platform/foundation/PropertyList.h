#pragma once

#include "platform/foundation/Data.h"
#include "platform/foundation/Error.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace fnd {

// Property lists: the stored form of user defaults, bundle information and the offline queue.
// They hold strings, numbers (booleans as the shared boolean numbers, integers, reals), data, dates,
// arrays and dictionaries with string keys; anything else is refused with an error.
class PropertyList {
public:
    static constexpr std::string_view errorDomain = "NSCocoaErrorDomain";
    static constexpr int64_t readCorruptError = 3840;
    static constexpr int64_t writeInvalidError = 3851;

    enum class Format {
        XML,
        Binary,
    };

    // Reads an XML or binary property list. Containers come back immutable.
    static Id read(std::span<const uint8_t> bytes, Ref<Error>* = nullptr);
    static Id readFile(const std::filesystem::path&, Ref<Error>* = nullptr);

    // XML output has its dictionary keys sorted, so that the same value always gives the same file.
    static std::optional<std::string> write(const Id&, Format = Format::XML, Ref<Error>* = nullptr);
    // Writes the XML form atomically.
    static bool writeFile(const Id&, const std::filesystem::path&, Ref<Error>* = nullptr);

    // Whether the value and everything in it can be stored.
    static bool isValid(const Id&);
    // A deep copy with immutable containers; nothing when the value cannot be stored.
    static Id immutableDeepCopy(const Id&, Ref<Error>* = nullptr);
};

}
