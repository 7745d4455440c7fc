#include "platform/foundation/String.h"

#include "platform/foundation/MutableString.h"
#include "platform/foundation/Unicode.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace fnd {

Ref<String> String::create(std::string_view utf8)
{
    return std::make_shared<String>(std::string(utf8));
}

Ref<String> String::create(std::string&& utf8)
{
    return std::make_shared<String>(std::move(utf8));
}

const Ref<String>& String::empty()
{
    static const Ref<String> instance = create();
    return instance;
}

String::String(std::string utf8)
    : m_utf8(std::move(utf8))
{
}

String::String(const String& other)
    : Object(other)
    , m_utf8(other.m_utf8)
{
}

void String::contentsChanged()
{
    m_utf16Length.store(notComputed, std::memory_order_relaxed);
    m_hash.store(notComputed, std::memory_order_relaxed);
}

size_t String::length() const
{
    size_t length = m_utf16Length.load(std::memory_order_relaxed);
    if (length == notComputed) {
        length = unicode::utf16Length(m_utf8);
        m_utf16Length.store(length, std::memory_order_relaxed);
    }
    return length;
}

char16_t String::characterAtIndex(size_t utf16Index) const
{
    size_t offset = unicode::byteOffsetOfUTF16Index(m_utf8, utf16Index);
    if (offset >= m_utf8.size())
        return 0;
    size_t cursor = offset;
    char32_t codePoint = unicode::decodeNext(m_utf8, cursor);
    if (codePoint < 0x10000)
        return static_cast<char16_t>(codePoint);
    // The index may point at either half of a surrogate pair.
    std::u16string pair;
    unicode::appendUTF16(pair, codePoint);
    size_t unitsBefore = unicode::utf16Length(std::string_view(m_utf8).substr(0, offset));
    return pair[utf16Index - unitsBefore];
}

std::string String::substring(size_t utf16Location, size_t utf16Length) const
{
    return unicode::utf16Substring(m_utf8, utf16Location, utf16Length);
}

int32_t String::intValue() const
{
    int64_t value = longLongValue();
    if (value > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

int64_t String::longLongValue() const
{
    return parseLeadingInteger(m_utf8);
}

double String::doubleValue() const
{
    return parseLeadingDouble(m_utf8);
}

float String::floatValue() const
{
    return static_cast<float>(doubleValue());
}

bool String::boolValue() const
{
    return parseLeadingBool(m_utf8);
}

size_t String::computeHash() const
{
    size_t hash = hashBytes(m_utf8);
    m_hash.store(hash, std::memory_order_relaxed);
    return hash;
}

bool String::isEqual(const Object& other) const
{
    if (this == &other)
        return true;
    auto* string = dynamic_cast<const String*>(&other);
    return string && string->m_utf8 == m_utf8;
}

Id String::immutableCopy() const
{
    return create(m_utf8);
}

Id String::mutableCopy() const
{
    return MutableString::create(m_utf8);
}

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

size_t skipBlanks(std::string_view text)
{
    size_t index = 0;
    while (index < text.size() && isBlank(text[index]))
        ++index;
    return index;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

}

int64_t parseLeadingInteger(std::string_view text)
{
    size_t index = skipBlanks(text);
    bool negative = false;
    if (index < text.size() && (text[index] == '+' || text[index] == '-'))
        negative = text[index++] == '-';
    uint64_t magnitude = 0;
    const uint64_t limit = negative ? uint64_t(std::numeric_limits<int64_t>::max()) + 1 : uint64_t(std::numeric_limits<int64_t>::max());
    bool saturated = false;
    for (; index < text.size() && isDigit(text[index]); ++index) {
        uint64_t digit = uint64_t(text[index] - '0');
        if (saturated || magnitude > (limit - digit) / 10) {
            saturated = true;
            continue;
        }
        magnitude = magnitude * 10 + digit;
    }
    if (saturated)
        return negative ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
    if (negative)
        return magnitude == uint64_t(std::numeric_limits<int64_t>::max()) + 1 ? std::numeric_limits<int64_t>::min() : -int64_t(magnitude);
    return int64_t(magnitude);
}

double parseLeadingDouble(std::string_view text)
{
    size_t start = skipBlanks(text);
    size_t index = start;
    bool negative = false;
    if (index < text.size() && (text[index] == '+' || text[index] == '-'))
        negative = text[index++] == '-';
    size_t numberStart = index;
    size_t digits = 0;
    while (index < text.size() && isDigit(text[index]))
        ++index, ++digits;
    if (index < text.size() && text[index] == '.') {
        ++index;
        while (index < text.size() && isDigit(text[index]))
            ++index, ++digits;
    }
    if (digits == 0)
        return 0;
    size_t end = index;
    if (index < text.size() && (text[index] == 'e' || text[index] == 'E')) {
        size_t exponent = index + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-'))
            ++exponent;
        if (exponent < text.size() && isDigit(text[exponent])) {
            while (exponent < text.size() && isDigit(text[exponent]))
                ++exponent;
            end = exponent;
        }
    }
    std::string_view number = text.substr(numberStart, end - numberStart);
    double value = 0;
    auto result = std::from_chars(number.data(), number.data() + number.size(), value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone on overflow or underflow; pick the limit the text meant.
        bool tiny = false;
        size_t e = number.find_first_of("eE");
        if (e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-')
            tiny = true;
        value = tiny ? 0.0 : HUGE_VAL;
    }
    return negative ? -value : value;
}

bool parseLeadingBool(std::string_view text)
{
    size_t index = skipBlanks(text);
    if (index < text.size() && (text[index] == '+' || text[index] == '-'))
        ++index;
    while (index < text.size() && text[index] == '0')
        ++index;
    if (index >= text.size())
        return false;
    char c = text[index];
    return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

size_t hashBytes(std::string_view bytes)
{
    // FNV-1a: cheap, stable across runs, good enough for short keys.
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char byte : bytes) {
        hash ^= byte;
        hash *= 1099511628211ull;
    }
    return static_cast<size_t>(hash);
}

}
