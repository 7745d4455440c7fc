#include "json/fast/JKTokenizer.h"

#include "json/fast/JKUnicode.h"
#include "platform/foundation/Format.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstring>
#include <limits>

#include <fast_float/fast_float.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::string_view unexpectedTokenMessage
    = "Unexpected token, wanted '{', '}', '[', ']', ',', ':', 'true', 'false', 'null', '\"STRING\"', 'NUMBER'.";

// Bytes a string's fast pass copies as they are: printable ASCII except the quote and the backslash.
constexpr std::array<bool, 256> plainStringBytes = [] {
    std::array<bool, 256> table {};
    for (int byte = 0x20; byte < 0x80; ++byte)
        table[static_cast<size_t>(byte)] = byte != '"' && byte != '\\';
    return table;
}();

bool isDigit(uint8_t byte)
{
    return byte >= '0' && byte <= '9';
}

// The value of eight ASCII digits, the first in the least significant byte: neighbouring digits are
// combined in parallel, then pairs into fours, then the two fours.
uint64_t eightDigitsValue(uint64_t littleEndianWord)
{
    uint64_t digits = littleEndianWord - 0x3030303030303030ull;
    uint64_t pairs = (digits * 10 + (digits >> 8)) & 0x00FF00FF00FF00FFull;
    uint64_t fours = (pairs * 100 + (pairs >> 16)) & 0x0000FFFF0000FFFFull;
    return (fours & 0xFFFFFFFFull) * 10000 + (fours >> 32);
}

constexpr uint64_t everyByte(uint8_t byte)
{
    return 0x0101010101010101ull * byte;
}

// How many of the word's bytes, from the least significant on, are ASCII digits.
size_t leadingDigitCount(uint64_t littleEndianWord)
{
    // Digits become 0 to 9. Anything else has a high nibble, or gets one by adding 6; a carry out of a
    // byte only reaches bytes after the first non-digit.
    uint64_t values = littleEndianWord ^ everyByte('0');
    uint64_t nonDigits = (values | (values + everyByte(0x06))) & everyByte(0xF0);
    return nonDigits ? static_cast<size_t>(std::countr_zero(nonDigits)) / 8 : 8;
}

constexpr uint64_t powersOfTenBelowEight[] = { 1, 10, 100, 1000, 10'000, 100'000, 1'000'000, 10'000'000 };

// The value of the word's first `count` digits, 1 to 7 of them: moved up, with zero digits before them.
uint64_t leadingDigitsValue(uint64_t littleEndianWord, size_t count)
{
    return eightDigitsValue((littleEndianWord << (8 * (8 - count))) | (everyByte('0') >> (8 * count)));
}

// Adds the digits from `cursor` on to the mantissa (which wraps past 20 digits) and answers the end of
// the digits. Long runs of digits are common (coordinates, identifiers), so up to eight go at a time.
[[gnu::always_inline]] inline const uint8_t* gatherDigits(const uint8_t* cursor, const uint8_t* end, uint64_t& mantissa)
{
    while (end - cursor >= 8) {
        uint64_t word;
        std::memcpy(&word, cursor, sizeof word);
        if constexpr (std::endian::native == std::endian::big)
            word = __builtin_bswap64(word);
        size_t count = leadingDigitCount(word);
        if (count == 8) {
            mantissa = mantissa * 100'000'000 + eightDigitsValue(word);
            cursor += 8;
            continue;
        }
        if (count) {
            mantissa = mantissa * powersOfTenBelowEight[count] + leadingDigitsValue(word, count);
            cursor += count;
        }
        return cursor;
    }
    while (cursor < end && isDigit(*cursor))
        mantissa = mantissa * 10 + static_cast<uint64_t>(*cursor++ - '0');
    return cursor;
}

// Whether some byte of the word is zero, or below a bound of at most 0x80.
constexpr uint64_t hasZeroByte(uint64_t word)
{
    return (word - everyByte(0x01)) & ~word & everyByte(0x80);
}

constexpr uint64_t hasByteBelow(uint64_t word, uint8_t bound)
{
    return (word - everyByte(bound)) & ~word & everyByte(0x80);
}

// Eight bytes that a string's fast pass copies as they are: printable ASCII, no quote, no backslash.
bool areEightPlainBytes(uint64_t word)
{
    return !((word & everyByte(0x80)) | hasByteBelow(word, 0x20) | hasZeroByte(word ^ everyByte('"')) | hasZeroByte(word ^ everyByte('\\')));
}

// The set bits of a 16-bit mask. The baseline instruction set has no population count, and the
// library's routine is a call.
size_t bitCount16(unsigned mask)
{
    mask = mask - ((mask >> 1) & 0x5555);
    mask = (mask & 0x3333) + ((mask >> 2) & 0x3333);
    mask = (mask + (mask >> 4)) & 0x0F0F;
    return (mask + (mask >> 8)) & 0x1F;
}

// The line feeds among sixteen bytes, given as a mask. Indented text has at most one per run of white
// space, so that case is answered without counting bits.
size_t lineFeedCount(unsigned mask)
{
    if (mask & (mask - 1))
        return bitCount16(mask);
    return mask != 0;
}

// The first byte from `cursor` on that a string's fast pass must look at: a quote, a backslash, a
// control character or a non-ASCII byte, or the last few bytes before `end`. Inlined: most strings
// (keys above all) end within the first block, and a call would cost more than the search.
[[gnu::always_inline]] inline const uint8_t* skipPlainBytes(const uint8_t* cursor, const uint8_t* end)
{
#if defined(__SSE2__)
    const __m128i quote = _mm_set1_epi8('"');
    const __m128i backslash = _mm_set1_epi8('\\');
    // As signed bytes, both the control characters and the non-ASCII bytes are below a blank.
    const __m128i blank = _mm_set1_epi8(' ');
    while (end - cursor >= 16) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cursor));
        __m128i special = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, quote), _mm_cmpeq_epi8(bytes, backslash)), _mm_cmplt_epi8(bytes, blank));
        if (int mask = _mm_movemask_epi8(special))
            return cursor + std::countr_zero(static_cast<unsigned>(mask));
        cursor += 16;
    }
#endif
    uint64_t word;
    while (end - cursor >= 8 && (std::memcpy(&word, cursor, sizeof word), areEightPlainBytes(word)))
        cursor += 8;
    return cursor;
}

int hexValue(uint8_t byte)
{
    if (byte >= '0' && byte <= '9')
        return byte - '0';
    if (byte >= 'a' && byte <= 'f')
        return byte - 'a' + 10;
    if (byte >= 'A' && byte <= 'F')
        return byte - 'A' + 10;
    return -1;
}

bool isValidCodePoint(char32_t codePoint)
{
    return codePoint != 0 && !(codePoint >= 0xD800 && codePoint <= 0xDFFF) && !JKIsNoncharacter(codePoint) && codePoint <= 0x10FFFF;
}

// The bits of the double nearest to mantissa x 10^exponent, ties to even, for the usual cases: at
// most 19 significant digits (so the mantissa is exact) and a normal or subnormal, non-zero finite
// result. False leaves the rest, including every case that ends in an error, to the general routine.
[[gnu::always_inline]] inline bool exactDouble(const JKTokenizer::DecimalParts& parts, uint64_t& bits)
{
    using Format = fast_float::binary_format<double>;
    if (parts.significantDigits > 19)
        return false;
    fast_float::adjusted_mantissa result;
    // Zero digits are zero whatever the exponent.
    if (parts.mantissa) {
        result = fast_float::compute_float<Format>(parts.exponent - parts.fractionDigits, parts.mantissa);
        // A negative power means the product was too close to a halfway point to decide.
        bool decided = result.power2 >= 0 && result.power2 < Format::infinite_power();
        bool isZero = result.power2 == 0 && result.mantissa == 0;
        if (!decided || isZero)
            return false;
    }
    // Signs alternate unpredictably (coordinates), so the sign bit is set rather than branched on.
    bits = result.mantissa | static_cast<uint64_t>(result.power2) << Format::mantissa_explicit_bits() | static_cast<uint64_t>(parts.isNegative) << 63;
    return true;
}

// Whether a number text that did not fit a double was too large rather than too small: the decimal
// exponent of its first significant digit decides.
bool isOverflow(std::string_view text)
{
    size_t index = text.starts_with('-') ? 1 : 0;
    int64_t integerDigits = 0;
    int64_t position = 0;
    int64_t firstSignificant = -1;
    bool inFraction = false;
    for (; index < text.size(); ++index) {
        char c = text[index];
        if (c == '.') {
            inFraction = true;
            continue;
        }
        if (c == 'e' || c == 'E')
            break;
        if (firstSignificant < 0 && c != '0')
            firstSignificant = position;
        ++position;
        if (!inFraction)
            ++integerDigits;
    }
    if (firstSignificant < 0)
        return false;
    int64_t exponent = 0;
    if (index < text.size()) {
        ++index;
        bool negative = false;
        if (text[index] == '+' || text[index] == '-')
            negative = text[index++] == '-';
        for (; index < text.size(); ++index)
            exponent = std::min<int64_t>(exponent * 10 + (text[index] - '0'), 1'000'000'000);
        if (negative)
            exponent = -exponent;
    }
    return integerDigits - 1 - firstSignificant + exponent > 0;
}

}

void JKTokenizer::start(const uint8_t* bytes, size_t length)
{
    m_bytes = bytes;
    m_length = length;
    m_index = 0;
    m_line = 1;
    m_tokenType = TokenType::None;
    m_tokenStart = m_tokenEnd = 0;
    m_value = JKTokenValue();
    m_error.reset();
}

void JKTokenizer::finish()
{
    start(nullptr, 0);
    m_tokenBuffer.clear();
}

void JKTokenizer::recordError(std::string message)
{
    if (m_error)
        return;
    m_error = Error { std::move(message), m_index, m_line };
}

size_t JKTokenizer::newlineLengthAt(size_t index) const
{
    uint8_t byte = m_bytes[index];
    if (byte == '\n')
        return 1;
    if (byte == '\r')
        return index + 1 < m_length && m_bytes[index + 1] == '\n' ? 2 : 1;
    if (!(m_options & JKParseOptionUnicodeNewlines))
        return 0;
    if (byte == 0xE2 && index + 2 < m_length && m_bytes[index + 1] == 0x80 && (m_bytes[index + 2] == 0xA8 || m_bytes[index + 2] == 0xA9))
        return 3;
    if (byte == 0xC2 && index + 1 < m_length && m_bytes[index + 1] == 0x85)
        return 2;
    return 0;
}

void JKTokenizer::skipWhitespace()
{
    skipWhitespaceInline();
}

// Inlined into the token reader: indented text has a run of white space before most tokens.
[[gnu::always_inline]] inline void JKTokenizer::skipWhitespaceInline()
{
    // Works on locals: stores to members could alias the input bytes and force reloads.
    const uint8_t* bytes = m_bytes;
    size_t length = m_length;
    size_t index = m_index;
    size_t lines = 0;
#if defined(__SSE2__)
    // Blanks, tabs and line feeds, sixteen at a time; anything else is left to the loop below.
    const __m128i blank = _mm_set1_epi8(' ');
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i lineFeed = _mm_set1_epi8('\n');
    while (length - index >= 16) {
        __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + index));
        auto lineFeeds = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, lineFeed)));
        auto white = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, blank), _mm_cmpeq_epi8(block, tab)))) | lineFeeds;
        if (white != 0xFFFF) {
            unsigned skipped = static_cast<unsigned>(std::countr_one(white));
            lines += lineFeedCount(lineFeeds & ((1u << skipped) - 1));
            index += skipped;
            break;
        }
        lines += lineFeedCount(lineFeeds);
        index += 16;
    }
#endif
    while (index < length) {
        uint8_t byte = bytes[index];
        if (byte == ' ') {
            // Indentation comes in long runs of blanks; skip them eight at a time.
            constexpr uint64_t blanks = 0x2020202020202020ull;
            uint64_t word;
            while (index + sizeof word <= length && (std::memcpy(&word, bytes + index, sizeof word), word == blanks))
                index += sizeof word;
            while (index < length && bytes[index] == ' ')
                ++index;
            continue;
        }
        if (byte == '\t') {
            ++index;
            continue;
        }
        if (byte == '\n') {
            ++index;
            ++lines;
            continue;
        }
        if (byte > ' ' && byte != '/' && byte != 0xC2 && byte != 0xE2)
            break;
        if (size_t newline = newlineLengthAt(index)) {
            index += newline;
            ++lines;
            continue;
        }
        if (byte == '/' && (m_options & JKParseOptionComments) && index + 1 < length && (bytes[index + 1] == '*' || bytes[index + 1] == '/')) {
            m_index = index;
            m_line += lines;
            lines = 0;
            if (bytes[index + 1] == '*')
                skipBlockComment();
            else
                skipLineComment();
            index = m_index;
            continue;
        }
        break;
    }
    m_index = index;
    m_line += lines;
}

void JKTokenizer::skipBlockComment()
{
    m_index += 2;
    while (m_index < m_length) {
        if (m_bytes[m_index] == '*' && m_index + 1 < m_length && m_bytes[m_index + 1] == '/') {
            m_index += 2;
            return;
        }
        if (size_t newline = newlineLengthAt(m_index)) {
            m_index += newline;
            ++m_line;
            continue;
        }
        ++m_index;
    }
}

void JKTokenizer::skipLineComment()
{
    m_index += 2;
    // The newline itself is left for the white-space loop, which counts it.
    while (m_index < m_length && !newlineLengthAt(m_index))
        ++m_index;
}

void JKTokenizer::singleByteToken(TokenType type)
{
    m_tokenType = type;
    m_tokenStart = m_index;
    m_tokenEnd = ++m_index;
}

// Inlined into the token reader, so that the comparison is with a word of known length.
[[gnu::always_inline]] inline bool JKTokenizer::scanLiteral(std::string_view word, TokenType type)
{
    // The word must be followed by at least one more byte; which one is left to the caller.
    if (m_index + word.size() >= m_length || std::memcmp(m_bytes + m_index, word.data(), word.size()) != 0) {
        recordError(std::string(unexpectedTokenMessage));
        return false;
    }
    m_tokenType = type;
    m_tokenStart = m_index;
    m_index += word.size();
    m_tokenEnd = m_index;
    return true;
}

bool JKTokenizer::nextTokenInGeneral()
{
    // Most tokens follow another directly or after one blank (as after a colon in indented text);
    // only call the skipper for more.
    bool plainWhiteSpace = !(m_options & (JKParseOptionComments | JKParseOptionUnicodeNewlines));
    if (plainWhiteSpace && m_index + 1 < m_length && m_bytes[m_index] == ' ' && m_bytes[m_index + 1] > ' ')
        ++m_index;
    else if (m_index >= m_length || m_bytes[m_index] <= ' ' || !plainWhiteSpace)
        skipWhitespaceInline();
    m_tokenType = TokenType::None;
    if (m_index >= m_length) {
        recordError(std::string(unexpectedTokenMessage));
        return false;
    }
    // Tests in order of frequency rather than a jump table, whose one indirect branch predicts badly
    // when strings, numbers and brackets alternate.
    uint8_t byte = m_bytes[m_index];
    if (byte == '"') {
        if (scanString())
            return true;
        recordError("Invalid string.");
        recordError(std::string(unexpectedTokenMessage));
        return false;
    }
    if (startsNumber(byte))
        return scanNumberToken();
    if (TokenType type = singleByteTokenTypes[byte]; type != TokenType::None) {
        singleByteToken(type);
        return true;
    }
    if (byte == 't')
        return scanLiteral("true", TokenType::True);
    if (byte == 'f')
        return scanLiteral("false", TokenType::False);
    if (byte == 'n')
        return scanLiteral("null", TokenType::Null);
    recordError(std::string(unexpectedTokenMessage));
    return false;
}

bool JKTokenizer::numberTokenFailed()
{
    m_tokenType = TokenType::None;
    recordError(std::string(unexpectedTokenMessage));
    return false;
}

// The cache hashes a number's eight bytes, least significant first, from a seed that tells the number
// types apart and, for integers, their low bits. Inline, so that the test of the type folds away
// where the caller knows it.
[[gnu::always_inline]] inline void JKTokenizer::setNumberValue(JKTokenValue::Type type, uint64_t bits)
{
    uint32_t hash = JKHashSeed + static_cast<uint32_t>(type);
    if (type != JKTokenValue::Type::Double)
        hash += static_cast<uint32_t>(bits);
    m_value.type = type;
    m_value.number.unsignedValue = bits;
    m_value.hash = JKHashEightBytes(hash, bits);
    m_value.bytes = reinterpret_cast<const uint8_t*>(&m_value.number);
    m_value.length = sizeof m_value.number;
}

// Most numbers are plain: no exponent, and either an integer of at most eighteen digits or at most
// seven digits before the point and fifteen after it, at most nineteen significant in all. Their
// fraction is read as two words of input, without a loop. Anything else, and numbers among the last
// bytes of the input, is left to the general scanner, which makes the same value of them.
[[gnu::always_inline]] inline bool JKTokenizer::scanShortNumber()
{
    constexpr size_t bytesRead = 24;
    const uint8_t* const start = m_bytes + m_index;
    bool isNegative = *start == '-';
    const uint8_t* digits = start + isNegative;
    if (static_cast<size_t>(m_bytes + m_length - digits) < bytesRead)
        return false;
    // As in the general scanner: the first two digits one at a time, whose branches are predicted for
    // the short integer parts of most numbers, then eight at a time. A leading zero ends the integer
    // part at once.
    if (!isDigit(digits[0]))
        return false;
    uint64_t mantissa = static_cast<uint64_t>(digits[0] - '0');
    const uint8_t* cursor = digits + 1;
    if (digits[0] != '0' && isDigit(*cursor)) {
        mantissa = mantissa * 10 + static_cast<uint64_t>(*cursor++ - '0');
        if (isDigit(*cursor))
            cursor = gatherDigits(cursor, m_bytes + m_length, mantissa);
    }
    if (cursor == m_bytes + m_length)
        return false;
    size_t integerDigits = static_cast<size_t>(cursor - digits);

    uint64_t bits;
    JKTokenValue::Type type;
    if (*cursor == '.') {
        // The fraction's two words must lie within the bytes checked above.
        if (integerDigits > 7)
            return false;
        const uint8_t* fraction = cursor + 1;
        uint64_t firstWord = JKLoadLittleEndian(fraction);
        size_t fractionDigits = leadingDigitCount(firstWord);
        if (fractionDigits == 8) {
            uint64_t secondWord = JKLoadLittleEndian(fraction + 8);
            size_t moreDigits = leadingDigitCount(secondWord);
            if (moreDigits == 8)
                return false;
            mantissa = mantissa * 100'000'000 + eightDigitsValue(firstWord);
            if (moreDigits)
                mantissa = mantissa * powersOfTenBelowEight[moreDigits] + leadingDigitsValue(secondWord, moreDigits);
            fractionDigits += moreDigits;
        } else {
            // A point without a digit after it is an error.
            if (!fractionDigits)
                return false;
            mantissa = mantissa * powersOfTenBelowEight[fractionDigits] + leadingDigitsValue(firstWord, fractionDigits);
        }
        cursor = fraction + fractionDigits;
        // Leading zeros of "0.000123" are not significant, and there are at most fifteen digits then.
        if ((*cursor | 0x20) == 'e' || (digits[0] != '0' && integerDigits + fractionDigits > 19))
            return false;
        DecimalParts parts;
        parts.mantissa = mantissa;
        parts.fractionDigits = static_cast<int64_t>(fractionDigits);
        parts.isNegative = isNegative;
        parts.isFloating = true;
        if (!exactDouble(parts, bits))
            return false;
        type = JKTokenValue::Type::Double;
    } else {
        // Eighteen digits always fit a signed integer. "-0" is a double.
        if ((*cursor | 0x20) == 'e' || integerDigits > 18 || (isNegative && !mantissa))
            return false;
        type = isNegative ? JKTokenValue::Type::SignedInteger : JKTokenValue::Type::UnsignedInteger;
        bits = isNegative ? 0 - mantissa : mantissa;
    }
    setNumberValue(type, bits);
    m_tokenType = TokenType::Number;
    m_tokenStart = m_index;
    m_index = static_cast<size_t>(cursor - m_bytes);
    m_tokenEnd = m_index;
    return true;
}

bool JKTokenizer::scanNumber()
{
    if (scanShortNumber())
        return true;
    return scanNumberInGeneral();
}

bool JKTokenizer::scanNumberInGeneral()
{
    const uint8_t* const start = m_bytes + m_index;
    const uint8_t* const end = m_bytes + m_length;
    const uint8_t* cursor = start;
    auto fail = [&] {
        m_index = static_cast<size_t>(cursor - m_bytes);
        recordError("Invalid number.");
        return false;
    };
    // Digits go into the mantissa as they are scanned; it is exact while at most 19 are significant.
    uint64_t mantissa = 0;

    DecimalParts parts;
    parts.isNegative = *cursor == '-';
    cursor += parts.isNegative;
    if (cursor >= end)
        return fail();
    const uint8_t* integerStart = cursor;
    if (*cursor == '0') {
        // A leading zero ends the integer part, so "01" is the number 0 followed by the number 1.
        ++cursor;
    } else if (isDigit(*cursor)) {
        // Integer parts are mostly short (coordinates, counts): a few digits are cheaper one at a time.
        mantissa = static_cast<uint64_t>(*cursor++ - '0');
        if (cursor < end && isDigit(*cursor)) {
            mantissa = mantissa * 10 + static_cast<uint64_t>(*cursor++ - '0');
            if (cursor < end && isDigit(*cursor))
                cursor = gatherDigits(cursor, end, mantissa);
        }
    } else {
        return fail();
    }
    const uint8_t* integerEnd = cursor;
    const uint8_t* fractionStart = cursor;
    const uint8_t* fractionEnd = cursor;
    if (cursor < end && *cursor == '.') {
        parts.isFloating = true;
        fractionStart = ++cursor;
        if (cursor >= end || !isDigit(*cursor))
            return fail();
        cursor = gatherDigits(cursor, end, mantissa);
        fractionEnd = cursor;
    }
    // Setting the 0x20 bit turns 'E' into 'e' and nothing else into 'e'.
    if (cursor < end && (*cursor | 0x20) == 'e') {
        parts.isFloating = true;
        ++cursor;
        bool negativeExponent = false;
        if (cursor < end && (*cursor == '+' || *cursor == '-'))
            negativeExponent = *cursor++ == '-';
        if (cursor >= end || !isDigit(*cursor))
            return fail();
        for (; cursor < end && isDigit(*cursor); ++cursor)
            parts.exponent = std::min<int64_t>(parts.exponent * 10 + (*cursor - '0'), 1'000'000'000);
        if (negativeExponent)
            parts.exponent = -parts.exponent;
    }

    parts.fractionDigits = fractionEnd - fractionStart;
    if (*integerStart != '0') {
        parts.significantDigits = (integerEnd - integerStart) + parts.fractionDigits;
    } else {
        // Only the fraction can hold significant digits, from its first non-zero one on.
        const uint8_t* firstSignificant = fractionStart;
        while (firstSignificant < fractionEnd && *firstSignificant == '0')
            ++firstSignificant;
        parts.significantDigits = fractionEnd - firstSignificant;
    }
    parts.mantissa = parts.significantDigits <= 19 ? mantissa : 0;

    m_index = static_cast<size_t>(cursor - m_bytes);
    if (!convertNumber(static_cast<size_t>(start - m_bytes), m_index, parts)) {
        recordError("Invalid number.");
        return false;
    }
    m_tokenType = TokenType::Number;
    m_tokenStart = static_cast<size_t>(start - m_bytes);
    m_tokenEnd = m_index;
    return true;
}

bool JKTokenizer::convertNumber(size_t start, size_t end, const DecimalParts& parts)
{
    const char* first = reinterpret_cast<const char*>(m_bytes) + start;
    const char* last = reinterpret_cast<const char*>(m_bytes) + end;
    std::string_view text(first, end - start);
    // "-0" is the one integer-looking text that only a double can hold.
    // The sign is as good as random, so it must not decide a branch on its own.
    bool isNegativeZero = parts.isNegative & (parts.significantDigits == 0);
    // The value's eight bytes stay in a register until they are stored with their hash.
    uint64_t bits;
    JKTokenValue::Type type;
    if (parts.isFloating | isNegativeZero) {
        if (!exactDouble(parts, bits)) {
            double value = 0;
            auto result = std::from_chars(first, last, value, std::chars_format::general);
            if (result.ec == std::errc::result_out_of_range) {
                recordError(fnd::format("The value '%s' could not be represented as a 'double' due to %s.", text, isOverflow(text) ? "overflow" : "underflow"));
                return false;
            }
            if (result.ec != std::errc() || result.ptr != last) {
                recordError("The conversion function did not consume all of the number tokens characters.");
                return false;
            }
            bits = std::bit_cast<uint64_t>(value);
        }
        type = JKTokenValue::Type::Double;
    } else if (parts.isNegative) {
        constexpr uint64_t smallestMagnitude = uint64_t(1) << 63;
        if (parts.significantDigits > 19 || parts.mantissa > smallestMagnitude) {
            recordError(fnd::format("The value '%s' exceeded the minimum value that could be represented: %lld.", text, std::numeric_limits<int64_t>::min()));
            return false;
        }
        bits = 0 - parts.mantissa;
        type = JKTokenValue::Type::SignedInteger;
    } else {
        bits = parts.mantissa;
        // Twenty digits may still fit 64 bits; more never do.
        if (parts.significantDigits > 19) {
            auto result = std::from_chars(first, last, bits);
            if (parts.significantDigits > 20 || result.ec == std::errc::result_out_of_range) {
                recordError(fnd::format("The value '%s' exceeded the maximum value that could be represented: %llu.", text, std::numeric_limits<uint64_t>::max()));
                return false;
            }
        }
        type = JKTokenValue::Type::UnsignedInteger;
    }
    setNumberValue(type, bits);
    return true;
}

bool JKTokenizer::scanString()
{
    const uint8_t* begin = m_bytes + m_index + 1;
    const uint8_t* end = m_bytes + m_length;
    const uint8_t* cursor = begin;
    // Fast pass: strings without escapes or ill-formed bytes are used in place. The bytes are only
    // checked here and hashed afterwards, in blocks, so that no step waits for the hash.
    while (cursor < end) {
        cursor = skipPlainBytes(cursor, end);
        if (cursor >= end)
            break;
        uint8_t byte = *cursor;
        if (byte >= 0x80) {
            // Text in other scripts comes in runs of multi-byte sequences: check them one after
            // another here rather than looking for plain bytes after each.
            bool isWellFormed = true;
            do {
                size_t length = JKCommonUTF8SequenceLength(cursor, end);
                if (!length) {
                    auto sequence = ConvertSingleCodePointInUTF8(cursor, end);
                    isWellFormed = sequence.result == JKUTF8Result::Ok;
                    length = sequence.length;
                }
                if (!isWellFormed)
                    break;
                cursor += length;
            } while (cursor < end && *cursor >= 0x80);
            if (!isWellFormed)
                break;
            continue;
        }
        if (plainStringBytes[byte]) {
            ++cursor;
            continue;
        }
        if (byte == '"') {
            m_value.type = JKTokenValue::Type::String;
            m_value.bytes = begin;
            m_value.length = static_cast<size_t>(cursor - begin);
            m_value.hash = JKHashBytes(JKHashSeed, begin, m_value.length, static_cast<size_t>(end - begin));
            m_tokenType = TokenType::String;
            m_tokenStart = m_index;
            m_index = static_cast<size_t>(cursor + 1 - m_bytes);
            m_tokenEnd = m_index;
            return true;
        }
        if (byte == '\\')
            break;
        return recordStringError(cursor, fnd::format("Invalid character < 0x20 found in string: 0x%2.2x.", byte));
    }
    if (cursor >= end)
        return recordStringError(end, "Invalid string.");
    return decodeString(begin, cursor);
}

bool JKTokenizer::recordStringError(const uint8_t* at, std::string message)
{
    m_index = static_cast<size_t>(at - m_bytes);
    recordError(std::move(message));
    return false;
}

bool JKTokenizer::decodeString(const uint8_t* begin, const uint8_t* cursor)
{
    const uint8_t* end = m_bytes + m_length;
    bool loose = m_options & JKParseOptionLooseUnicode;
    m_tokenBuffer.assign(reinterpret_cast<const char*>(begin), static_cast<size_t>(cursor - begin));
    while (cursor < end) {
        uint8_t byte = *cursor;
        if (plainStringBytes[byte]) {
            const uint8_t* run = cursor;
            cursor = skipPlainBytes(cursor, end);
            while (cursor < end && plainStringBytes[*cursor])
                ++cursor;
            m_tokenBuffer.append(reinterpret_cast<const char*>(run), static_cast<size_t>(cursor - run));
            continue;
        }
        if (byte == '"') {
            auto* decoded = reinterpret_cast<const uint8_t*>(m_tokenBuffer.data());
            m_value.type = JKTokenValue::Type::String;
            m_value.bytes = decoded;
            m_value.length = m_tokenBuffer.size();
            m_value.hash = JKHashBytes(JKHashSeed, decoded, m_tokenBuffer.size());
            m_tokenType = TokenType::String;
            m_tokenStart = m_index;
            m_index = static_cast<size_t>(cursor + 1 - m_bytes);
            m_tokenEnd = m_index;
            return true;
        }
        if (byte < 0x20)
            return recordStringError(cursor, fnd::format("Invalid character < 0x20 found in string: 0x%2.2x.", byte));
        if (byte == '\\') {
            if (cursor + 1 >= end)
                return recordStringError(end, "Invalid string.");
            char replacement = 0;
            switch (cursor[1]) {
            case '"':
            case '\\':
            case '/':
                replacement = static_cast<char>(cursor[1]);
                break;
            case 'b':
                replacement = '\b';
                break;
            case 'f':
                replacement = '\f';
                break;
            case 'n':
                replacement = '\n';
                break;
            case 'r':
                replacement = '\r';
                break;
            case 't':
                replacement = '\t';
                break;
            case 'u':
                cursor += 2;
                if (!decodeUnicodeEscape(cursor))
                    return false;
                continue;
            default:
                return recordStringError(cursor + 1, "Invalid escape sequence found in \"\" string.");
            }
            m_tokenBuffer.push_back(replacement);
            cursor += 2;
            continue;
        }
        if (size_t length = JKCommonUTF8SequenceLength(cursor, end)) {
            m_tokenBuffer.append(reinterpret_cast<const char*>(cursor), length);
            cursor += length;
            continue;
        }
        auto sequence = ConvertSingleCodePointInUTF8(cursor, end);
        if (sequence.result == JKUTF8Result::Ok) {
            m_tokenBuffer.append(reinterpret_cast<const char*>(cursor), sequence.length);
        } else if (sequence.result == JKUTF8Result::SourceExhausted) {
            return recordStringError(cursor, "End of buffer reached while parsing UTF8 in \"\" string.");
        } else if (loose) {
            appendCodePoint(0xFFFD);
        } else {
            return recordStringError(cursor, "Illegal UTF8 sequence found in \"\" string.");
        }
        cursor += sequence.length;
    }
    return recordStringError(end, "Invalid string.");
}

bool JKTokenizer::readHexQuad(const uint8_t*& cursor, uint32_t& unit)
{
    const uint8_t* end = m_bytes + m_length;
    unit = 0;
    for (int digit = 0; digit < 4; ++digit, ++cursor) {
        if (cursor >= end)
            return recordStringError(end, "Invalid string.");
        int value = hexValue(*cursor);
        if (value < 0) {
            // The byte is shown as a character; a byte above 0x7F shows as its Latin-1 character so
            // that the message stays valid UTF-8.
            return recordStringError(cursor,
                fnd::format("Unexpected character found in \\u Unicode escape sequence.  Found '%c', expected [0-9a-fA-F].", static_cast<unsigned>(*cursor)));
        }
        unit = unit * 16 + static_cast<uint32_t>(value);
    }
    return true;
}

bool JKTokenizer::decodeUnicodeEscape(const uint8_t*& cursor)
{
    const uint8_t* end = m_bytes + m_length;
    bool loose = m_options & JKParseOptionLooseUnicode;
    uint32_t unit = 0;
    if (!readHexQuad(cursor, unit))
        return false;
    char32_t codePoint = unit;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        if (cursor >= end || (cursor + 1 >= end && *cursor == '\\'))
            return recordStringError(end, "Invalid string.");
        if (cursor[0] != '\\' || cursor[1] != 'u') {
            if (!loose) {
                return recordStringError(cursor[0] != '\\' ? cursor : cursor + 1,
                    "Required a second \\u Unicode escape sequence following a surrogate \\u Unicode escape sequence.");
            }
            // What follows the lone high surrogate is read again as string content.
            appendCodePoint(0xFFFD);
            return true;
        }
        cursor += 2;
        uint32_t low = 0;
        if (!readHexQuad(cursor, low))
            return false;
        codePoint = low >= 0xDC00 && low <= 0xDFFF ? 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00) : 0;
    }
    if (!isValidCodePoint(codePoint)) {
        if (!loose)
            return recordStringError(cursor, "Illegal \\u Unicode escape sequence.");
        codePoint = 0xFFFD;
    }
    appendCodePoint(codePoint);
    return true;
}

void JKTokenizer::appendCodePoint(char32_t codePoint)
{
    uint8_t bytes[4];
    size_t length = JKEncodeUTF8(codePoint, bytes);
    m_tokenBuffer.append(reinterpret_cast<const char*>(bytes), length);
}
