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
