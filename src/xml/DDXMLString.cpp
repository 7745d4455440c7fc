#include "xml/DDXMLString.h"

#include "platform/foundation/Unicode.h"

namespace {

bool isContinuationByte(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

}

const ::xmlChar* DDXMLString::xmlChar(const std::string& text)
{
    return reinterpret_cast<const ::xmlChar*>(text.c_str());
}

std::string DDXMLString::stringByTrimming(std::string_view text)
{
    // Only the ends are decoded: serialised documents can be megabytes long.
    size_t begin = 0;
    while (begin < text.size()) {
        size_t next = begin;
        if (!fnd::unicode::isWhitespaceOrNewline(fnd::unicode::decodeNext(text, next)))
            break;
        begin = next;
    }
    size_t end = text.size();
    while (end > begin) {
        size_t start = end - 1;
        while (start > begin && end - start < 4 && isContinuationByte(text[start]))
            --start;
        size_t next = start;
        char32_t last = fnd::unicode::decodeNext(text, next);
        if (next != end || !fnd::unicode::isWhitespaceOrNewline(last))
            break;
        end = start;
    }
    return std::string(text.substr(begin, end - begin));
}
