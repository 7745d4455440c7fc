#include "json/fast/JKUnicode.h"

namespace {

constexpr char32_t replacementCharacter = 0xFFFD;

JKUTF8Sequence illegal(size_t length)
{
    return { JKUTF8Result::SourceIllegal, replacementCharacter, length };
}

}

bool JKIsNoncharacter(char32_t codePoint)
{
    return (codePoint >= 0xFDD0 && codePoint <= 0xFDEF) || (codePoint & 0xFFFE) == 0xFFFE;
}

JKUTF8Sequence ConvertSingleCodePointInUTF8(const uint8_t* begin, const uint8_t* end, JKNoncharacters noncharacters)
{
    uint8_t lead = begin[0];
    if (lead < 0x80)
        return { JKUTF8Result::Ok, lead, 1 };
    if (lead < 0xC2 || lead > 0xF4)
        return illegal(1);

    size_t length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    uint8_t secondLow = 0x80;
    uint8_t secondHigh = 0xBF;
    if (lead == 0xE0)
        secondLow = 0xA0;
    else if (lead == 0xED)
        secondHigh = 0x9F;
    else if (lead == 0xF0)
        secondLow = 0x90;
    else if (lead == 0xF4)
        secondHigh = 0x8F;

    char32_t codePoint = lead & (0xFF >> (length + 1));
    for (size_t index = 1; index < length; ++index) {
        if (begin + index >= end)
            return { JKUTF8Result::SourceExhausted, replacementCharacter, index };
        uint8_t byte = begin[index];
        uint8_t low = index == 1 ? secondLow : 0x80;
        uint8_t high = index == 1 ? secondHigh : 0xBF;
        if (byte < low || byte > high)
            return illegal(index);
        codePoint = (codePoint << 6) | (byte & 0x3F);
    }
    if (noncharacters == JKNoncharacters::Refuse && JKIsNoncharacter(codePoint))
        return illegal(length);
    return { JKUTF8Result::Ok, codePoint, length };
}

size_t JKEncodeUTF8(char32_t codePoint, uint8_t* out)
{
    if (codePoint < 0x80) {
        out[0] = static_cast<uint8_t>(codePoint);
        return 1;
    }
    if (codePoint < 0x800) {
        out[0] = static_cast<uint8_t>(0xC0 | (codePoint >> 6));
        out[1] = static_cast<uint8_t>(0x80 | (codePoint & 0x3F));
        return 2;
    }
    if (codePoint < 0x10000) {
        out[0] = static_cast<uint8_t>(0xE0 | (codePoint >> 12));
        out[1] = static_cast<uint8_t>(0x80 | ((codePoint >> 6) & 0x3F));
        out[2] = static_cast<uint8_t>(0x80 | (codePoint & 0x3F));
        return 3;
    }
    out[0] = static_cast<uint8_t>(0xF0 | (codePoint >> 18));
    out[1] = static_cast<uint8_t>(0x80 | ((codePoint >> 12) & 0x3F));
    out[2] = static_cast<uint8_t>(0x80 | ((codePoint >> 6) & 0x3F));
    out[3] = static_cast<uint8_t>(0x80 | (codePoint & 0x3F));
    return 4;
}
