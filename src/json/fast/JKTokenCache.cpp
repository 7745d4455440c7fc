#include "json/fast/JKTokenCache.h"

#include "json/fast/JKNumberSlab.h"
#include "json/fast/JKPool.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

namespace {

constexpr size_t mask = JKTokenCache::slotCount - 1;
constexpr int probeCount = 4;

// Keys and short values are compared inline: two overlapping loads cover up to 16 bytes.
bool bytesEqual(const void* first, const void* second, size_t length)
{
    auto* a = static_cast<const uint8_t*>(first);
    auto* b = static_cast<const uint8_t*>(second);
    if (length >= 8 && length <= 16) {
        uint64_t a0, a1, b0, b1;
        std::memcpy(&a0, a, 8);
        std::memcpy(&b0, b, 8);
        std::memcpy(&a1, a + length - 8, 8);
        std::memcpy(&b1, b + length - 8, 8);
        return ((a0 ^ b0) | (a1 ^ b1)) == 0;
    }
    if (length >= 4 && length < 8) {
        uint32_t a0, a1, b0, b1;
        std::memcpy(&a0, a, 4);
        std::memcpy(&b0, b, 4);
        std::memcpy(&a1, a + length - 4, 4);
        std::memcpy(&b1, b + length - 4, 4);
        return ((a0 ^ b0) | (a1 ^ b1)) == 0;
    }
    if (length < 4) {
        for (size_t index = 0; index < length; ++index) {
            if (a[index] != b[index])
                return false;
        }
        return true;
    }
    return std::memcmp(a, b, length) == 0;
}

}

JKTokenCache::JKTokenCache() = default;

uint32_t JKTokenCache::typeAndLengthOf(const JKTokenValue& value)
{
    constexpr size_t longestExactLength = 0xFFFFFF;
    return static_cast<uint32_t>(value.type) << 24 | static_cast<uint32_t>(std::min(value.length, longestExactLength));
}

[[gnu::always_inline]] inline bool JKTokenCache::holdsValue(size_t index, const JKTokenValue& value, SlotKey valueKey) const
{
    const SlotKey& key = m_keys[index];
    if (key.hash != valueKey.hash || key.typeAndLength != valueKey.typeAndLength)
        return false;
    if (value.type == JKTokenValue::Type::String) {
        // The key's length is capped, so the text's own length decides.
        const std::string& text = static_cast<const fnd::String&>(*m_objects[index]).utf8();
        return text.size() == value.length && bytesEqual(text.data(), value.bytes, value.length);
    }
    // Numbers are made only by makeObject(), which stores the token's eight bytes as they are.
    return static_cast<const fnd::Number&>(*m_objects[index]).scalar().unsignedValue() == value.number.unsignedValue;
}

// A new slab is needed once per sixteen numbers; kept out of line so that making a number stays short.
[[gnu::noinline]] void JKTokenCache::startNumberSlab()
{
    m_numberSlab = std::allocate_shared<JKNumberSlab>(JKPoolAllocator<JKNumberSlab>());
}

[[gnu::always_inline]] inline fnd::Id JKTokenCache::makeNumber(fnd::Number::Type type, fnd::Number::Scalar scalar)
{
    if (!m_numberSlab || m_numberSlab->isFull()) [[unlikely]]
        startNumberSlab();
    // The number shares the slab's reference count.
    return fnd::Id(m_numberSlab, m_numberSlab->makeNumber(type, scalar));
}

[[gnu::noinline]] fnd::Id JKTokenCache::makeString(const JKTokenValue& value)
{
    return std::allocate_shared<fnd::String>(JKPoolAllocator<fnd::String>(), std::string(reinterpret_cast<const char*>(value.bytes), value.length));
}

// Numbers are made inline: in number-heavy input nearly every one is new.
[[gnu::always_inline]] inline fnd::Id JKTokenCache::makeObject(const JKTokenValue& value)
{
    using Type = fnd::Number::Type;
    switch (value.type) {
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

JKTokenCache::Lookup JKTokenCache::objectForValue(const JKTokenValue& value)
{
    if (value.type == JKTokenValue::Type::String && value.length == 0)
        return { fnd::String::empty(), -1 };

    const SlotKey valueKey { value.hash, typeAndLengthOf(value) };
    size_t step = value.length + static_cast<size_t>(value.type) + 3;
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
        if (holdsValue(index, value, valueKey))
            return hit(index);
        if (m_ages[index] == 0) {
            chosen = static_cast<int>(index);
            // The evicted object's count changes below; fetch it while the new one is made.
            __builtin_prefetch(m_objects[index].get());
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
        if (holdsValue(index, value, valueKey))
            return hit(index);
    }

    fnd::Id object = makeObject(value);
    if (chosen < 0)
        return { std::move(object), -1 };
    auto position = static_cast<size_t>(chosen);
    m_keys[position] = valueKey;
    m_evicted[m_nextEvicted++ % m_evicted.size()] = std::exchange(m_objects[position], object);
    m_keyHashes[position] = 0;
    m_ages[position] = 0;
    return { std::move(object), chosen };
}

size_t JKTokenCache::keyHashForSlot(int index)
{
    auto position = static_cast<size_t>(index);
    size_t& keyHash = m_keyHashes[position];
    // A key whose hash is 0 is hashed again each time; that costs only time.
    if (!keyHash)
        keyHash = m_objects[position]->hash();
    return keyHash;
}

void JKTokenCache::clear()
{
    m_keys.fill(SlotKey());
    for (auto& object : m_objects)
        object = nullptr;
    m_keyHashes.fill(0);
    m_ages.fill(0);
    m_evicted.fill(nullptr);
}

void JKTokenCache::age()
{
    bool lowBit = m_lfsr & 1;
    m_lfsr = (m_lfsr >> 1) ^ (lowBit ? 0x80200003u : 0u);
    m_ages[m_lfsr & mask] >>= 1;
}
