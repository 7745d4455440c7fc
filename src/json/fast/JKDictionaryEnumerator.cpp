#include "json/fast/JKDictionaryEnumerator.h"

#include "json/fast/JKDictionary.h"
#include "platform/foundation/Assertion.h"

fnd::Ref<JKDictionaryEnumerator> JKDictionaryEnumerator::createWithJKDictionary(fnd::Ref<JKDictionary> dictionary)
{
    if (!FND_ASSERT(dictionary, "JKDictionaryEnumerator", "Invalid parameter not satisfying: %s", "collection != NULL"))
        return nullptr;
    return std::make_shared<JKDictionaryEnumerator>(ConstructionKey(), std::move(dictionary));
}

JKDictionaryEnumerator::JKDictionaryEnumerator(ConstructionKey, fnd::Ref<JKDictionary> dictionary)
    : m_collection(std::move(dictionary))
{
}

fnd::Id JKDictionaryEnumerator::nextObject()
{
    while (m_nextSlot < m_collection->capacity()) {
        const JKDictionary::Entry* entry = m_collection->entryAtSlot(m_nextSlot++);
        if (entry)
            return entry->key;
    }
    return nullptr;
}

fnd::Ref<fnd::Array> JKDictionaryEnumerator::allObjects()
{
    std::vector<fnd::Id> keys;
    size_t limit = m_collection->count();
    while (keys.size() < limit) {
        fnd::Id key = nextObject();
        if (!key)
            break;
        keys.push_back(std::move(key));
    }
    return fnd::Array::create(std::move(keys));
}
