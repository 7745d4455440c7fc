#include "json/JsonParser.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/ASCII.h"
#include "platform/foundation/DecimalNumber.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Format.h"
#include "platform/foundation/Null.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/Unicode.h"

#include <array>

namespace {

// A fixed set, never the locale's: space, tab, LF, vertical tab, form feed and CR.
constexpr bool isWhitespace(int byte)
{
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\v' || byte == '\f' || byte == '\r';
}

constexpr bool isDigit(int byte)
{
    return byte >= '0' && byte <= '9';
}

// The bytes that end a plain run inside a string: the quote, the backslash and every control byte.
constexpr std::array<bool, 256> stringStopBytes = [] {
    std::array<bool, 256> table {};
    for (int byte = 0; byte < 0x20; ++byte)
        table[byte] = true;
    table['"'] = true;
    table['\\'] = true;
    return table;
}();

constexpr size_t dictionaryCapacity = 7;
constexpr size_t arrayCapacity = 8;
constexpr size_t stringCapacity = 16;

}

JsonParser::JsonParser() = default;

fnd::Id JsonParser::objectWithString(const fnd::Ref<fnd::String>& string)
{
    fnd::Id value = fragmentWithString(string);
    if (!value)
        return nullptr;
    // A lone scalar is valid JSON today, but callers tell a structured reply from a plain-text one
    // by this refusal.
    if (!fnd::is<fnd::Dictionary>(value) && !fnd::is<fnd::Array>(value)) {
        fail(JsonErrorCode::NotContainer, "Valid fragment, but not JSON");
        return nullptr;
    }
    return value;
}

fnd::Id JsonParser::fragmentWithString(const fnd::Ref<fnd::String>& string)
{
    clearErrorTrace();
    if (!string) {
        fail(JsonErrorCode::NilInput, "Input was 'nil'");
        return nullptr;
    }
    resetDepth();
    m_position = string->utf8().data();
    m_end = m_position + string->utf8().size();

    fnd::Id value;
    bool scanned = scanValue(value);
    if (scanned && !scanIsAtEnd()) {
        fail(JsonErrorCode::GarbageAfterValue, "Garbage after JSON");
        scanned = false;
    }
    m_position = nullptr;
    m_end = nullptr;
    return scanned ? value : nullptr;
}

bool JsonParser::scanValue(fnd::Id& value)
{
    skipWhitespace();
    if (atEnd()) {
        fail(JsonErrorCode::EndOfInput, "Unexpected end of string");
        return false;
    }
    char byte = *m_position++;
    switch (byte) {
    case '"': {
        fnd::Ref<fnd::MutableString> string;
        if (!scanRestOfString(string))
            return false;
        value = std::move(string);
        return true;
    }
    case '+':
        fail(JsonErrorCode::MalformedNumber, "Leading + disallowed in number");
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
        --m_position;
        return scanNumber(value);
    case '[':
        return scanRestOfArray(value);
    case '{':
        return scanRestOfDictionary(value);
    case 't':
        return scanRestOfTrue(value);
    case 'f':
        return scanRestOfFalse(value);
    case 'n':
        return scanRestOfNull(value);
    default:
        fail(JsonErrorCode::ParseError, "Unrecognised leading character");
        return false;
    }
}

// The byte after the word is not inspected, so "[nulltrue]" reads as two values, like missing commas.
bool JsonParser::scanRestOfLiteral(std::string_view rest, fnd::Id literal, fnd::Id& value, const char* failure)
{
    if (static_cast<size_t>(m_end - m_position) < rest.size() || std::string_view(m_position, rest.size()) != rest) {
        fail(JsonErrorCode::ParseError, failure);
        return false;
    }
    m_position += rest.size();
    value = std::move(literal);
    return true;
}

bool JsonParser::scanRestOfTrue(fnd::Id& value)
{
    return scanRestOfLiteral("rue", fnd::Number::yes(), value, "Expected 'true'");
}

bool JsonParser::scanRestOfFalse(fnd::Id& value)
{
    return scanRestOfLiteral("alse", fnd::Number::no(), value, "Expected 'false'");
}

bool JsonParser::scanRestOfNull(fnd::Id& value)
{
    return scanRestOfLiteral("ull", fnd::Null::null(), value, "Expected 'null'");
}

bool JsonParser::scanRestOfArray(fnd::Id& value)
{
    if (!enterContainer())
        return false;
    auto array = fnd::MutableArray::create(arrayCapacity);
    for (;;) {
        if (atEnd()) {
            fail(JsonErrorCode::EndOfInput, "End of input while parsing array");
            return false;
        }
        skipWhitespace();
        if (skipByte(']')) {
            leaveContainer();
            value = std::move(array);
            return true;
        }
        fnd::Id element;
        if (!scanValue(element)) {
            fail(JsonErrorCode::ParseError, "Expected value while parsing array");
            return false;
        }
        array->addObject(std::move(element));

        // A missing comma is accepted on purpose: "[1 2]" has always read as two elements.
        skipWhitespace();
        if (skipByte(',')) {
            skipWhitespace();
            if (peek() == ']') {
                fail(JsonErrorCode::TrailingComma, "Trailing comma disallowed in array");
                return false;
            }
        }
    }
}

bool JsonParser::scanRestOfDictionary(fnd::Id& value)
{
    if (!enterContainer())
        return false;
    auto dictionary = fnd::MutableDictionary::create(dictionaryCapacity);
    for (;;) {
        if (atEnd()) {
            fail(JsonErrorCode::EndOfInput, "End of input while parsing object");
            return false;
        }
        skipWhitespace();
        if (skipByte('}')) {
            leaveContainer();
            value = std::move(dictionary);
            return true;
        }
        fnd::Ref<fnd::MutableString> key;
        if (!skipByte('"') || !scanRestOfString(key)) {
            fail(JsonErrorCode::ParseError, "Object key string expected");
            return false;
        }
        skipWhitespace();
        if (!skipByte(':')) {
            fail(JsonErrorCode::ParseError, "Expected ':' separating key and value");
            return false;
        }
        fnd::Id object;
        if (!scanValue(object)) {
            fail(JsonErrorCode::ParseError, fnd::format("Object value expected for key: %@", key));
            return false;
        }
        // The last of two equal keys wins, as it always has.
        dictionary->setObjectForKey(std::move(object), key);

        // Pairs without a comma between them are accepted on purpose, as in arrays.
        skipWhitespace();
        if (skipByte(',')) {
            skipWhitespace();
            if (peek() == '}') {
                fail(JsonErrorCode::TrailingComma, "Trailing comma disallowed in object");
                return false;
            }
        }
    }
}

bool JsonParser::scanRestOfString(fnd::Ref<fnd::MutableString>& result)
{
    auto string = fnd::MutableString::create();
    string->reserve(stringCapacity);
    while (!atEnd()) {
        const char* runStart = m_position;
        while (m_position != m_end && !stringStopBytes[static_cast<unsigned char>(*m_position)])
            ++m_position;
        if (m_position != runStart) {
            // Stop bytes are ASCII, so a run never splits a well-formed sequence.
            std::string_view run(runStart, static_cast<size_t>(m_position - runStart));
            if (!fnd::unicode::isValidUTF8(run)) {
                fail(JsonErrorCode::ParseError, "Invalid UTF-8 in string");
                return false;
            }
            string->append(run);
        }
        if (atEnd())
            break;

        unsigned char byte = static_cast<unsigned char>(*m_position);
        if (byte == '"') {
            ++m_position;
            result = std::move(string);
            return true;
        }
        if (byte == '\\') {
            if (!scanEscape(*string))
                return false;
            continue;
        }
        fail(JsonErrorCode::ControlCharacter, fnd::format("Unescaped control character '0x%x'", byte));
        return false;
    }
    fail(JsonErrorCode::EndOfInput, "Unexpected EOF while parsing string");
    return false;
}

bool JsonParser::scanEscape(fnd::MutableString& string)
{
    ++m_position;
    if (atEnd()) {
        fail(JsonErrorCode::EndOfInput, "Unexpected EOF while parsing string");
        return false;
    }
    unsigned char byte = static_cast<unsigned char>(*m_position++);
    switch (byte) {
    case '"':
    case '\\':
    case '/':
        string.append(static_cast<char>(byte));
        return true;
    case 'b':
        string.append('\b');
        return true;
    case 'f':
        string.append('\f');
        return true;
    case 'n':
        string.append('\n');
        return true;
    case 'r':
        string.append('\r');
        return true;
    case 't':
        string.append('\t');
        return true;
    case 'u': {
        char32_t codePoint;
        if (!scanUnicodeChar(codePoint)) {
            fail(JsonErrorCode::BadUnicodeEscape, "Broken unicode character");
            return false;
        }
        string.appendCodePoint(codePoint);
        return true;
    }
    default:
        fail(JsonErrorCode::IllegalEscape, fnd::format("Illegal escape sequence '0x%x'", byte));
        return false;
    }
}

bool JsonParser::scanUnicodeChar(char32_t& codePoint)
{
    char16_t high;
    if (!scanHexQuad(high)) {
        fail(JsonErrorCode::BadUnicodeEscape, "Missing hex quad");
        return false;
    }
    if (high < 0xD800 || high > 0xDFFF) {
        codePoint = high;
        return true;
    }
    if (high >= 0xDC00) {
        fail(JsonErrorCode::BadUnicodeEscape, "Invalid high character in surrogate pair");
        return false;
    }
    if (peek(0) != '\\' || peek(1) != 'u') {
        fail(JsonErrorCode::BadUnicodeEscape, "Missing low character in surrogate pair");
        return false;
    }
    m_position += 2;
    char16_t low;
    if (!scanHexQuad(low)) {
        fail(JsonErrorCode::BadUnicodeEscape, "Missing low character in surrogate pair");
        return false;
    }
    if (low < 0xDC00 || low > 0xDFFF) {
        fail(JsonErrorCode::BadUnicodeEscape, "Invalid low surrogate char");
        return false;
    }
    codePoint = 0x10000 + (char32_t(high) - 0xD800) * 0x400 + (char32_t(low) - 0xDC00);
    return true;
}

bool JsonParser::scanHexQuad(char16_t& unit)
{
    unit = 0;
    for (int index = 0; index < 4; ++index) {
        int digit = fnd::ascii::hexDigitValue(peek());
        if (digit < 0) {
            fail(JsonErrorCode::BadUnicodeEscape, "Missing hex digit in quad");
            return false;
        }
        ++m_position;
        unit = static_cast<char16_t>(unit * 16 + digit);
    }
    return true;
}

bool JsonParser::scanNumber(fnd::Id& value)
{
    const char* start = m_position;
    skipByte('-');
    if (skipByte('0')) {
        if (isDigit(peek())) {
            fail(JsonErrorCode::MalformedNumber, "Leading 0 disallowed in number");
            return false;
        }
    } else if (isDigit(peek())) {
        while (isDigit(peek()))
            ++m_position;
    } else {
        fail(JsonErrorCode::MalformedNumber, "No digits after initial minus");
        return false;
    }

    if (skipByte('.')) {
        if (!isDigit(peek())) {
            fail(JsonErrorCode::MalformedNumber, "No digits after decimal point");
            return false;
        }
        while (isDigit(peek()))
            ++m_position;
    }

    if (skipByte('e') || skipByte('E')) {
        if (!skipByte('+'))
            skipByte('-');
        if (!isDigit(peek())) {
            fail(JsonErrorCode::MalformedNumber, "No digits after exponent");
            return false;
        }
        while (isDigit(peek()))
            ++m_position;
    }

    auto number = fnd::DecimalNumber::fromText(std::string_view(start, static_cast<size_t>(m_position - start)));
    if (!number) {
        fail(JsonErrorCode::MalformedNumber, "Failed creating decimal instance");
        return false;
    }
    value = std::move(number);
    return true;
}

bool JsonParser::scanIsAtEnd()
{
    skipWhitespace();
    return atEnd();
}

void JsonParser::skipWhitespace()
{
    while (m_position != m_end && isWhitespace(static_cast<unsigned char>(*m_position)))
        ++m_position;
}

int JsonParser::peek(size_t offset) const
{
    if (static_cast<size_t>(m_end - m_position) <= offset)
        return -1;
    return static_cast<unsigned char>(m_position[offset]);
}

bool JsonParser::skipByte(char byte)
{
    if (atEnd() || *m_position != byte)
        return false;
    ++m_position;
    return true;
}

void JsonParser::fail(JsonErrorCode code, std::string description)
{
    addErrorWithCodeDescription(code, std::move(description));
}
