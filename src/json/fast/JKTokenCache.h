#pragma once

#include "json/fast/JKTokenValue.h"
#include "platform/foundation/Object.h"

#include <array>
#include <cstdint>

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
    // What probing compares, kept apart from the objects so that a probe reads one line and never
    // waits for an object: a number's bits, or a string's bytes when it has at most 16 (a longer one
    // is compared against its object's own text).
    struct alignas(32) SlotKey {
        uint32_t hash = 0;
        // None marks a free slot.
        JKTokenValue::Type type = JKTokenValue::Type::None;
        size_t length = 0;
        std::array<uint8_t, 16> bytes {};
    };
    static constexpr size_t bytesKeptInKey = sizeof(SlotKey::bytes);

    struct Slot {
        fnd::Id object;
        size_t keyHash = 0;
        bool hasKeyHash = false;
    };

    static fnd::Id makeObject(const JKTokenValue&);
    bool holdsValue(size_t index, const JKTokenValue&) const;
    void age();

    std::array<SlotKey, slotCount> m_keys;
    std::array<Slot, slotCount> m_slots;
    std::array<uint8_t, slotCount> m_ages {};
    uint32_t m_lfsr { 1 };
    // Evicted objects wait here for a few more evictions before they are released, so that their
    // reference counts, fetched when they were evicted, are at hand by then.
    std::array<fnd::Id, 16> m_evicted;
    size_t m_nextEvicted { 0 };
};
