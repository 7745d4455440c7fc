#pragma once

#include <cstddef>
#include <cstdint>

// UTF-8 reading shared by the fast decoder and its encoder.

enum class JKUTF8Result {
    Ok = 0,
    SourceExhausted = 1,
    SourceIllegal = 3,
};

struct JKUTF8Sequence {
    JKUTF8Result result;
    // U+FFFD unless the result is Ok.
    char32_t codePoint;
    // Bytes the sequence covers: all of it when well-formed, the maximal ill-formed prefix otherwise.
    size_t length;
};

enum class JKNoncharacters {
    Refuse,
    Accept,
};

// Reads the one UTF-8 sequence starting at `begin` (which must be before `end`). Well-formedness follows
// the Unicode standard's table; noncharacters (U+FDD0..U+FDEF and code points ending in FFFE or FFFF)
// count as illegal unless accepted.
JKUTF8Sequence ConvertSingleCodePointInUTF8(const uint8_t* begin, const uint8_t* end, JKNoncharacters = JKNoncharacters::Refuse);

bool JKIsNoncharacter(char32_t codePoint);

// Appends the code point as 1 to 4 UTF-8 bytes to `out`; answers the number of bytes written.
size_t JKEncodeUTF8(char32_t codePoint, uint8_t* out);

// The length of the sequence at `begin` when it is a well-formed two- or three-byte sequence of the
// common kinds, which hold no surrogate and no noncharacter; 0 when the full routine must decide.
inline size_t JKCommonUTF8SequenceLength(const uint8_t* begin, const uint8_t* end)
{
    uint8_t lead = begin[0];
    if (lead >= 0xC2 && lead <= 0xDF)
        return end - begin >= 2 && (begin[1] & 0xC0) == 0x80 ? 2 : 0;
    if ((lead >= 0xE1 && lead <= 0xEC) || lead == 0xEE)
        return end - begin >= 3 && (begin[1] & 0xC0) == 0x80 && (begin[2] & 0xC0) == 0x80 ? 3 : 0;
    return 0;
}
