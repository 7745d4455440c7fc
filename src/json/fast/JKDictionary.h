#pragma once

#include "json/fast/JKPendingKey.h"
#include "platform/foundation/Dictionary.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>

class JKParseState;

// The fast decoder's dictionary: an open-addressing hash table with linear probing and prime
// capacities. It is an ordinary platform mutable dictionary to its users, but accepts changes only
// when the parse asked for mutable containers. Entries enumerate in slot order. Only the decoder
// creates instances.
class JKDictionary final : public fnd::MutableDictionary {
    class ConstructionKey {
        friend class JKDictionary;
        ConstructionKey() = default;
    };

public:
    struct Entry {
        fnd::Id key;
        fnd::Id object;
    };

    // The class is private to the decoder: asking for an instance any other way throws.
    [[noreturn]] static void alloc();
    // Prime table sizes; a table for n members has the first size not below floor(n * 1.33).
    static constexpr std::array<uint32_t, 40> capacities = {
        0, 3, 7, 13, 23, 41, 71, 127, 191, 251, 383, 631, 1087, 1723, 2803, 4523, 7351, 11959, 19447, 31231,
        50683, 81919, 132607, 214519, 346607, 561109, 907759, 1468927, 2376191, 3845119, 6221311, 10066421,
        16287743, 26354171, 42641881, 68996069, 111638519, 180634607, 292272623, 472907251,
    };
    // The table size for `count` members; throws past the largest size.
    static size_t capacityForCount(size_t count);

    // Made by create(), in a block with room for the table (of the capacity at `capacityIndex`) and
    // `objects.size()` entries right after the dictionary.
    JKDictionary(ConstructionKey, uint8_t capacityIndex, std::span<fnd::Id> objects, std::span<JKPendingKey> keys, bool isMutable, bool holdsContainers);
    ~JKDictionary() override;

    size_t count() const override { return m_count; }
    fnd::Id objectForKey(const fnd::Object& key) const override;
    // Visits the entries in slot order; changing the dictionary meanwhile throws.
    void forEachEntry(const std::function<void(const fnd::Id& key, const fnd::Id& value, bool& stop)>&) const override;
    // Writes the i-th entry's object and key to position i of each array that is given.
    void getObjectsAndKeys(fnd::Id* objects, fnd::Id* keys) const;

    void setObjectForKey(fnd::Id object, fnd::Id key) override;
    void removeObjectForKey(const fnd::Object& key) override;

    using fnd::Dictionary::objectForKey;
    using fnd::MutableDictionary::removeObjectForKey;
    using fnd::MutableDictionary::setObjectForKey;

    // A slot of the table holds the position of its entry plus one, or 0 when the slot is free.
    // Entries themselves are kept packed after the slots, so a table costs four bytes per free slot
    // rather than an entry. Probing reads a key's hash from the key, which strings compute once.
    using Slot = uint32_t;

    // The table as a walk in slot order needs it, read from the dictionary once.
    struct SlotTable {
        const Slot* slots = nullptr;
        const Entry* entries = nullptr;
        size_t capacity = 0;

        // The slot's entry, or nothing for a free slot or a slot past the end.
        const Entry* entryAtSlot(size_t slot) const
        {
            if (slot >= capacity || !slots[slot])
                return nullptr;
            return &entries[slots[slot] - 1];
        }
    };

    size_t capacity() const { return capacities[m_capacityIndex]; }
    SlotTable slotTable() const { return { m_slots, entries(), capacity() }; }
    const Entry* entryAtSlot(size_t slot) const { return slotTable().entryAtSlot(slot); }
    // 0 for an immutable dictionary; advanced by every change.
    uint32_t mutations() const { return m_mutations; }
    // Whether an array, dictionary or other container may be among the keys and objects.
    bool holdsContainers() const { return m_holdsContainers; }
    void prefetchStorage() const { __builtin_prefetch(m_slots); }

    std::string_view className() const override { return "JKDictionary"; }
    bool isMutable() const override { return m_mutations != 0; }

private:
    friend class JKParseState;
    // Takes over the references in `objects` and `keys`, which pair up by position, and stores the new
    // dictionary in `place`; a later duplicate key replaces an earlier one. Stored rather than returned:
    // a returned reference comes back through memory in halves, and reading it whole stalls.
    static void create(fnd::Id& place, std::span<fnd::Id> objects, std::span<JKPendingKey> keys, bool isMutable, bool holdsContainers);

    // The entries start eight-byte aligned after the slots.
    static size_t slotBytes(size_t capacity) { return (capacity * sizeof(Slot) + 7) & ~size_t(7); }
    static size_t storageBytes(size_t capacity, size_t entryCapacity) { return slotBytes(capacity) + entryCapacity * sizeof(Entry); }
    Entry* entries() const { return reinterpret_cast<Entry*>(reinterpret_cast<char*>(m_slots) + slotBytes(capacity())); }
    Entry& entryInSlot(Slot slot) const { return entries()[slot - 1]; }
    size_t nextSlot(size_t slot) const { return slot + 1 == capacity() ? 0 : slot + 1; }
    size_t homeSlot(size_t keyHash) const;
    static uint8_t capacityIndexForCount(size_t count);
    static bool isSameKey(const fnd::Object& candidate, const fnd::Object& key, size_t keyHash);
    Slot* slotForKey(const fnd::Object& key) const;
    bool addWithNewHash(std::span<JKPendingKey> keys, size_t index, fnd::Id& object);
    void addObject(size_t keyHash, fnd::Id&& key, fnd::Id&& object);
    void appendEntry(Slot& freeSlot, fnd::Id&& key, fnd::Id&& object);
    void removeEntryInSlot(Slot&);
    void placeInFirstFreeSlot(Slot);
    void makeRoomForOneMore();
    void checkMutable(std::string_view operation) const;
    void advanceMutations();

    // The table, then its entries: in the dictionary's own block, until a change needs more room than
    // that; then in storage of their own.
    Slot* m_slots;
    uint32_t m_count { 0 };
    uint32_t m_entryCapacity;
    uint32_t m_mutations;
    // The capacity's position among the table sizes.
    uint8_t m_capacityIndex;
    bool m_holdsContainers;
    bool m_keysMayHoldObjects { false };
    bool m_hasStorageOfItsOwn { false };
};
