#include "platform/foundation/Format.h"

#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"
#include "platform/foundation/Unicode.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace fnd {

namespace {

struct Directive {
    bool leftAlign = false;
    bool plusSign = false;
    bool spaceSign = false;
    bool alternate = false;
    bool zeroPad = false;
    std::optional<int> width;
    std::optional<int> precision;
    enum class Length { Default, Short, Long } length = Length::Default;
    char conversion = 0;
};

using Value = FormatArgument::Value;

const Value& nilValue()
{
    static const Value nil;
    return nil;
}

int64_t signedOf(const Value& value)
{
    return std::visit([](auto&& v) -> int64_t {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, int64_t>)
            return v;
        else if constexpr (std::is_same_v<T, uint64_t>)
            return static_cast<int64_t>(v);
        else if constexpr (std::is_same_v<T, double>)
            return std::isfinite(v) ? (v >= 9.2e18 ? INT64_MAX : v <= -9.2e18 ? INT64_MIN : static_cast<int64_t>(v)) : 0;
        else if constexpr (std::is_same_v<T, std::string_view>)
            return parseLeadingInteger(v);
        else if constexpr (std::is_same_v<T, const Object*>) {
            if (auto* number = dynamic_cast<const Number*>(v))
                return number->longLongValue();
            if (auto* string = dynamic_cast<const String*>(v))
                return string->longLongValue();
            return 0;
        } else if constexpr (std::is_same_v<T, const void*>)
            return static_cast<int64_t>(reinterpret_cast<uintptr_t>(v));
        else
            return 0;
    }, value);
}

uint64_t unsignedOf(const Value& value)
{
    if (auto* unsignedValue = std::get_if<uint64_t>(&value))
        return *unsignedValue;
    if (auto* object = std::get_if<const Object*>(&value)) {
        if (auto* number = dynamic_cast<const Number*>(*object))
            return number->unsignedLongLongValue();
    }
    return static_cast<uint64_t>(signedOf(value));
}

double doubleOf(const Value& value)
{
    return std::visit([](auto&& v) -> double {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, int64_t> || std::is_same_v<T, uint64_t> || std::is_same_v<T, double>)
            return static_cast<double>(v);
        else if constexpr (std::is_same_v<T, std::string_view>)
            return parseLeadingDouble(v);
        else if constexpr (std::is_same_v<T, const Object*>) {
            if (auto* number = dynamic_cast<const Number*>(v))
                return number->doubleValue();
            if (auto* string = dynamic_cast<const String*>(v))
                return string->doubleValue();
            return 0.0;
        } else
            return 0.0;
    }, value);
}

std::string pointerText(const void* pointer)
{
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, reinterpret_cast<uintptr_t>(pointer), 16);
    return "0x" + std::string(buffer, result.ptr);
}

std::string textOf(const Value& value)
{
    return std::visit([](auto&& v) -> std::string {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::monostate>)
            return "(null)";
        else if constexpr (std::is_same_v<T, int64_t> || std::is_same_v<T, uint64_t>)
            return std::to_string(v);
        else if constexpr (std::is_same_v<T, double>)
            return formatDouble(v);
        else if constexpr (std::is_same_v<T, std::string_view>)
            return std::string(v);
        else if constexpr (std::is_same_v<T, const Object*>)
            return v->description();
        else
            return pointerText(v);
    }, value);
}

size_t codePointCount(std::string_view text)
{
    size_t count = 0;
    for (size_t offset = 0; offset < text.size(); ++count)
        unicode::decodeNext(text, offset);
    return count;
}

void appendPadded(std::string& out, std::string_view body, const Directive& directive, bool numeric)
{
    size_t length = codePointCount(body);
    size_t width = directive.width && *directive.width > 0 ? static_cast<size_t>(*directive.width) : 0;
    if (length >= width) {
        out += body;
        return;
    }
    size_t padding = width - length;
    if (directive.leftAlign) {
        out += body;
        out.append(padding, ' ');
        return;
    }
    if (directive.zeroPad && numeric) {
        // Zeros go after the sign and any "0x" prefix.
        size_t prefix = 0;
        if (!body.empty() && (body[0] == '-' || body[0] == '+' || body[0] == ' '))
            prefix = 1;
        if (body.substr(prefix).starts_with("0x") || body.substr(prefix).starts_with("0X"))
            prefix += 2;
        out += body.substr(0, prefix);
        out.append(padding, '0');
        out += body.substr(prefix);
        return;
    }
    out.append(padding, ' ');
    out += body;
}

std::string withSign(std::string digits, bool negative, const Directive& directive)
{
    if (negative)
        return "-" + digits;
    if (directive.plusSign)
        return "+" + digits;
    if (directive.spaceSign)
        return " " + digits;
    return digits;
}

std::string integerDigits(uint64_t magnitude, int base, bool upper, const Directive& directive)
{
    char buffer[72];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, base);
    std::string digits(buffer, result.ptr);
    if (upper) {
        for (char& c : digits)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (directive.precision) {
        if (*directive.precision == 0 && magnitude == 0)
            digits.clear();
        else if (digits.size() < static_cast<size_t>(*directive.precision))
            digits.insert(0, static_cast<size_t>(*directive.precision) - digits.size(), '0');
    }
    return digits;
}

std::string formatSigned(const Value& value, const Directive& directive)
{
    int64_t number = signedOf(value);
    uint64_t magnitude = number < 0 ? 0 - static_cast<uint64_t>(number) : static_cast<uint64_t>(number);
    return withSign(integerDigits(magnitude, 10, false, directive), number < 0, directive);
}

std::string formatUnsigned(const Value& value, const Directive& directive)
{
    uint64_t number = unsignedOf(value);
    // A negative int read as "%u" or "%x" wraps at 32 bits, as the platform's int did.
    bool negativeSigned = std::holds_alternative<int64_t>(value) && std::get<int64_t>(value) < 0;
    if (negativeSigned && directive.length != Directive::Length::Long && std::get<int64_t>(value) >= INT32_MIN)
        number = static_cast<uint32_t>(number);
    int base = 10;
    bool upper = false;
    std::string prefix;
    switch (directive.conversion) {
    case 'x':
        base = 16;
        if (directive.alternate && number)
            prefix = "0x";
        break;
    case 'X':
        base = 16, upper = true;
        if (directive.alternate && number)
            prefix = "0X";
        break;
    case 'o':
        base = 8;
        if (directive.alternate)
            prefix = "0";
        break;
    default:
        break;
    }
    return prefix + integerDigits(number, base, upper, directive);
}

std::string formatFloating(const Value& value, const Directive& directive)
{
    double number = doubleOf(value);
    bool negative = std::signbit(number);
    double magnitude = std::fabs(number);
    bool upper = std::isupper(static_cast<unsigned char>(directive.conversion));
    std::string digits;
    if (std::isnan(number)) {
        digits = upper ? "NAN" : "nan";
        negative = false;
    } else if (std::isinf(number)) {
        digits = upper ? "INF" : "inf";
    } else {
        char buffer[400];
        int precision = directive.precision.value_or(6);
        precision = std::min(precision, 100);
        std::to_chars_result result;
        switch (std::tolower(static_cast<unsigned char>(directive.conversion))) {
        case 'e':
            result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, precision);
            break;
        case 'g':
            result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::general, precision == 0 ? 1 : precision);
            break;
        case 'a':
            result = directive.precision ? std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::hex, precision)
                                    : std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::hex);
            break;
        default:
            result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, precision);
            break;
        }
        digits.assign(buffer, result.ec == std::errc() ? result.ptr : buffer);
        if (directive.conversion == 'a' || directive.conversion == 'A')
            digits = "0x" + digits;
        if (upper) {
            for (char& c : digits)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        if (directive.alternate && digits.find('.') == std::string::npos && directive.conversion != 'a' && directive.conversion != 'A') {
            size_t exponent = digits.find_first_of("eE");
            digits.insert(exponent == std::string::npos ? digits.size() : exponent, ".");
        }
    }
    return withSign(digits, negative, directive);
}

std::string truncatedToCodePoints(std::string_view text, std::optional<int> precision)
{
    if (!precision || *precision < 0)
        return std::string(text);
    size_t offset = 0;
    for (int count = 0; count < *precision && offset < text.size(); ++count)
        unicode::decodeNext(text, offset);
    return std::string(text.substr(0, offset));
}

std::string formatCharacter(const Value& value)
{
    std::string text;
    int64_t codePoint = signedOf(value);
    if (codePoint <= 0)
        return text;
    unicode::appendUTF8(text, static_cast<char32_t>(std::min<int64_t>(codePoint, 0x10FFFF)));
    return text;
}

// Parses digits at `index`; nothing when there are none.
std::optional<int> parseNumber(std::string_view text, size_t& index)
{
    size_t start = index;
    int64_t number = 0;
    while (index < text.size() && text[index] >= '0' && text[index] <= '9') {
        number = std::min<int64_t>(number * 10 + (text[index] - '0'), 1 << 20);
        ++index;
    }
    if (index == start)
        return std::nullopt;
    return static_cast<int>(number);
}

}

std::string formatWithArguments(std::string_view text, std::span<const FormatArgument> arguments)
{
    std::string out;
    out.reserve(text.size() + 16 * arguments.size());
    size_t nextArgument = 0;
    auto argumentAt = [&](size_t index) -> const Value& {
        return index < arguments.size() ? arguments[index].value() : nilValue();
    };

    for (size_t index = 0; index < text.size();) {
        char c = text[index];
        if (c != '%') {
            size_t next = text.find('%', index);
            if (next == std::string_view::npos)
                next = text.size();
            out.append(text.substr(index, next - index));
            index = next;
            continue;
        }
        size_t start = index++;
        if (index < text.size() && text[index] == '%') {
            out.push_back('%');
            ++index;
            continue;
        }

        Directive directive;
        std::optional<size_t> position;
        {
            size_t probe = index;
            auto number = parseNumber(text, probe);
            if (number && probe < text.size() && text[probe] == '$' && *number > 0) {
                position = static_cast<size_t>(*number - 1);
                index = probe + 1;
            }
        }
        for (; index < text.size(); ++index) {
            char flag = text[index];
            if (flag == '-')
                directive.leftAlign = true;
            else if (flag == '+')
                directive.plusSign = true;
            else if (flag == ' ')
                directive.spaceSign = true;
            else if (flag == '#')
                directive.alternate = true;
            else if (flag == '0')
                directive.zeroPad = true;
            else if (flag == '\'')
                continue;
            else
                break;
        }
        if (index < text.size() && text[index] == '*') {
            ++index;
            int64_t width = signedOf(argumentAt(nextArgument++));
            if (width < 0) {
                directive.leftAlign = true;
                width = -width;
            }
            directive.width = static_cast<int>(std::min<int64_t>(width, 1 << 20));
        } else {
            directive.width = parseNumber(text, index);
        }
        if (index < text.size() && text[index] == '.') {
            ++index;
            if (index < text.size() && text[index] == '*') {
                ++index;
                int64_t precision = signedOf(argumentAt(nextArgument++));
                if (precision >= 0)
                    directive.precision = static_cast<int>(std::min<int64_t>(precision, 1 << 20));
            } else {
                directive.precision = parseNumber(text, index).value_or(0);
            }
        }
        while (index < text.size()) {
            char modifier = text[index];
            if (modifier == 'l' || modifier == 'q' || modifier == 'L' || modifier == 'z' || modifier == 'j' || modifier == 't') {
                directive.length = Directive::Length::Long;
            } else if (modifier == 'h') {
                if (directive.length == Directive::Length::Default)
                    directive.length = Directive::Length::Short;
            } else {
                break;
            }
            ++index;
        }
        if (index >= text.size()) {
            out.append(text.substr(start));
            break;
        }
        directive.conversion = text[index++];

        auto takeArgument = [&]() -> const Value& {
            if (position)
                return argumentAt(*position);
            return argumentAt(nextArgument++);
        };

        switch (directive.conversion) {
        case 'd':
        case 'i':
        case 'D':
            appendPadded(out, formatSigned(takeArgument(), directive), directive, true);
            break;
        case 'u':
        case 'U':
        case 'x':
        case 'X':
        case 'o':
        case 'O':
            appendPadded(out, formatUnsigned(takeArgument(), directive), directive, true);
            break;
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            appendPadded(out, formatFloating(takeArgument(), directive), directive, true);
            break;
        case 'c':
        case 'C':
            appendPadded(out, formatCharacter(takeArgument()), directive, false);
            break;
        case 's':
        case 'S':
        case '@':
            appendPadded(out, truncatedToCodePoints(textOf(takeArgument()), directive.precision), directive, false);
            break;
        case 'p': {
            const Value& value = takeArgument();
            const void* pointer = nullptr;
            if (auto* raw = std::get_if<const void*>(&value))
                pointer = *raw;
            else if (auto* object = std::get_if<const Object*>(&value))
                pointer = *object;
            appendPadded(out, pointerText(pointer), directive, false);
            break;
        }
        default:
            // Not a conversion we know: copy it through rather than guess at an argument.
            out.append(text.substr(start, index - start));
            break;
        }
    }
    return out;
}

}
