#pragma once

#include <optional>
#include <string>
#include <string_view>

// Byte-level helpers for the ASCII syntax of file formats and protocols (escapes, headers, vCards).
namespace fnd::ascii {

// The value of a hexadecimal digit, or -1 for anything else.
constexpr int hexDigitValue(int character)
{
    if (character >= '0' && character <= '9')
        return character - '0';
    if (character >= 'a' && character <= 'f')
        return character - 'a' + 10;
    if (character >= 'A' && character <= 'F')
        return character - 'A' + 10;
    return -1;
}

// Without the blanks and tabs at either end (header values, vCard parameters).
constexpr std::string_view trimmedBlanksAndTabs(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// The text with every `escape` followed by two hexadecimal digits replaced by the byte they
// spell ("%41" or "=41" is "A"); nothing when an escape is cut short or not followed by hex digits.
inline std::optional<std::string> decodingHexEscapes(std::string_view text, char escape)
{
    std::string decoded;
    decoded.reserve(text.size());
    for (size_t index = 0; index < text.size(); ++index) {
        if (text[index] != escape) {
            decoded.push_back(text[index]);
            continue;
        }
        if (index + 2 >= text.size())
            return std::nullopt;
        int high = hexDigitValue(text[index + 1]);
        int low = hexDigitValue(text[index + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        decoded.push_back(static_cast<char>(high << 4 | low));
        index += 2;
    }
    return decoded;
}

}
