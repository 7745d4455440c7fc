#pragma once

#include "platform/foundation/Array.h"

class JKDictionary;

// Walks the keys of a decoder dictionary in slot order.
class JKDictionaryEnumerator final : public fnd::Object {
    class ConstructionKey {
        friend class JKDictionaryEnumerator;
        ConstructionKey() = default;
    };

public:
    // The dictionary must be given.
    static fnd::Ref<JKDictionaryEnumerator> createWithJKDictionary(fnd::Ref<JKDictionary>);

    JKDictionaryEnumerator(ConstructionKey, fnd::Ref<JKDictionary>);

    // The next key, or nothing once every slot was visited.
    fnd::Id nextObject();
    // The keys nextObject() would still give.
    fnd::Ref<fnd::Array> allObjects();

    std::string_view className() const override { return "JKDictionaryEnumerator"; }

private:
    fnd::Ref<JKDictionary> m_collection;
    size_t m_nextSlot { 0 };
};
