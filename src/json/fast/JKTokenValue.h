#pragma once

#include <cstddef>
#include <cstdint>

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

inline uint32_t JKHashBytes(uint32_t hash, const uint8_t* bytes, size_t length)
{
    for (size_t index = 0; index < length; ++index)
        hash = hash * 33 + bytes[index];
    return hash;
}
