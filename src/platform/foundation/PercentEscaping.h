#pragma once

#include <bitset>
#include <optional>
#include <string>
#include <string_view>

namespace fnd {

// Percent escaping of text for addresses, queries and form bodies: the UTF-8 bytes of every
// character outside an allowed set become "%" and two upper-case hexadecimal digits. Only ASCII
// characters can be allowed; every other byte is always escaped.
class PercentEscaping {
public:
    class CharacterSet {
    public:
        // The platform's standard set: A-Z a-z 0-9 and -._~!*'();:@&=+$,/?#
        static CharacterSet standard();
        // The unreserved characters of RFC 3986: A-Z a-z 0-9 and -._~
        static CharacterSet unreserved();
        static CharacterSet of(std::string_view characters);

        CharacterSet adding(std::string_view characters) const;
        CharacterSet removing(std::string_view characters) const;
        bool contains(char character) const;

    private:
        std::bitset<128> m_characters;
    };

    // Escapes everything outside the standard set.
    static std::string addingPercentEscapes(std::string_view text);
    // Escapes everything outside the given allowed set.
    static std::string addingPercentEscapes(std::string_view text, const CharacterSet& allowed);
    // The platform's two-list form: the standard set, plus the characters to leave unescaped,
    // minus the characters that must be escaped as well.
    static std::string addingPercentEscapes(std::string_view text, std::string_view leaveUnescaped, std::string_view alsoEscape);

    // Replaces every escape; nothing when an escape is malformed ("%4", "%zz") or the bytes are not UTF-8.
    // A "+" stays a "+".
    static std::optional<std::string> removingPercentEscapes(std::string_view text);
};

}
