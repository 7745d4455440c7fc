#pragma once

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

}
