#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

// The scalar value of the current string or number token.
struct JKTokenValue {
    enum class Type : uint32_t {
        None = 0,
        String = 5,
        SignedInteger = 7,
        UnsignedInteger = 11,
        Double = 13,
    };

    // The value's bytes: the input between the quotes, the decoded string, or the number's 8 bytes.
    const uint8_t* bytes = nullptr;
    size_t length = 0;
    Type type = Type::None;
    uint32_t hash = 0;
    union {
        int64_t signedValue;
        uint64_t unsignedValue;
        double doubleValue;
    } number { 0 };
};

// The cache's byte hash: h = h * 33 + byte, from this seed.
constexpr uint32_t JKHashSeed = 0x539C1505;

// The byte hash's share of eight bytes, the first in the least significant position: b0 * 33^7 + ...
// + b7. Neighbouring bytes are combined in parallel lanes of one word, pairs, then quads, so the work
// is not one chain of eight multiplications.
inline uint32_t JKHashOctet(uint64_t littleEndianWord)
{
    constexpr uint64_t byteLanes = 0x00FF00FF00FF00FFull;
    constexpr uint64_t pairLanes = 0x0000FFFF0000FFFFull;
    // b0 * 33 + b1 in each 16-bit lane (at most 8,670).
    uint64_t pairs = (littleEndianWord & byteLanes) * 33 + ((littleEndianWord >> 8) & byteLanes);
    // Pair * 33^2 + next pair in each 32-bit lane (at most 9,450,300).
    uint64_t quads = (pairs & pairLanes) * (33 * 33) + ((pairs >> 16) & pairLanes);
    return static_cast<uint32_t>(quads) * (33u * 33 * 33 * 33) + static_cast<uint32_t>(quads >> 32);
}

// The byte hash continued over eight bytes: h * 33^8 + b0 * 33^7 + ... + b7.
inline uint32_t JKHashEightBytes(uint32_t hash, uint64_t littleEndianWord)
{
    constexpr uint32_t thirtyThreeToTheEighth = 33u * 33 * 33 * 33 * 33 * 33 * 33 * 33;
    return hash * thirtyThreeToTheEighth + JKHashOctet(littleEndianWord);
}

inline uint64_t JKLoadLittleEndian(const uint8_t* bytes)
{
    uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    if constexpr (std::endian::native == std::endian::big)
        word = __builtin_bswap64(word);
    return word;
}

// The byte hash continued over `length` bytes. When at least `readable` bytes from `bytes` on may be
// read, a last block of fewer than eight bytes is taken as one word too: moved to the top of the word,
// with zero bytes before it, it adds the same terms.
inline uint32_t JKHashBytes(uint32_t hash, const uint8_t* bytes, size_t length, size_t readable)
{
    size_t index = 0;
    for (; index + 8 <= length; index += 8)
        hash = JKHashEightBytes(hash, JKLoadLittleEndian(bytes + index));
    size_t rest = length - index;
    if (!rest)
        return hash;
    if (readable - index >= 8) {
        static constexpr uint32_t powers[8] = { 1, 33, 33 * 33, 33 * 33 * 33, 33u * 33 * 33 * 33, 33u * 33 * 33 * 33 * 33,
            33u * 33 * 33 * 33 * 33 * 33, 33u * 33 * 33 * 33 * 33 * 33 * 33 };
        uint64_t word = JKLoadLittleEndian(bytes + index) << (8 * (8 - rest));
        return hash * powers[rest & 7] + JKHashOctet(word);
    }
    for (; index < length; ++index)
        hash = hash * 33 + bytes[index];
    return hash;
}

inline uint32_t JKHashBytes(uint32_t hash, const uint8_t* bytes, size_t length)
{
    return JKHashBytes(hash, bytes, length, length);
}
