#pragma once

#include <libxml/xmlstring.h>

#include <string>
#include <string_view>

// What the model needs of the platform's strings: their UTF-8 bytes for libxml2, and trimming.
class DDXMLString {
public:
    // The text's UTF-8 bytes, NUL-terminated, valid while `text` lives. Every name, value and URI
    // goes to libxml2 this way.
    static const ::xmlChar* xmlChar(const std::string& text);
    // The text without leading and trailing white space and line breaks (Unicode's, not only ASCII's).
    static std::string stringByTrimming(std::string_view text);
};
