#pragma once

#include "json/fast/JKNumberSlab.h"
#include "json/fast/JKTokenValue.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/Object.h"
#include "platform/foundation/String.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

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
    // one is free or old enough). Inline: the decoder asks for nearly every value it reads.
    [[gnu::always_inline]] Lookup objectForValue(const JKTokenValue& value) { return lookUp<JKTokenValue::Type::None>(value); }
    // The same for a value known to be a string, such as a dictionary key, with the type tests left out.
    [[gnu::always_inline]] Lookup objectForString(const JKTokenValue& value) { return lookUp<JKTokenValue::Type::String>(value); }
    // The same for a value known to be a number. Doubles, nearly all the numbers of number-heavy input,
    // take a lookup of their own with the type and the length known.
    [[gnu::always_inline]] Lookup objectForNumber(const JKTokenValue& value)
    {
        if (value.type == JKTokenValue::Type::Double)
            return lookUp<JKTokenValue::Type::Double>(value);
        return lookUp<JKTokenValue::Type::None>(value);
    }
    // The platform hash of the key object in the slot, which the object computes once and keeps.
    size_t keyHashForSlot(int slot) const;
    void clear();

private:
    static constexpr size_t mask = slotCount - 1;
    static constexpr int probeCount = 4;

    // What probing compares, eight bytes a slot, so that all the keys stay in the nearest cache. The
    // value itself is compared against the slot's object, which a hit needs at hand anyway.
    struct SlotKey {
        uint32_t hash = 0;
        // The value type in the top byte and the length below it (capped), or 0 for a free slot.
        uint32_t typeAndLength = 0;
    };
    static uint32_t typeAndLengthOf(JKTokenValue::Type, size_t length);
    static bool bytesEqual(const void*, const void*, size_t length);

    // The lookup's steps take the value's type as a parameter when the caller knows it, so that the
    // tests of the type fold away; None means the value's own type is read.
    template<JKTokenValue::Type knownType>
    static JKTokenValue::Type typeOf(const JKTokenValue& value) { return knownType == JKTokenValue::Type::None ? value.type : knownType; }
    // A number's bytes are always its eight.
    template<JKTokenValue::Type knownType>
    static size_t lengthOf(const JKTokenValue& value)
    {
        if constexpr (knownType == JKTokenValue::Type::None || knownType == JKTokenValue::Type::String)
            return value.length;
        else
            return sizeof value.number;
    }
    template<JKTokenValue::Type knownType>
    [[gnu::always_inline]] Lookup lookUp(const JKTokenValue&);
    template<JKTokenValue::Type knownType>
    [[gnu::always_inline]] fnd::Id makeObject(const JKTokenValue&);
    fnd::Id makeString(const JKTokenValue&);
    fnd::Id makeNumber(fnd::Number::Type, fnd::Number::Scalar);
    void startNumberSlab();
    template<JKTokenValue::Type knownType>
    [[gnu::always_inline]] bool holdsValue(size_t index, const JKTokenValue&, SlotKey valueKey) const;
    void age();

    std::array<SlotKey, slotCount> m_keys;
    std::array<fnd::Id, slotCount> m_objects;
    std::array<uint8_t, slotCount> m_ages {};
    uint32_t m_lfsr { 1 };
    // Where new numbers are made until it is full.
    std::shared_ptr<JKNumberSlab> m_numberSlab;
};

// Two words of the same width, one at each end of the bytes, cover any length from one to two words.
template<typename Word>
inline bool JKOverlappingWordsEqual(const uint8_t* a, const uint8_t* b, size_t length)
{
    Word a0, a1, b0, b1;
    std::memcpy(&a0, a, sizeof(Word));
    std::memcpy(&b0, b, sizeof(Word));
    std::memcpy(&a1, a + length - sizeof(Word), sizeof(Word));
    std::memcpy(&b1, b + length - sizeof(Word), sizeof(Word));
    return ((a0 ^ b0) | (a1 ^ b1)) == 0;
}

// Keys and short values are compared inline: two overlapping loads cover up to 16 bytes.
inline bool JKTokenCache::bytesEqual(const void* first, const void* second, size_t length)
{
    auto* a = static_cast<const uint8_t*>(first);
    auto* b = static_cast<const uint8_t*>(second);
    if (length >= 8 && length <= 16)
        return JKOverlappingWordsEqual<uint64_t>(a, b, length);
    if (length >= 4 && length < 8)
        return JKOverlappingWordsEqual<uint32_t>(a, b, length);
    if (length < 4) {
        for (size_t index = 0; index < length; ++index) {
            if (a[index] != b[index])
                return false;
        }
        return true;
    }
    return std::memcmp(a, b, length) == 0;
}

inline uint32_t JKTokenCache::typeAndLengthOf(JKTokenValue::Type type, size_t length)
{
    constexpr size_t longestExactLength = 0xFFFFFF;
    return static_cast<uint32_t>(type) << 24 | static_cast<uint32_t>(std::min(length, longestExactLength));
}

template<JKTokenValue::Type knownType>
[[gnu::always_inline]] inline bool JKTokenCache::holdsValue(size_t index, const JKTokenValue& value, SlotKey valueKey) const
{
    const SlotKey& key = m_keys[index];
    if (key.hash != valueKey.hash || key.typeAndLength != valueKey.typeAndLength)
        return false;
    if (typeOf<knownType>(value) == JKTokenValue::Type::String) {
        // The key's length is capped, so the text's own length decides.
        const std::string& text = static_cast<const fnd::String&>(*m_objects[index]).utf8();
        return text.size() == value.length && bytesEqual(text.data(), value.bytes, value.length);
    }
    // Numbers are made only by makeObject(), which stores the token's eight bytes as they are.
    return static_cast<const fnd::Number&>(*m_objects[index]).scalar().unsignedValue() == value.number.unsignedValue;
}

[[gnu::always_inline]] inline fnd::Id JKTokenCache::makeNumber(fnd::Number::Type type, fnd::Number::Scalar scalar)
{
    if (!m_numberSlab || m_numberSlab->isFull()) [[unlikely]]
        startNumberSlab();
    // The number shares the slab's reference count.
    return fnd::Id(m_numberSlab, m_numberSlab->makeNumber(type, scalar));
}

// Numbers are made inline: in number-heavy input nearly every one is new.
template<JKTokenValue::Type knownType>
[[gnu::always_inline]] inline fnd::Id JKTokenCache::makeObject(const JKTokenValue& value)
{
    using Type = fnd::Number::Type;
    switch (typeOf<knownType>(value)) {
    case JKTokenValue::Type::String:
        return makeString(value);
    case JKTokenValue::Type::SignedInteger:
        return makeNumber(Type::Int64, fnd::Number::Scalar::ofSigned(value.number.signedValue));
    case JKTokenValue::Type::UnsignedInteger:
        if (value.number.unsignedValue <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
            return makeNumber(Type::Int64, fnd::Number::Scalar::ofSigned(static_cast<int64_t>(value.number.unsignedValue)));
        return makeNumber(Type::UInt64, fnd::Number::Scalar::ofUnsigned(value.number.unsignedValue));
    case JKTokenValue::Type::Double:
        return makeNumber(Type::Double, fnd::Number::Scalar::ofDouble(value.number.doubleValue));
    case JKTokenValue::Type::None:
        break;
    }
    return nullptr;
}

template<JKTokenValue::Type knownType>
[[gnu::always_inline]] inline JKTokenCache::Lookup JKTokenCache::lookUp(const JKTokenValue& value)
{
    JKTokenValue::Type type = typeOf<knownType>(value);
    size_t length = lengthOf<knownType>(value);
    if (type == JKTokenValue::Type::String && length == 0)
        return { fnd::String::empty(), -1 };

    const SlotKey valueKey { value.hash, typeAndLengthOf(type, length) };
    size_t step = length + static_cast<size_t>(type) + 3;
    auto probedSlot = [&](int probe) { return (value.hash + step * static_cast<size_t>(probe)) & mask; };
    auto hit = [&](size_t index) -> Lookup {
        m_ages[index] = static_cast<uint8_t>(m_ages[index] * 2 + 1);
        return { m_objects[index], static_cast<int>(index) };
    };

    // An empty slot is taken at once. Until a slot is chosen, each other slot is either old enough to
    // be chosen (age 0) or ages; after that only a hit or an empty slot matters.
    int chosen = -1;
    int probe = 0;
    for (; probe < probeCount && chosen < 0; ++probe) {
        size_t index = probedSlot(probe);
        if (!m_keys[index].typeAndLength) {
            // Probing stops at an empty slot.
            chosen = static_cast<int>(index);
            probe = probeCount;
            break;
        }
        if (holdsValue<knownType>(index, value, valueKey))
            return hit(index);
        if (m_ages[index] == 0) {
            // The evicted object is released when the new one takes its place. Asking for its count
            // ahead costs more than it saves: the address is itself a load that often misses, and the
            // prefetch cannot retire before it arrives.
            chosen = static_cast<int>(index);
        } else {
            m_ages[index] >>= 1;
            age();
            age();
        }
    }
    for (; probe < probeCount; ++probe) {
        size_t index = probedSlot(probe);
        if (!m_keys[index].typeAndLength) {
            chosen = static_cast<int>(index);
            break;
        }
        if (holdsValue<knownType>(index, value, valueKey))
            return hit(index);
    }

    fnd::Id object = makeObject<knownType>(value);
    if (chosen < 0)
        return { std::move(object), -1 };
    auto position = static_cast<size_t>(chosen);
    m_keys[position] = valueKey;
    m_objects[position] = object;
    m_ages[position] = 0;
    return { std::move(object), chosen };
}

inline void JKTokenCache::age()
{
    bool lowBit = m_lfsr & 1;
    m_lfsr = (m_lfsr >> 1) ^ (lowBit ? 0x80200003u : 0u);
    m_ages[m_lfsr & mask] >>= 1;
}
