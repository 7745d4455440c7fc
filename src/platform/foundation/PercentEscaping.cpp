#include "platform/foundation/PercentEscaping.h"

#include "platform/foundation/ASCII.h"
#include "platform/foundation/Unicode.h"

namespace fnd {

namespace {

constexpr std::string_view letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr std::string_view digits = "0123456789";
constexpr char hexDigits[] = "0123456789ABCDEF";

}

PercentEscaping::CharacterSet PercentEscaping::CharacterSet::of(std::string_view characters)
{
    return CharacterSet().adding(characters);
}

PercentEscaping::CharacterSet PercentEscaping::CharacterSet::unreserved()
{
    return of(letters).adding(digits).adding("-._~");
}

PercentEscaping::CharacterSet PercentEscaping::CharacterSet::standard()
{
    return unreserved().adding("!*'();:@&=+$,/?#");
}

PercentEscaping::CharacterSet PercentEscaping::CharacterSet::adding(std::string_view characters) const
{
    CharacterSet result = *this;
    for (char character : characters) {
        if (static_cast<unsigned char>(character) < 128)
            result.m_characters.set(static_cast<unsigned char>(character));
    }
    return result;
}

PercentEscaping::CharacterSet PercentEscaping::CharacterSet::removing(std::string_view characters) const
{
    CharacterSet result = *this;
    for (char character : characters) {
        if (static_cast<unsigned char>(character) < 128)
            result.m_characters.reset(static_cast<unsigned char>(character));
    }
    return result;
}

bool PercentEscaping::CharacterSet::contains(char character) const
{
    auto byte = static_cast<unsigned char>(character);
    return byte < 128 && m_characters.test(byte);
}

std::string PercentEscaping::addingPercentEscapes(std::string_view text)
{
    static const CharacterSet standardSet = CharacterSet::standard();
    return addingPercentEscapes(text, standardSet);
}

std::string PercentEscaping::addingPercentEscapes(std::string_view text, const CharacterSet& allowed)
{
    std::string result;
    result.reserve(text.size());
    for (char character : text) {
        if (allowed.contains(character)) {
            result.push_back(character);
            continue;
        }
        auto byte = static_cast<unsigned char>(character);
        result.push_back('%');
        result.push_back(hexDigits[byte >> 4]);
        result.push_back(hexDigits[byte & 0x0F]);
    }
    return result;
}

std::string PercentEscaping::addingPercentEscapes(std::string_view text, std::string_view leaveUnescaped, std::string_view alsoEscape)
{
    return addingPercentEscapes(text, CharacterSet::standard().adding(leaveUnescaped).removing(alsoEscape));
}

std::optional<std::string> PercentEscaping::removingPercentEscapes(std::string_view text)
{
    auto result = ascii::decodingHexEscapes(text, '%');
    if (!result || !unicode::isValidUTF8(*result))
        return std::nullopt;
    return result;
}

}
