#pragma once

#include "json/JsonCodecBase.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"

#include <atomic>
#include <string>

// Writes dictionaries, arrays, strings, numbers and null as JSON text, compact or indented two
// spaces a level, with the keys in the dictionary's order or sorted.
class JsonWriter : public JsonCodecBase {
public:
    JsonWriter();

    // The top level must be a dictionary or an array, or stand in for one through JsonProxy.
    fnd::Ref<fnd::String> stringWithObject(const fnd::Id&);
    // Any value, scalars included.
    fnd::Ref<fnd::String> stringWithFragment(const fnd::Id&);

    bool sortKeys() const { return m_sortKeys.load(); }
    void setSortKeys(bool sortKeys) { m_sortKeys.store(sortKeys); }
    bool humanReadable() const { return m_humanReadable.load(); }
    void setHumanReadable(bool humanReadable) { m_humanReadable.store(humanReadable); }

    std::string_view className() const override { return "JsonWriter"; }

private:
    bool appendValueInto(const fnd::Id&, std::string&);
    bool appendArrayInto(const fnd::Array&, std::string&);
    bool appendDictionaryInto(const fnd::Dictionary&, std::string&);
    bool appendStringInto(const fnd::String&, std::string&);
    bool appendNumberInto(const fnd::Number&, std::string&);
    void indent(std::string&) const;

    // Follows JsonProxy stand-ins to a value that is not one; false (after "Nested too deep") when
    // the chain does not end within the nesting ceiling.
    bool resolveProxies(const fnd::Id&, fnd::Id& standIn);

    std::atomic<bool> m_sortKeys { false };
    std::atomic<bool> m_humanReadable { false };
};
