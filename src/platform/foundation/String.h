#pragma once

#include "platform/foundation/Object.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

namespace fnd {

// An immutable text. Stored as UTF-8; lengths and indices are in UTF-16 units, as on the platform.
class String : public Object {
public:
    static Ref<String> create(std::string_view utf8 = {});
    static Ref<String> create(std::string&& utf8);
    static Ref<String> create(const char* utf8) { return create(std::string_view(utf8 ? utf8 : "")); }
    // Shared instance for "" so that empty texts cost no allocation.
    static const Ref<String>& empty();

    explicit String(std::string utf8 = {});
    String(const String&);

    const std::string& utf8() const { return m_utf8; }
    std::string_view view() const { return m_utf8; }
    bool isEmpty() const { return m_utf8.empty(); }

    size_t length() const;
    char16_t characterAtIndex(size_t utf16Index) const;
    std::string substring(size_t utf16Location, size_t utf16Length) const;

    bool isEqualToString(std::string_view other) const { return m_utf8 == other; }
    bool hasPrefix(std::string_view prefix) const { return view().starts_with(prefix); }
    bool hasSuffix(std::string_view suffix) const { return view().ends_with(suffix); }

    // Leading white space, an optional sign, digits; stops at the first other character and saturates.
    int32_t intValue() const;
    int64_t longLongValue() const;
    // Lenient: the longest leading decimal number, 0 when there is none; never depends on the locale.
    double doubleValue() const;
    float floatValue() const;
    // True for a leading "Y", "y", "T", "t" or a non-zero digit (after blanks, sign and zeros).
    bool boolValue() const;

    std::string_view className() const override { return "String"; }
    // Inline, as the hash is computed once and then kept.
    size_t hash() const override
    {
        size_t hash = m_hash.load(std::memory_order_relaxed);
        return hash != notComputed ? hash : computeHash();
    }
    bool isEqual(const Object&) const override;
    std::string description() const override { return m_utf8; }
    Id immutableCopy() const override;
    Id mutableCopy() const override;

protected:
    void contentsChanged();

    std::string m_utf8;

private:
    size_t computeHash() const;

    static constexpr size_t notComputed = SIZE_MAX;
    mutable std::atomic<size_t> m_utf16Length { notComputed };
    mutable std::atomic<size_t> m_hash { notComputed };
};

// Parsing helpers shared by String and the other value classes.
int64_t parseLeadingInteger(std::string_view);
double parseLeadingDouble(std::string_view);
bool parseLeadingBool(std::string_view);
size_t hashBytes(std::string_view);

}
