#pragma once

#include "platform/foundation/Object.h"

#include <functional>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace fnd {

class Array;
class String;

using DictionaryEntry = std::pair<Id, Id>;

// A map from keys to objects; keys compare by value and entries enumerate in insertion order, so
// that output is deterministic. An interface: the fast JSON decoder's dictionaries implement it too.
class Dictionary : public Object {
public:
    static Ref<Dictionary> create(std::vector<DictionaryEntry> entries = {});

    virtual size_t count() const = 0;
    virtual Id objectForKey(const Object& key) const = 0;
    // Visits the entries in order; the dictionary must not change meanwhile.
    virtual void forEachEntry(const std::function<void(const Id& key, const Id& value, bool& stop)>&) const = 0;

    bool isEmpty() const { return count() == 0; }
    Id objectForKey(const Id& key) const;
    Id objectForKey(std::string_view key) const;
    template<typename T>
    Ref<T> objectForKeyAs(std::string_view key) const { return as<T>(objectForKey(key)); }
    // The text of a String value; nothing when absent or not a String.
    std::optional<std::string> stringForKey(std::string_view key) const;

    std::vector<Id> allKeys() const;
    std::vector<Id> allValues() const;
    std::vector<DictionaryEntry> entries() const;

    std::string_view className() const override { return "Dictionary"; }
    size_t hash() const override { return count(); }
    bool isEqual(const Object&) const override;
    // "{\n    key = value;\n}"
    std::string description() const override;
    std::string descriptionWithIndent(unsigned level) const;
    bool holdsObjects() const override { return true; }
    Id immutableCopy() const override;
    Id mutableCopy() const override;
};

class MutableDictionary : public Dictionary {
public:
    static Ref<MutableDictionary> create(size_t capacity = 0);
    static Ref<MutableDictionary> create(std::vector<DictionaryEntry> entries);

    // A nil key or object is refused with an "NSInvalidArgumentException". Mutable keys are copied.
    virtual void setObjectForKey(Id object, Id key) = 0;
    virtual void removeObjectForKey(const Object& key) = 0;
    virtual void removeAllObjects();

    void setObjectForKey(Id object, std::string_view key);
    void removeObjectForKey(std::string_view key);
    void addEntriesFromDictionary(const Dictionary&);

    std::string_view className() const override { return "MutableDictionary"; }
    bool isMutable() const override { return true; }
};

// The platform's own dictionary: entries in a vector, found through a hash index.
class StandardDictionary final : public MutableDictionary {
public:
    StandardDictionary(std::vector<DictionaryEntry> entries, bool isMutable);
    ~StandardDictionary() override;

    size_t count() const override { return m_entries.size(); }
    Id objectForKey(const Object& key) const override;
    void forEachEntry(const std::function<void(const Id&, const Id&, bool&)>&) const override;
    void setObjectForKey(Id object, Id key) override;
    void removeObjectForKey(const Object& key) override;
    void removeAllObjects() override;
    void reserve(size_t capacity);

    using Dictionary::objectForKey;
    using MutableDictionary::removeObjectForKey;
    using MutableDictionary::setObjectForKey;

    std::string_view className() const override { return m_mutable ? "MutableDictionary" : "Dictionary"; }
    bool isMutable() const override { return m_mutable; }

private:
    void checkMutable() const;
    size_t findIndex(const Object& key) const;
    void rebuildIndex();

    std::vector<DictionaryEntry> m_entries;
    std::unordered_multimap<size_t, size_t> m_index;
    bool m_mutable;
};

}
