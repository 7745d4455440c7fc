#include "platform/foundation/DecimalNumber.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace fnd {

namespace {

constexpr int64_t longestPlainPadding = 64;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

double doubleFromParts(bool negative, const std::string& digits, int64_t exponent)
{
    std::string text = digits + "e" + std::to_string(exponent);
    double value = 0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        value = exponent > 0 ? HUGE_VAL : 0.0;
    return negative ? -value : value;
}

}

DecimalNumber::DecimalNumber(bool negative, std::string digits, int32_t exponent)
    : Number(Scalar::ofDouble(doubleFromParts(negative, digits, exponent)))
    , m_negative(negative)
    , m_digits(std::move(digits))
    , m_exponent(exponent)
{
}

Ref<DecimalNumber> DecimalNumber::fromText(std::string_view text)
{
    size_t index = 0;
    bool negative = false;
    if (index < text.size() && text[index] == '-')
        negative = true, ++index;
    std::string digits;
    size_t integerStart = index;
    while (index < text.size() && isDigit(text[index]))
        digits.push_back(text[index++]);
    if (index == integerStart)
        return nullptr;
    int64_t exponent = 0;
    if (index < text.size() && text[index] == '.') {
        size_t fractionStart = ++index;
        while (index < text.size() && isDigit(text[index]))
            digits.push_back(text[index++]);
        if (index == fractionStart)
            return nullptr;
        exponent -= static_cast<int64_t>(index - fractionStart);
    }
    if (index < text.size() && (text[index] == 'e' || text[index] == 'E')) {
        ++index;
        bool negativeExponent = false;
        if (index < text.size() && (text[index] == '+' || text[index] == '-'))
            negativeExponent = text[index++] == '-';
        size_t exponentStart = index;
        int64_t written = 0;
        while (index < text.size() && isDigit(text[index])) {
            written = written * 10 + (text[index++] - '0');
            if (written > int64_t(std::numeric_limits<int32_t>::max()) * 4)
                return nullptr;
        }
        if (index == exponentStart)
            return nullptr;
        exponent += negativeExponent ? -written : written;
    }
    if (index != text.size())
        return nullptr;

    size_t firstNonZero = digits.find_first_not_of('0');
    if (firstNonZero == std::string::npos)
        return std::make_shared<DecimalNumber>(negative, "0", 0);
    digits.erase(0, firstNonZero);
    size_t lastNonZero = digits.find_last_not_of('0');
    exponent += static_cast<int64_t>(digits.size() - lastNonZero - 1);
    digits.erase(lastNonZero + 1);
    if (exponent > std::numeric_limits<int32_t>::max() || exponent < std::numeric_limits<int32_t>::min())
        return nullptr;
    return std::make_shared<DecimalNumber>(negative, std::move(digits), static_cast<int32_t>(exponent));
}

Ref<DecimalNumber> DecimalNumber::fromInteger(int64_t value)
{
    return fromText(std::to_string(value));
}

// The magnitude of the integer part, truncated towards zero; nothing past 2^64 - 1.
std::optional<uint64_t> DecimalNumber::integerMagnitude() const
{
    int64_t integerDigits = static_cast<int64_t>(m_digits.size()) + m_exponent;
    if (isZero() || integerDigits <= 0)
        return 0;
    if (integerDigits > 20)
        return std::nullopt;
    uint64_t magnitude = 0;
    for (int64_t index = 0; index < integerDigits; ++index) {
        uint64_t digit = index < static_cast<int64_t>(m_digits.size()) ? uint64_t(m_digits[static_cast<size_t>(index)] - '0') : 0;
        if (magnitude > (std::numeric_limits<uint64_t>::max() - digit) / 10)
            return std::nullopt;
        magnitude = magnitude * 10 + digit;
    }
    return magnitude;
}

int64_t DecimalNumber::longLongValue() const
{
    auto magnitude = integerMagnitude();
    constexpr uint64_t largestPositive = uint64_t(std::numeric_limits<int64_t>::max());
    if (m_negative) {
        if (!magnitude || *magnitude > largestPositive)
            return std::numeric_limits<int64_t>::min();
        return -static_cast<int64_t>(*magnitude);
    }
    if (!magnitude || *magnitude > largestPositive)
        return std::numeric_limits<int64_t>::max();
    return static_cast<int64_t>(*magnitude);
}

uint64_t DecimalNumber::unsignedLongLongValue() const
{
    if (m_negative)
        return static_cast<uint64_t>(longLongValue());
    return integerMagnitude().value_or(std::numeric_limits<uint64_t>::max());
}

std::string DecimalNumber::stringValue() const
{
    std::string sign = m_negative ? "-" : "";
    if (isZero())
        return sign + "0";
    int64_t count = static_cast<int64_t>(m_digits.size());
    int64_t exponent = m_exponent;
    if (exponent >= 0 && exponent <= longestPlainPadding)
        return sign + m_digits + std::string(static_cast<size_t>(exponent), '0');
    if (exponent < 0 && -exponent < count)
        return sign + m_digits.substr(0, static_cast<size_t>(count + exponent)) + "." + m_digits.substr(static_cast<size_t>(count + exponent));
    if (exponent < 0 && -exponent - count <= longestPlainPadding)
        return sign + "0." + std::string(static_cast<size_t>(-exponent - count), '0') + m_digits;
    std::string mantissa = m_digits.substr(0, 1);
    if (count > 1)
        mantissa += "." + m_digits.substr(1);
    int64_t scientificExponent = exponent + count - 1;
    return sign + mantissa + "e" + (scientificExponent < 0 ? "-" : "+") + std::to_string(std::llabs(scientificExponent));
}

bool DecimalNumber::isEqual(const Object& other) const
{
    if (this == &other)
        return true;
    if (auto* decimal = dynamic_cast<const DecimalNumber*>(&other)) {
        if (isZero() && decimal->isZero())
            return true;
        return m_negative == decimal->m_negative && m_digits == decimal->m_digits && m_exponent == decimal->m_exponent;
    }
    return Number::isEqual(other);
}

}
