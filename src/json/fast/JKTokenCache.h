#pragma once

#include "json/fast/JKTokenValue.h"
#include "platform/foundation/Object.h"

#include <array>
#include <cstdint>
#include <string>

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
    struct Slot {
        fnd::Id object;
        uint32_t hash = 0;
        JKTokenValue::Type type = JKTokenValue::Type::None;
        size_t keyHash = 0;
        bool hasKeyHash = false;
        std::string bytes;
    };

    static fnd::Id makeObject(const JKTokenValue&);
    void age();

    std::array<Slot, slotCount> m_slots;
    std::array<uint8_t, slotCount> m_ages {};
    uint32_t m_lfsr { 1 };
};
