#pragma once

#include "json/fast/JKTokenValue.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/Object.h"

#include <array>
#include <cstdint>

class JKNumberSlab;

// Hands out one shared object for repeated strings and numbers, so that equal values decoded by one
// decoder are the same object until evicted. 1,024 slots with ages that rise on hits and decay on misses.
class JKTokenCache {
public:
    static constexpr size_t slotCount = 1024;

    struct Lookup {
        fnd::Id object;
        // The slot now holding the value, or nothing.
        int slot = -1;
    };

    JKTokenCache();

    // The object for the value: from a slot on a hit, newly made on a miss (and kept in a slot when
    // one is free or old enough).
    Lookup objectForValue(const JKTokenValue&);
    // The platform hash of the key object in the slot, computed on first use.
    size_t keyHashForSlot(int slot);
    void clear();

private:
    // What probing compares, eight bytes a slot, so that all the keys stay in the nearest cache. The
    // value itself is compared against the slot's object, which a hit needs at hand anyway.
    struct SlotKey {
        uint32_t hash = 0;
        // The value type in the top byte and the length below it (capped), or 0 for a free slot.
        uint32_t typeAndLength = 0;
    };
    static uint32_t typeAndLengthOf(const JKTokenValue&);

    fnd::Id makeObject(const JKTokenValue&);
    fnd::Id makeString(const JKTokenValue&);
    fnd::Id makeNumber(fnd::Number::Type, fnd::Number::Scalar);
    void startNumberSlab();
    bool holdsValue(size_t index, const JKTokenValue&, SlotKey valueKey) const;
    void age();

    std::array<SlotKey, slotCount> m_keys;
    std::array<fnd::Id, slotCount> m_objects;
    // The platform hash of each slot's object when it is a dictionary key; 0 until first asked.
    std::array<size_t, slotCount> m_keyHashes {};
    std::array<uint8_t, slotCount> m_ages {};
    uint32_t m_lfsr { 1 };
    // Evicted objects wait here for a few more evictions before they are released, so that their
    // reference counts, fetched when they were evicted, are at hand by then.
    std::array<fnd::Id, 16> m_evicted;
    size_t m_nextEvicted { 0 };
    // Where new numbers are made until it is full.
    std::shared_ptr<JKNumberSlab> m_numberSlab;
};
