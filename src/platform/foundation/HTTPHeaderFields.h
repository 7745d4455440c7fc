#pragma once

#include "platform/foundation/Dictionary.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fnd {

// HTTP header fields in the order they were set, names compared without regard to case.
class HTTPHeaderFields {
public:
    using Entry = std::pair<std::string, std::string>;

    HTTPHeaderFields() = default;
    HTTPHeaderFields(std::initializer_list<Entry>);

    std::optional<std::string> value(std::string_view name) const;
    bool contains(std::string_view name) const { return find(name) != m_entries.end(); }
    // Replaces any value of the field (keeping the spelling first used for its name).
    void set(std::string_view name, std::string_view value);
    // Appends to an existing value with ", ", as repeated fields are combined.
    void add(std::string_view name, std::string_view value);
    void remove(std::string_view name);

    const std::vector<Entry>& entries() const { return m_entries; }
    size_t count() const { return m_entries.size(); }
    bool isEmpty() const { return m_entries.empty(); }
    // Name to value, as strings.
    Ref<Dictionary> dictionary() const;

    static bool namesMatch(std::string_view, std::string_view);

private:
    std::vector<Entry>::const_iterator find(std::string_view name) const;
    std::vector<Entry>::iterator find(std::string_view name);

    std::vector<Entry> m_entries;
};

}
