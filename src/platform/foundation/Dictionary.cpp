#include "platform/foundation/Dictionary.h"

#include "platform/foundation/CollectionDescription.h"
#include "platform/foundation/Exception.h"
#include "platform/foundation/String.h"

namespace fnd {

Ref<Dictionary> Dictionary::create(std::vector<DictionaryEntry> entries)
{
    return std::make_shared<StandardDictionary>(std::move(entries), false);
}

Id Dictionary::objectForKey(const Id& key) const
{
    return key ? objectForKey(*key) : nullptr;
}

Id Dictionary::objectForKey(std::string_view key) const
{
    String probe { std::string(key) };
    return objectForKey(static_cast<const Object&>(probe));
}

std::optional<std::string> Dictionary::stringForKey(std::string_view key) const
{
    auto value = objectForKeyAs<String>(key);
    if (!value)
        return std::nullopt;
    return value->utf8();
}

std::vector<Id> Dictionary::allKeys() const
{
    std::vector<Id> keys;
    keys.reserve(count());
    forEachEntry([&](const Id& key, const Id&, bool&) { keys.push_back(key); });
    return keys;
}

std::vector<Id> Dictionary::allValues() const
{
    std::vector<Id> values;
    values.reserve(count());
    forEachEntry([&](const Id&, const Id& value, bool&) { values.push_back(value); });
    return values;
}

std::vector<DictionaryEntry> Dictionary::entries() const
{
    std::vector<DictionaryEntry> result;
    result.reserve(count());
    forEachEntry([&](const Id& key, const Id& value, bool&) { result.emplace_back(key, value); });
    return result;
}

bool Dictionary::isEqual(const Object& other) const
{
    if (this == &other)
        return true;
    auto* dictionary = dynamic_cast<const Dictionary*>(&other);
    if (!dictionary || dictionary->count() != count())
        return false;
    bool equal = true;
    forEachEntry([&](const Id& key, const Id& value, bool& stop) {
        if (!fnd::isEqual(value, dictionary->objectForKey(*key))) {
            equal = false;
            stop = true;
        }
    });
    return equal;
}

std::string Dictionary::descriptionWithIndent(unsigned level) const
{
    std::string text = "{";
    forEachEntry([&](const Id& key, const Id& value, bool&) {
        text += "\n" + indentationForLevel(level + 1) + describeInCollection(key, level + 1) + " = " + describeInCollection(value, level + 1) + ";";
    });
    if (count())
        text += "\n" + indentationForLevel(level);
    text += "}";
    return text;
}

std::string Dictionary::description() const
{
    return descriptionWithIndent(0);
}

Id Dictionary::immutableCopy() const
{
    return create(entries());
}

Id Dictionary::mutableCopy() const
{
    return MutableDictionary::create(entries());
}

Ref<MutableDictionary> MutableDictionary::create(size_t capacity)
{
    auto dictionary = std::make_shared<StandardDictionary>(std::vector<DictionaryEntry>(), true);
    dictionary->reserve(capacity);
    return dictionary;
}

Ref<MutableDictionary> MutableDictionary::create(std::vector<DictionaryEntry> entries)
{
    return std::make_shared<StandardDictionary>(std::move(entries), true);
}

void MutableDictionary::removeAllObjects()
{
    for (auto& key : allKeys())
        removeObjectForKey(*key);
}

void MutableDictionary::setObjectForKey(Id object, std::string_view key)
{
    setObjectForKey(std::move(object), String::create(key));
}

void MutableDictionary::removeObjectForKey(std::string_view key)
{
    String probe { std::string(key) };
    removeObjectForKey(static_cast<const Object&>(probe));
}

void MutableDictionary::addEntriesFromDictionary(const Dictionary& other)
{
    for (auto& [key, value] : other.entries())
        setObjectForKey(value, key);
}

StandardDictionary::StandardDictionary(std::vector<DictionaryEntry> entries, bool isMutable)
    : m_mutable(isMutable)
{
    // Later duplicates replace earlier ones, as repeated setObject calls would.
    m_entries.reserve(entries.size());
    for (auto& [key, value] : entries) {
        if (!key || !value)
            throw Exception("NSInvalidArgumentException", "attempt to insert nil object");
        Id storedKey = copyOf(key);
        size_t existing = findIndex(*storedKey);
        if (existing != SIZE_MAX) {
            m_entries[existing].second = std::move(value);
            continue;
        }
        m_index.emplace(storedKey->hash(), m_entries.size());
        m_entries.emplace_back(std::move(storedKey), std::move(value));
    }
}

StandardDictionary::~StandardDictionary()
{
    for (auto& entry : m_entries) {
        DeferredRelease::release(std::move(entry.first));
        DeferredRelease::release(std::move(entry.second));
    }
}

void StandardDictionary::reserve(size_t capacity)
{
    m_entries.reserve(capacity);
    m_index.reserve(capacity);
}

size_t StandardDictionary::findIndex(const Object& key) const
{
    auto [begin, end] = m_index.equal_range(key.hash());
    for (auto it = begin; it != end; ++it) {
        if (m_entries[it->second].first->isEqual(key))
            return it->second;
    }
    return SIZE_MAX;
}

Id StandardDictionary::objectForKey(const Object& key) const
{
    size_t index = findIndex(key);
    return index == SIZE_MAX ? nullptr : m_entries[index].second;
}

void StandardDictionary::forEachEntry(const std::function<void(const Id&, const Id&, bool&)>& body) const
{
    bool stop = false;
    for (size_t index = 0; index < m_entries.size() && !stop; ++index)
        body(m_entries[index].first, m_entries[index].second, stop);
}

void StandardDictionary::checkMutable() const
{
    if (!m_mutable)
        throw Exception("NSInternalInconsistencyException", "mutating method sent to immutable object");
}

void StandardDictionary::setObjectForKey(Id object, Id key)
{
    checkMutable();
    if (!key)
        throw Exception("NSInvalidArgumentException", "key cannot be nil");
    if (!object)
        throw Exception("NSInvalidArgumentException", "object cannot be nil (key: " + key->description() + ")");
    size_t existing = findIndex(*key);
    if (existing != SIZE_MAX) {
        Id old = std::exchange(m_entries[existing].second, std::move(object));
        DeferredRelease::release(std::move(old));
        return;
    }
    Id storedKey = copyOf(key);
    m_index.emplace(storedKey->hash(), m_entries.size());
    m_entries.emplace_back(std::move(storedKey), std::move(object));
}

void StandardDictionary::removeObjectForKey(const Object& key)
{
    checkMutable();
    size_t index = findIndex(key);
    if (index == SIZE_MAX)
        return;
    DictionaryEntry removed = std::move(m_entries[index]);
    m_entries.erase(m_entries.begin() + static_cast<ptrdiff_t>(index));
    rebuildIndex();
    DeferredRelease::release(std::move(removed.first));
    DeferredRelease::release(std::move(removed.second));
}

void StandardDictionary::removeAllObjects()
{
    checkMutable();
    auto old = std::move(m_entries);
    m_entries.clear();
    m_index.clear();
    for (auto& entry : old) {
        DeferredRelease::release(std::move(entry.first));
        DeferredRelease::release(std::move(entry.second));
    }
}

void StandardDictionary::rebuildIndex()
{
    m_index.clear();
    for (size_t index = 0; index < m_entries.size(); ++index)
        m_index.emplace(m_entries[index].first->hash(), index);
}

}
