#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// UTF-8 storage with UTF-16 arithmetic: the platform counted and indexed text in UTF-16 units.
namespace fnd::unicode {

constexpr char32_t replacementCharacter = 0xFFFD;

bool isValidUTF8(std::string_view);
// Replaces every malformed sequence with U+FFFD.
std::string sanitizedUTF8(std::string_view);

// Decodes the code point at `offset` and advances it; malformed input yields U+FFFD and moves on by one byte.
char32_t decodeNext(std::string_view, size_t& offset);
void appendUTF8(std::string&, char32_t codePoint);
void appendUTF16(std::u16string&, char32_t codePoint);

size_t utf16Length(std::string_view);
std::u16string toUTF16(std::string_view);
// Unpaired surrogates become U+FFFD.
std::string fromUTF16(std::u16string_view);

// Byte offset of the given UTF-16 index; an index inside a surrogate pair rounds down to the pair's start.
// Past the end answers the string's size.
size_t byteOffsetOfUTF16Index(std::string_view, size_t utf16Index);
// Substring by UTF-16 units; the range is clamped to the text.
std::string utf16Substring(std::string_view, size_t utf16Location, size_t utf16Length);

// The platform's text order: by UTF-16 code units, where U+E000..U+FFFF sort after every
// supplementary character (whose UTF-8 bytes sort them last).
bool lessInUTF16Order(std::string_view, std::string_view);

bool isWhitespaceOrNewline(char32_t);
std::string trimmedWhitespaceAndNewlines(std::string_view);

std::string lowercased(std::string_view);
std::string uppercased(std::string_view);
// Case-folded and stripped of diacritics: the key for case- and accent-insensitive comparison.
std::string foldedForSearch(std::string_view);
bool containsIgnoringCaseAndDiacritics(std::string_view haystack, std::string_view needle);
bool containsIgnoringCase(std::string_view haystack, std::string_view needle);

}
