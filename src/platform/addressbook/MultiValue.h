#pragma once

#include "platform/foundation/String.h"

#include <cstdint>
#include <vector>

namespace ab {

// A list of labelled values of one person, such as their phone numbers. Each value has a label
// (absent when unlabelled), the value text and an identifier that stays with the value.
class MultiValue {
public:
    using Identifier = int32_t;
    static constexpr Identifier invalidIdentifier = -1;
    static constexpr int64_t notFound = -1;

    struct Entry {
        fnd::Ref<fnd::String> label;
        fnd::Ref<fnd::String> value;
    };

    // Identifiers are given in order from 0.
    explicit MultiValue(std::vector<Entry> entries = {});

    size_t count() const { return m_entries.size(); }
    // Nil past the end.
    fnd::Ref<fnd::String> labelAtIndex(size_t index) const;
    fnd::Ref<fnd::String> valueAtIndex(size_t index) const;
    // invalidIdentifier past the end.
    Identifier identifierAtIndex(size_t index) const;
    // notFound when no value has the identifier.
    int64_t indexForIdentifier(Identifier) const;

private:
    struct StoredEntry {
        Identifier identifier;
        Entry entry;
    };
    std::vector<StoredEntry> m_entries;
};

}
