#include "json/fast/JKDictionary.h"

#include "json/fast/JKDictionaryEnumerator.h"
#include "json/fast/JKPool.h"
#include "json/fast/JKRelease.h"
#include "platform/foundation/Assertion.h"
#include "platform/foundation/Exception.h"
#include "platform/foundation/Format.h"

#include <array>
#include <memory>
#include <utility>

namespace {

// Prime table sizes; a table for n members has the first size not below floor(n * 1.33).
constexpr std::array<size_t, 40> capacities = {
    0, 3, 7, 13, 23, 41, 71, 127, 191, 251, 383, 631, 1087, 1723, 2803, 4523, 7351, 11959, 19447, 31231,
    50683, 81919, 132607, 214519, 346607, 561109, 907759, 1468927, 2376191, 3845119, 6221311, 10066421,
    16287743, 26354171, 42641881, 68996069, 111638519, 180634607, 292272623, 472907251,
};

constexpr const char* assertionFile = "JKDictionary";

}

void JKDictionary::alloc()
{
    throw fnd::Exception("NSInvalidArgumentException",
        fnd::format("*** - [%@ %@]: The %@ class is private to FastJSON and should not be used in this fashion.", "JKDictionary", "allocWithZone:", "JKDictionary"));
}

size_t JKDictionary::capacityForCount(size_t count)
{
    // floor(count x 1.33) in integers, without the floating-point conversions.
    size_t wanted = count / 100 * 133 + count % 100 * 133 / 100;
    for (size_t capacity : capacities) {
        if (capacity >= wanted)
            return capacity;
    }
    throw fnd::Exception("NSMallocException", "Unable to allocate memory for hash table.");
}

fnd::Ref<JKDictionary> JKDictionary::create(std::span<fnd::Id> objects, std::span<JKPendingKey> keys, bool isMutable, bool holdsContainers)
{
    size_t capacity = capacityForCount(objects.size());
    void* storage = nullptr;
    JKPoolAllocatorWithTrailingBytes<JKDictionary> allocator(capacity * sizeof(Entry), &storage);
    // The allocator sets `storage`; the arguments reach the constructor only after the allocation.
    return std::allocate_shared<JKDictionary>(allocator, ConstructionKey(), storage, capacity, objects, keys, isMutable, holdsContainers);
}

JKDictionary::Entry* JKDictionary::makeEntryStorage(size_t capacity)
{
    auto* entries = static_cast<Entry*>(JKPool::allocate(capacity * sizeof(Entry)));
    std::uninitialized_value_construct_n(entries, capacity);
    return entries;
}

JKDictionary::JKDictionary(ConstructionKey, void* storage, size_t capacity, std::span<fnd::Id> objects, std::span<JKPendingKey> keys, bool isMutable, bool holdsContainers)
    : m_entries(static_cast<Entry*>(storage))
    , m_mutations(isMutable ? 1 : 0)
    , m_holdsContainers(holdsContainers)
{
    setCapacity(capacity);
    std::uninitialized_value_construct_n(m_entries, capacity);
    for (size_t index = 0; index < objects.size(); ++index)
        addObject(keys[index].hash, std::move(keys[index].key), std::move(objects[index]));
}

JKDictionary::~JKDictionary()
{
    // Each entry is destroyed as it is released, so the storage is given back without a second pass.
    Entry* entries = m_entries;
    // Releasing touches each member: fetch them ahead.
    constexpr size_t memberLookAhead = 4;
    for (size_t slot = 0; slot < m_capacity; ++slot) {
        if (slot + memberLookAhead < m_capacity) {
            __builtin_prefetch(entries[slot + memberLookAhead].key.get());
            __builtin_prefetch(entries[slot + memberLookAhead].object.get());
        }
        // Without container members, dropping them nests nothing. Decoded keys are strings; only keys
        // set later may hold other objects.
        if (m_holdsContainers) {
            if (m_keysMayHoldObjects)
                JKReleaseChild(std::move(entries[slot].key));
            JKReleaseChild(std::move(entries[slot].object));
        }
        std::destroy_at(&entries[slot]);
    }
    if (m_hasStorageOfItsOwn)
        JKPool::deallocate(entries, m_capacity * sizeof(Entry));
}

JKDictionary::Entry* JKDictionary::entryForKey(const fnd::Object& key) const
{
    if (!m_capacity)
        return nullptr;
    size_t hash = key.hash();
    size_t slot = homeSlot(hash);
    for (size_t probe = 0; probe < m_capacity; ++probe, slot = nextSlot(slot)) {
        Entry& entry = m_entries[slot];
        if (!entry.key)
            return nullptr;
        if (entry.keyHash == hash && (entry.key.get() == &key || entry.key->isEqual(key)))
            return &entry;
    }
    return nullptr;
}

void JKDictionary::addObject(size_t keyHash, fnd::Id&& key, fnd::Id&& object)
{
    size_t slot = homeSlot(keyHash);
    for (size_t probe = 0; probe < m_capacity;) {
        Entry& entry = m_entries[slot];
        if (!entry.key) {
            entry = { keyHash, std::move(key), std::move(object) };
            ++m_count;
            return;
        }
        // An equal key goes first, so that a later duplicate replaces the earlier one; the removal
        // may shift another entry into this slot, so it is looked at again.
        if (entry.keyHash == keyHash && (entry.key == key || entry.key->isEqual(*key))) {
            removeEntry(entry);
            continue;
        }
        ++probe;
        slot = nextSlot(slot);
    }
    // The table is always sized to hold every member, so this means the table is corrupt.
    FND_ASSERT(false, assertionFile, "Invalid parameter not satisfying: %s", "count < capacity");
}

void JKDictionary::removeEntry(Entry& removed)
{
    Entry old = std::move(removed);
    removed = Entry();
    --m_count;
    // Backward shift: every entry of the rest of the cluster goes back to the first free slot from its
    // home, so that no lookup chain is broken.
    size_t slot = static_cast<size_t>(&removed - m_entries);
    for (size_t step = 1; step < m_capacity; ++step) {
        slot = nextSlot(slot);
        Entry& entry = m_entries[slot];
        if (!entry.key)
            break;
        Entry moved = std::move(entry);
        entry = Entry();
        placeInFirstFreeSlot(std::move(moved));
    }
    JKReleaseChild(std::move(old.key));
    JKReleaseChild(std::move(old.object));
}

void JKDictionary::placeInFirstFreeSlot(Entry&& entry)
{
    size_t slot = homeSlot(entry.keyHash);
    for (size_t probe = 0; probe < m_capacity; ++probe, slot = nextSlot(slot)) {
        Entry& candidate = m_entries[slot];
        if (!candidate.key) {
            candidate = std::move(entry);
            return;
        }
    }
}

void JKDictionary::resizeIfNecessary()
{
    size_t wanted = capacityForCount(m_count + 1);
    if (m_capacity >= wanted)
        return;
    Entry* entries = makeEntryStorage(wanted);
    Entry* old = std::exchange(m_entries, entries);
    size_t oldCapacity = m_capacity;
    bool oldHasStorageOfItsOwn = std::exchange(m_hasStorageOfItsOwn, true);
    setCapacity(wanted);
    m_count = 0;
    for (size_t slot = 0; slot < oldCapacity; ++slot) {
        if (old[slot].key)
            addObject(old[slot].keyHash, std::move(old[slot].key), std::move(old[slot].object));
    }
    std::destroy_n(old, oldCapacity);
    if (oldHasStorageOfItsOwn)
        JKPool::deallocate(old, oldCapacity * sizeof(Entry));
}

void JKDictionary::setCapacity(size_t capacity)
{
    m_capacity = capacity;
    m_capacityReciprocal = capacity ? UINT64_MAX / capacity + 1 : 0;
}

fnd::Id JKDictionary::objectForKey(const fnd::Object& key) const
{
    Entry* entry = entryForKey(key);
    return entry ? entry->object : nullptr;
}

void JKDictionary::forEachEntry(const std::function<void(const fnd::Id&, const fnd::Id&, bool&)>& body) const
{
    uint32_t mutations = m_mutations;
    bool stop = false;
    for (size_t slot = 0; slot < m_capacity && !stop; ++slot) {
        const Entry& entry = m_entries[slot];
        if (!entry.key)
            continue;
        body(entry.key, entry.object, stop);
        if (m_mutations != mutations) {
            throw fnd::Exception("NSGenericException",
                fnd::format("*** Collection <%@: %p> was mutated while being enumerated.", className(), static_cast<const void*>(this)));
        }
    }
}

void JKDictionary::getObjectsAndKeys(fnd::Id* objects, fnd::Id* keys) const
{
    size_t position = 0;
    for (size_t slot = 0; slot < m_capacity; ++slot) {
        const Entry& entry = m_entries[slot];
        if (!entry.key)
            continue;
        if (objects)
            objects[position] = entry.object;
        if (keys)
            keys[position] = entry.key;
        ++position;
    }
}

fnd::Ref<JKDictionaryEnumerator> JKDictionary::keyEnumerator() const
{
    return JKDictionaryEnumerator::createWithJKDictionary(std::const_pointer_cast<JKDictionary>(shared_from_this()));
}

void JKDictionary::setObjectForKey(fnd::Id object, fnd::Id key)
{
    checkMutable("setObject:forKey:");
    if (!key)
        throw fnd::Exception("NSInvalidArgumentException", fnd::format("*** -[%@ %@]: attempt to insert nil key", className(), "setObject:forKey:"));
    if (!object) {
        throw fnd::Exception("NSInvalidArgumentException",
            fnd::format("*** -[%@ %@]: attempt to insert nil value (key: %@)", className(), "setObject:forKey:", key));
    }
    resizeIfNecessary();
    fnd::Id storedKey = fnd::copyOf(key);
    if (storedKey->holdsObjects())
        m_keysMayHoldObjects = true;
    if (object->holdsObjects() || storedKey->holdsObjects())
        m_holdsContainers = true;
    size_t keyHash = storedKey->hash();
    addObject(keyHash, std::move(storedKey), std::move(object));
    advanceMutations();
}

void JKDictionary::removeObjectForKey(const fnd::Object& key)
{
    checkMutable("removeObjectForKey:");
    if (Entry* entry = entryForKey(key)) {
        removeEntry(*entry);
        advanceMutations();
    }
}

void JKDictionary::checkMutable(std::string_view operation) const
{
    if (!m_mutations) {
        throw fnd::Exception("NSInternalInconsistencyException",
            fnd::format("*** -[%@ %@]: mutating method sent to immutable object", className(), operation));
    }
}

void JKDictionary::advanceMutations()
{
    // Wraps to 1, never to 0, which would mean immutable.
    if (++m_mutations == 0)
        m_mutations = 1;
}
