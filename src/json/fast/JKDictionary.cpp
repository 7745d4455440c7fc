#include "json/fast/JKDictionary.h"

#include "json/fast/JKPool.h"
#include "json/fast/JKRelease.h"
#include "platform/foundation/Assertion.h"
#include "platform/foundation/Exception.h"
#include "platform/foundation/Format.h"

#include <algorithm>
#include <array>
#include <memory>
#include <utility>

namespace {

// 2^64 / capacity, rounded up, for each capacity.
constexpr auto capacityReciprocals = [] {
    constexpr auto& capacities = JKDictionary::capacities;
    std::array<uint64_t, capacities.size()> reciprocals {};
    for (size_t index = 1; index < capacities.size(); ++index)
        reciprocals[index] = UINT64_MAX / capacities[index] + 1;
    return reciprocals;
}();

constexpr const char* assertionFile = "JKDictionary";

// The first table size not below floor(count x 1.33), or past the table.
constexpr size_t searchCapacityIndex(size_t count)
{
    // floor(count x 1.33) in integers, without the floating-point conversions.
    size_t wanted = count / 100 * 133 + count % 100 * 133 / 100;
    constexpr auto& capacities = JKDictionary::capacities;
    for (size_t index = 0; index < capacities.size(); ++index) {
        if (capacities[index] >= wanted)
            return index;
    }
    return capacities.size();
}

// Decoded objects are mostly small: their sizes are looked up rather than searched for.
constexpr auto smallCapacityIndices = [] {
    std::array<uint8_t, 64> indices {};
    for (size_t count = 0; count < indices.size(); ++count)
        indices[count] = static_cast<uint8_t>(searchCapacityIndex(count));
    return indices;
}();

}

void JKDictionary::alloc()
{
    throw fnd::Exception("NSInvalidArgumentException",
        fnd::format("*** - [%@ %@]: The %@ class is private to FastJSON and should not be used in this fashion.", "JKDictionary", "allocWithZone:", "JKDictionary"));
}

size_t JKDictionary::capacityForCount(size_t count)
{
    return capacities[capacityIndexForCount(count)];
}

uint8_t JKDictionary::capacityIndexForCount(size_t count)
{
    if (count < smallCapacityIndices.size())
        return smallCapacityIndices[count];
    size_t index = searchCapacityIndex(count);
    if (index == capacities.size())
        throw fnd::Exception("NSMallocException", "Unable to allocate memory for hash table.");
    return static_cast<uint8_t>(index);
}

void JKDictionary::create(fnd::Id& place, std::span<fnd::Id> objects, std::span<JKPendingKey> keys, bool isMutable, bool holdsContainers)
{
    uint8_t capacityIndex = capacityIndexForCount(objects.size());
    size_t bytes = storageBytes(capacities[capacityIndex], objects.size());
    place = JKMakeSharedWithTrailingBytes<JKDictionary>(bytes, ConstructionKey(), capacityIndex, objects, keys, isMutable, holdsContainers);
}

JKDictionary::JKDictionary(ConstructionKey, uint8_t capacityIndex, std::span<fnd::Id> objects, std::span<JKPendingKey> keys, bool isMutable, bool holdsContainers)
    : m_slots(reinterpret_cast<Slot*>(this + 1))
    , m_entryCapacity(static_cast<uint32_t>(objects.size()))
    , m_mutations(isMutable ? 1 : 0)
    , m_capacityIndex(capacityIndex)
    , m_holdsContainers(holdsContainers)
{
    std::fill_n(m_slots, capacity(), Slot {});
    size_t index = 0;
    while (index < objects.size() && addWithNewHash(keys, index, objects[index]))
        ++index;
    // From the first key whose hash an earlier key has on, members take the general path, which
    // replaces a duplicate key's earlier entry.
    for (; index < objects.size(); ++index)
        addObject(keys[index].hash, std::move(keys[index].key), std::move(objects[index]));
}

// Adds member `index` when no earlier member's key has the same hash. Until then entry i holds member
// i, so probing compares the hashes at hand in `keys` instead of asking each entry's key.
[[gnu::always_inline]] inline bool JKDictionary::addWithNewHash(std::span<JKPendingKey> keys, size_t index, fnd::Id& object)
{
    size_t keyHash = keys[index].hash;
    // The table is larger than the member count, so a free slot is always found.
    for (size_t slot = homeSlot(keyHash);; slot = nextSlot(slot)) {
        Slot candidate = m_slots[slot];
        if (!candidate) {
            appendEntry(m_slots[slot], std::move(keys[index].key), std::move(object));
            return true;
        }
        if (keys[candidate - 1].hash == keyHash)
            return false;
    }
}

JKDictionary::~JKDictionary()
{
    // Entries are packed, so only the members are visited, not the free slots.
    Entry* entries = this->entries();
    size_t count = m_count;
    // Releasing touches each member: fetch them ahead.
    constexpr size_t memberLookAhead = 4;
    for (size_t index = 0; index < count; ++index) {
        if (index + memberLookAhead < count) {
            __builtin_prefetch(entries[index + memberLookAhead].key.get());
            __builtin_prefetch(entries[index + memberLookAhead].object.get());
        }
        // Without container members, dropping them nests nothing. Decoded keys are strings; only keys
        // set later may hold other objects.
        if (m_holdsContainers) {
            if (m_keysMayHoldObjects)
                JKReleaseChild(std::move(entries[index].key));
            JKReleaseChild(std::move(entries[index].object));
        }
        std::destroy_at(&entries[index]);
    }
    if (m_hasStorageOfItsOwn)
        JKPool::deallocate(m_slots);
}

JKDictionary::Slot* JKDictionary::slotForKey(const fnd::Object& key) const
{
    size_t capacity = this->capacity();
    if (!capacity)
        return nullptr;
    size_t hash = key.hash();
    size_t slot = homeSlot(hash);
    for (size_t probe = 0; probe < capacity; ++probe, slot = nextSlot(slot)) {
        Slot& candidate = m_slots[slot];
        if (!candidate)
            return nullptr;
        if (isSameKey(*entryInSlot(candidate).key, key, hash))
            return &candidate;
    }
    return nullptr;
}

// Entries are packed: a new one goes after the last, and the free slot refers to it.
void JKDictionary::appendEntry(Slot& freeSlot, fnd::Id&& key, fnd::Id&& object)
{
    new (&entries()[m_count]) Entry { std::move(key), std::move(object) };
    freeSlot = ++m_count;
}

bool JKDictionary::isSameKey(const fnd::Object& candidate, const fnd::Object& key, size_t keyHash)
{
    return &candidate == &key || (candidate.hash() == keyHash && candidate.isEqual(key));
}

// Needs room for one more entry, which the constructor and makeRoomForOneMore() provide.
void JKDictionary::addObject(size_t keyHash, fnd::Id&& key, fnd::Id&& object)
{
    size_t capacity = this->capacity();
    size_t slot = homeSlot(keyHash);
    for (size_t probe = 0; probe < capacity;) {
        Slot& candidate = m_slots[slot];
        if (!candidate) {
            appendEntry(candidate, std::move(key), std::move(object));
            return;
        }
        // An equal key goes first, so that a later duplicate replaces the earlier one; the removal
        // may shift another entry into this slot, so it is looked at again.
        if (isSameKey(*entryInSlot(candidate).key, *key, keyHash)) {
            removeEntryInSlot(candidate);
            continue;
        }
        ++probe;
        slot = nextSlot(slot);
    }
    // The table is always sized to hold every member, so this means the table is corrupt.
    FND_ASSERT(false, assertionFile, "Invalid parameter not satisfying: %s", "count < capacity");
}

void JKDictionary::removeEntryInSlot(Slot& removed)
{
    Entry* entries = this->entries();
    size_t position = removed - 1;
    Entry old = std::move(entries[position]);
    removed = Slot();
    --m_count;
    // Backward shift: every slot of the rest of the cluster goes back to the first free slot from its
    // home, so that no lookup chain is broken.
    size_t slot = static_cast<size_t>(&removed - m_slots);
    for (size_t step = 1; step < capacity(); ++step) {
        slot = nextSlot(slot);
        Slot moved = m_slots[slot];
        if (!moved)
            break;
        m_slots[slot] = Slot();
        placeInFirstFreeSlot(moved);
    }
    // The last entry fills the hole, so that the entries stay packed.
    if (position != m_count) {
        Entry& last = entries[m_count];
        size_t lastSlot = homeSlot(last.key->hash());
        while (m_slots[lastSlot] != m_count + 1)
            lastSlot = nextSlot(lastSlot);
        m_slots[lastSlot] = static_cast<Slot>(position + 1);
        entries[position] = std::move(last);
    }
    std::destroy_at(&entries[m_count]);
    JKReleaseChild(std::move(old.key));
    JKReleaseChild(std::move(old.object));
}

void JKDictionary::placeInFirstFreeSlot(Slot moved)
{
    size_t slot = homeSlot(entryInSlot(moved).key->hash());
    for (size_t probe = 0; probe < capacity(); ++probe, slot = nextSlot(slot)) {
        if (!m_slots[slot]) {
            m_slots[slot] = moved;
            return;
        }
    }
}

void JKDictionary::makeRoomForOneMore()
{
    uint8_t wantedIndex = capacityIndexForCount(m_count + 1);
    if (m_capacityIndex >= wantedIndex && m_count < m_entryCapacity)
        return;
    uint8_t oldCapacityIndex = m_capacityIndex;
    uint8_t capacityIndex = std::max(wantedIndex, oldCapacityIndex);
    size_t capacity = capacities[capacityIndex];
    Slot* oldSlots = m_slots;
    Entry* oldEntries = entries();
    size_t oldCapacity = this->capacity();
    size_t count = m_count;
    bool oldHasStorageOfItsOwn = std::exchange(m_hasStorageOfItsOwn, true);
    m_slots = static_cast<Slot*>(JKPool::allocate(storageBytes(capacity, capacity)));
    m_entryCapacity = static_cast<uint32_t>(capacity);
    m_capacityIndex = capacityIndex;
    if (capacityIndex == oldCapacityIndex) {
        // Only the entries needed room: the slots stay as they are, and with them the order.
        std::copy_n(oldSlots, oldCapacity, m_slots);
        std::uninitialized_move_n(oldEntries, count, entries());
    } else {
        std::fill_n(m_slots, capacity, Slot {});
        m_count = 0;
        for (size_t slot = 0; slot < oldCapacity; ++slot) {
            if (Slot entry = oldSlots[slot]) {
                Entry& moved = oldEntries[entry - 1];
                size_t keyHash = moved.key->hash();
                addObject(keyHash, std::move(moved.key), std::move(moved.object));
            }
        }
    }
    std::destroy_n(oldEntries, count);
    if (oldHasStorageOfItsOwn)
        JKPool::deallocate(oldSlots);
}

// The low 32 bits of the hash modulo the capacity (which fits 32 bits), by multiplying with a
// reciprocal fixed with the capacity instead of dividing: 64 bits of the reciprocal keep every 32-bit
// remainder exact.
size_t JKDictionary::homeSlot(size_t keyHash) const
{
    __extension__ using UInt128 = unsigned __int128;
    uint64_t fraction = capacityReciprocals[m_capacityIndex] * static_cast<uint32_t>(keyHash);
    return static_cast<size_t>((static_cast<UInt128>(fraction) * capacity()) >> 64);
}

fnd::Id JKDictionary::objectForKey(const fnd::Object& key) const
{
    Slot* slot = slotForKey(key);
    return slot ? entryInSlot(*slot).object : nullptr;
}

void JKDictionary::forEachEntry(const std::function<void(const fnd::Id&, const fnd::Id&, bool&)>& body) const
{
    uint32_t mutations = m_mutations;
    bool stop = false;
    for (size_t slot = 0; slot < capacity() && !stop; ++slot) {
        const Entry* entry = entryAtSlot(slot);
        if (!entry)
            continue;
        body(entry->key, entry->object, stop);
        if (m_mutations != mutations) {
            throw fnd::Exception("NSGenericException",
                fnd::format("*** Collection <%@: %p> was mutated while being enumerated.", className(), static_cast<const void*>(this)));
        }
    }
}

void JKDictionary::getObjectsAndKeys(fnd::Id* objects, fnd::Id* keys) const
{
    size_t position = 0;
    for (size_t slot = 0; slot < capacity(); ++slot) {
        const Entry* entry = entryAtSlot(slot);
        if (!entry)
            continue;
        if (objects)
            objects[position] = entry->object;
        if (keys)
            keys[position] = entry->key;
        ++position;
    }
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
    makeRoomForOneMore();
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
    if (Slot* slot = slotForKey(key)) {
        removeEntryInSlot(*slot);
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
