#include "json/fast/JKTokenizer.h"

#include "json/fast/JKUnicode.h"
#include "platform/foundation/Format.h"

#include <array>
#include <charconv>
#include <cstring>
#include <limits>

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

bool JKTokenizer::tokenStartsValue() const
{
    switch (m_tokenType) {
    case TokenType::Number:
    case TokenType::String:
    case TokenType::ObjectBegin:
    case TokenType::ArrayBegin:
    case TokenType::True:
    case TokenType::False:
    case TokenType::Null:
        return true;
    default:
        return false;
    }
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
    while (m_index < m_length) {
        uint8_t byte = m_bytes[m_index];
        if (byte == ' ' || byte == '\t') {
            ++m_index;
            continue;
        }
        if (byte == '\n') {
            ++m_index;
            ++m_line;
            continue;
        }
        if (byte > ' ' && byte != '/' && byte != 0xC2 && byte != 0xE2)
            return;
        if (size_t newline = newlineLengthAt(m_index)) {
            m_index += newline;
            ++m_line;
            continue;
        }
        if (byte == '/' && (m_options & JKParseOptionComments) && m_index + 1 < m_length) {
            if (m_bytes[m_index + 1] == '*') {
                skipBlockComment();
                continue;
            }
            if (m_bytes[m_index + 1] == '/') {
                skipLineComment();
                continue;
            }
        }
        return;
    }
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

bool JKTokenizer::nextToken()
{
    skipWhitespace();
    m_tokenType = TokenType::None;
    if (m_index >= m_length) {
        recordError(std::string(unexpectedTokenMessage));
        return false;
    }
    switch (m_bytes[m_index]) {
    case '{':
        singleByteToken(TokenType::ObjectBegin);
        return true;
    case '}':
        singleByteToken(TokenType::ObjectEnd);
        return true;
    case '[':
        singleByteToken(TokenType::ArrayBegin);
        return true;
    case ']':
        singleByteToken(TokenType::ArrayEnd);
        return true;
    case ':':
        singleByteToken(TokenType::Colon);
        return true;
    case ',':
        singleByteToken(TokenType::Comma);
        return true;
    case 't':
        return scanLiteral("true", TokenType::True);
    case 'f':
        return scanLiteral("false", TokenType::False);
    case 'n':
        return scanLiteral("null", TokenType::Null);
    case '"':
        if (scanString())
            return true;
        recordError("Invalid string.");
        recordError(std::string(unexpectedTokenMessage));
        return false;
    case '-':
    case '0':
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
    case '7':
    case '8':
    case '9':
        if (scanNumber())
            return true;
        recordError(std::string(unexpectedTokenMessage));
        return false;
    default:
        recordError(std::string(unexpectedTokenMessage));
        return false;
    }
}

bool JKTokenizer::scanLiteral(std::string_view word, TokenType type)
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

bool JKTokenizer::scanNumber()
{
    size_t start = m_index;
    size_t index = start;
    bool negative = false;
    bool floating = false;
    auto fail = [&] {
        m_index = index;
        recordError("Invalid number.");
        return false;
    };
    if (m_bytes[index] == '-') {
        negative = true;
        ++index;
    }
    if (index >= m_length)
        return fail();
    if (m_bytes[index] == '0') {
        // A leading zero ends the integer part, so "01" is the number 0 followed by the number 1.
        ++index;
    } else if (isDigit(m_bytes[index])) {
        while (index < m_length && isDigit(m_bytes[index]))
            ++index;
    } else {
        return fail();
    }
    if (index < m_length && m_bytes[index] == '.') {
        floating = true;
        ++index;
        if (index >= m_length || !isDigit(m_bytes[index]))
            return fail();
        while (index < m_length && isDigit(m_bytes[index]))
            ++index;
    }
    if (index < m_length && (m_bytes[index] == 'e' || m_bytes[index] == 'E')) {
        floating = true;
        ++index;
        if (index < m_length && (m_bytes[index] == '+' || m_bytes[index] == '-'))
            ++index;
        if (index >= m_length || !isDigit(m_bytes[index]))
            return fail();
        while (index < m_length && isDigit(m_bytes[index]))
            ++index;
    }
    m_index = index;
    if (!convertNumber(start, index, negative, floating)) {
        recordError("Invalid number.");
        return false;
    }
    m_tokenType = TokenType::Number;
    m_tokenStart = start;
    m_tokenEnd = index;
    return true;
}

bool JKTokenizer::convertNumber(size_t start, size_t end, bool negative, bool floating)
{
    const char* first = reinterpret_cast<const char*>(m_bytes) + start;
    const char* last = reinterpret_cast<const char*>(m_bytes) + end;
    std::string_view text(first, end - start);
    std::from_chars_result result;
    uint32_t hash = JKHashSeed;
    // "-0" is the one integer-looking text that only a double can hold.
    if (floating || text == "-0") {
        double value = 0;
        result = std::from_chars(first, last, value, std::chars_format::general);
        if (result.ec == std::errc::result_out_of_range) {
            recordError(fnd::format("The value '%s' could not be represented as a 'double' due to %s.", text, isOverflow(text) ? "overflow" : "underflow"));
            return false;
        }
        m_value.type = JKTokenValue::Type::Double;
        m_value.number.doubleValue = value;
        hash += static_cast<uint32_t>(JKTokenValue::Type::Double);
    } else if (negative) {
        int64_t value = 0;
        result = std::from_chars(first, last, value);
        if (result.ec == std::errc::result_out_of_range) {
            recordError(fnd::format("The value '%s' exceeded the minimum value that could be represented: %lld.", text, std::numeric_limits<int64_t>::min()));
            return false;
        }
        m_value.type = JKTokenValue::Type::SignedInteger;
        m_value.number.signedValue = value;
        hash += static_cast<uint32_t>(JKTokenValue::Type::SignedInteger) + static_cast<uint32_t>(value);
    } else {
        uint64_t value = 0;
        result = std::from_chars(first, last, value);
        if (result.ec == std::errc::result_out_of_range) {
            recordError(fnd::format("The value '%s' exceeded the maximum value that could be represented: %llu.", text, std::numeric_limits<uint64_t>::max()));
            return false;
        }
        m_value.type = JKTokenValue::Type::UnsignedInteger;
        m_value.number.unsignedValue = value;
        hash += static_cast<uint32_t>(JKTokenValue::Type::UnsignedInteger) + static_cast<uint32_t>(value);
    }
    if (result.ec != std::errc() || result.ptr != last) {
        recordError("The conversion function did not consume all of the number tokens characters.");
        return false;
    }
    uint64_t bits = m_value.number.unsignedValue;
    for (int byte = 0; byte < 8; ++byte)
        hash = hash * 33 + static_cast<uint8_t>(bits >> (8 * byte));
    m_value.hash = hash;
    m_value.bytes = reinterpret_cast<const uint8_t*>(&m_value.number);
    m_value.length = sizeof m_value.number;
    return true;
}

bool JKTokenizer::scanString()
{
    const uint8_t* begin = m_bytes + m_index + 1;
    const uint8_t* end = m_bytes + m_length;
    const uint8_t* cursor = begin;
    uint32_t hash = JKHashSeed;
    // Fast pass: strings without escapes or ill-formed bytes are used in place.
    while (cursor < end) {
        uint8_t byte = *cursor;
        if (plainStringBytes[byte]) {
            hash = hash * 33 + byte;
            ++cursor;
            continue;
        }
        if (byte == '"') {
            m_value.type = JKTokenValue::Type::String;
            m_value.bytes = begin;
            m_value.length = static_cast<size_t>(cursor - begin);
            m_value.hash = hash;
            m_tokenType = TokenType::String;
            m_tokenStart = m_index;
            m_index = static_cast<size_t>(cursor + 1 - m_bytes);
            m_tokenEnd = m_index;
            return true;
        }
        if (byte == '\\')
            break;
        if (byte < 0x20)
            return recordStringError(cursor, fnd::format("Invalid character < 0x20 found in string: 0x%2.2x.", byte));
        auto sequence = ConvertSingleCodePointInUTF8(cursor, end);
        if (sequence.result != JKUTF8Result::Ok)
            break;
        hash = JKHashBytes(hash, cursor, sequence.length);
        cursor += sequence.length;
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
