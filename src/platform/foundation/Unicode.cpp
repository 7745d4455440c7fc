#include "platform/foundation/Unicode.h"

#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>

namespace fnd::unicode {

namespace {

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Answers the code point and its length, or length 0 for a malformed sequence.
std::pair<char32_t, size_t> decodeAt(std::string_view text, size_t offset)
{
    auto byte = [&](size_t index) { return static_cast<unsigned char>(text[offset + index]); };
    size_t remaining = text.size() - offset;
    unsigned char lead = byte(0);
    if (lead < 0x80)
        return { lead, 1 };
    size_t length;
    char32_t codePoint;
    char32_t minimum;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, codePoint = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, codePoint = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, codePoint = lead & 0x07, minimum = 0x10000;
    } else {
        return { replacementCharacter, 0 };
    }
    if (remaining < length)
        return { replacementCharacter, 0 };
    for (size_t index = 1; index < length; ++index) {
        if (!isContinuation(byte(index)))
            return { replacementCharacter, 0 };
        codePoint = (codePoint << 6) | (byte(index) & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return { replacementCharacter, 0 };
    return { codePoint, length };
}

}

bool isValidUTF8(std::string_view text)
{
    for (size_t offset = 0; offset < text.size();) {
        if (static_cast<unsigned char>(text[offset]) < 0x80) {
            ++offset;
            continue;
        }
        auto [codePoint, length] = decodeAt(text, offset);
        if (length == 0)
            return false;
        offset += length;
    }
    return true;
}

std::string sanitizedUTF8(std::string_view text)
{
    if (isValidUTF8(text))
        return std::string(text);
    std::string result;
    result.reserve(text.size());
    for (size_t offset = 0; offset < text.size();)
        appendUTF8(result, decodeNext(text, offset));
    return result;
}

char32_t decodeNext(std::string_view text, size_t& offset)
{
    auto [codePoint, length] = decodeAt(text, offset);
    offset += length ? length : 1;
    return codePoint;
}

void appendUTF8(std::string& out, char32_t codePoint)
{
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        codePoint = replacementCharacter;
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

void appendUTF16(std::u16string& out, char32_t codePoint)
{
    if (codePoint >= 0x10000) {
        codePoint -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(codePoint));
    }
}

size_t utf16Length(std::string_view text)
{
    size_t length = 0;
    for (size_t offset = 0; offset < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[offset]);
        if (lead < 0x80) {
            ++offset;
            ++length;
            continue;
        }
        char32_t codePoint = decodeNext(text, offset);
        length += codePoint >= 0x10000 ? 2 : 1;
    }
    return length;
}

std::u16string toUTF16(std::string_view text)
{
    std::u16string result;
    result.reserve(text.size());
    for (size_t offset = 0; offset < text.size();)
        appendUTF16(result, decodeNext(text, offset));
    return result;
}

std::string fromUTF16(std::u16string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (size_t index = 0; index < text.size(); ++index) {
        char32_t unit = text[index];
        if (unit >= 0xD800 && unit <= 0xDBFF && index + 1 < text.size() && text[index + 1] >= 0xDC00 && text[index + 1] <= 0xDFFF) {
            char32_t low = text[++index];
            appendUTF8(result, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        } else {
            appendUTF8(result, unit);
        }
    }
    return result;
}

size_t byteOffsetOfUTF16Index(std::string_view text, size_t utf16Index)
{
    size_t units = 0;
    size_t offset = 0;
    while (offset < text.size()) {
        size_t start = offset;
        char32_t codePoint = decodeNext(text, offset);
        size_t width = codePoint >= 0x10000 ? 2 : 1;
        if (units + width > utf16Index)
            return start;
        units += width;
    }
    return text.size();
}

std::string utf16Substring(std::string_view text, size_t location, size_t length)
{
    size_t begin = byteOffsetOfUTF16Index(text, location);
    size_t endIndex = length > SIZE_MAX - location ? SIZE_MAX : location + length;
    size_t end = byteOffsetOfUTF16Index(text, endIndex);
    return std::string(text.substr(begin, end - begin));
}

bool lessInUTF16Order(std::string_view a, std::string_view b)
{
    auto mismatch = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    if (mismatch.second == b.end())
        return false;
    if (mismatch.first == a.end())
        return true;
    // Back up to the start of the code point where the two differ, then compare first code units.
    size_t offset = mismatch.first - a.begin();
    while (offset > 0 && (static_cast<unsigned char>(a[offset]) & 0xC0) == 0x80)
        --offset;
    size_t offsetA = offset;
    size_t offsetB = offset;
    char32_t codePointA = decodeNext(a, offsetA);
    char32_t codePointB = decodeNext(b, offsetB);
    auto firstUnit = [](char32_t codePoint) -> char32_t {
        return codePoint >= 0x10000 ? 0xD800 + ((codePoint - 0x10000) >> 10) : codePoint;
    };
    if (firstUnit(codePointA) != firstUnit(codePointB))
        return firstUnit(codePointA) < firstUnit(codePointB);
    return codePointA < codePointB;
}

bool isWhitespaceOrNewline(char32_t codePoint)
{
    return u_isUWhiteSpace(static_cast<UChar32>(codePoint)) || codePoint == 0x85;
}

std::string trimmedWhitespaceAndNewlines(std::string_view text)
{
    size_t begin = 0;
    size_t end = 0;
    bool found = false;
    for (size_t offset = 0; offset < text.size();) {
        size_t start = offset;
        if (isWhitespaceOrNewline(decodeNext(text, offset)))
            continue;
        if (!found)
            begin = start;
        found = true;
        end = offset;
    }
    if (!found)
        return {};
    return std::string(text.substr(begin, end - begin));
}

namespace {

std::string toUTF8(const icu::UnicodeString& text)
{
    std::string result;
    text.toUTF8String(result);
    return result;
}

icu::UnicodeString fromUTF8(std::string_view text)
{
    return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
}

}

std::string lowercased(std::string_view text)
{
    auto unicode = fromUTF8(text);
    unicode.toLower(icu::Locale::getRoot());
    return toUTF8(unicode);
}

std::string uppercased(std::string_view text)
{
    auto unicode = fromUTF8(text);
    unicode.toUpper(icu::Locale::getRoot());
    return toUTF8(unicode);
}

std::string foldedForSearch(std::string_view text)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* decomposer = icu::Normalizer2::getNFDInstance(status);
    icu::UnicodeString decomposed;
    if (U_SUCCESS(status))
        decomposed = decomposer->normalize(fromUTF8(text), status);
    if (U_FAILURE(status))
        decomposed = fromUTF8(text);
    std::string result;
    result.reserve(text.size());
    for (int32_t index = 0; index < decomposed.length();) {
        UChar32 codePoint = decomposed.char32At(index);
        index += U16_LENGTH(codePoint);
        if (u_charType(codePoint) == U_NON_SPACING_MARK)
            continue;
        appendUTF8(result, static_cast<char32_t>(u_foldCase(codePoint, U_FOLD_CASE_DEFAULT)));
    }
    return result;
}

bool containsIgnoringCaseAndDiacritics(std::string_view haystack, std::string_view needle)
{
    if (needle.empty())
        return false;
    return foldedForSearch(haystack).find(foldedForSearch(needle)) != std::string::npos;
}

bool containsIgnoringCase(std::string_view haystack, std::string_view needle)
{
    if (needle.empty())
        return false;
    auto fold = [](std::string_view text) {
        auto unicode = fromUTF8(text);
        unicode.foldCase();
        return toUTF8(unicode);
    };
    return fold(haystack).find(fold(needle)) != std::string::npos;
}

}
