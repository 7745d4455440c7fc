#include "xml/DDXMLString.h"

#include "platform/foundation/Unicode.h"

namespace {

bool isPlainNonBlank(unsigned char byte)
{
    return byte > 0x20 && byte < 0x7f;
}

}

const ::xmlChar* DDXMLString::xmlChar(const std::string& text)
{
    return reinterpret_cast<const ::xmlChar*>(text.c_str());
}

std::string DDXMLString::stringByTrimming(std::string_view text)
{
    // Serialised documents can be megabytes long; most start and end with a visible ASCII character.
    if (!text.empty() && isPlainNonBlank(text.front()) && isPlainNonBlank(text.back()))
        return std::string(text);
    return fnd::unicode::trimmedWhitespaceAndNewlines(text);
}
