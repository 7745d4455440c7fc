#include "platform/foundation/MutableString.h"

#include "platform/foundation/Unicode.h"

namespace fnd {

Ref<MutableString> MutableString::create(std::string_view utf8)
{
    return std::make_shared<MutableString>(std::string(utf8));
}

MutableString::MutableString(std::string utf8)
    : String(std::move(utf8))
{
}

void MutableString::setString(std::string_view text)
{
    m_utf8.assign(text);
    contentsChanged();
}

void MutableString::append(std::string_view text)
{
    m_utf8.append(text);
    contentsChanged();
}

void MutableString::append(char c)
{
    m_utf8.push_back(c);
    contentsChanged();
}

void MutableString::appendCodePoint(char32_t codePoint)
{
    unicode::appendUTF8(m_utf8, codePoint);
    contentsChanged();
}

void MutableString::insertAt(std::string_view text, size_t utf16Index)
{
    m_utf8.insert(unicode::byteOffsetOfUTF16Index(m_utf8, utf16Index), text);
    contentsChanged();
}

void MutableString::deleteCharacters(size_t utf16Location, size_t utf16Length)
{
    size_t begin = unicode::byteOffsetOfUTF16Index(m_utf8, utf16Location);
    size_t endIndex = utf16Length > SIZE_MAX - utf16Location ? SIZE_MAX : utf16Location + utf16Length;
    size_t end = unicode::byteOffsetOfUTF16Index(m_utf8, endIndex);
    m_utf8.erase(begin, end - begin);
    contentsChanged();
}

}
