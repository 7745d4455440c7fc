#include "platform/foundation/CollectionDescription.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/String.h"

namespace fnd {

namespace {

bool needsQuotes(std::string_view text)
{
    if (text.empty())
        return true;
    for (unsigned char c : text) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '.' || c == '$' || c == '/' || c >= 0x80;
        if (!plain)
            return true;
    }
    return false;
}

std::string quoted(std::string_view text)
{
    std::string result = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            result.push_back('\\');
        if (c == '\n') {
            result += "\\n";
            continue;
        }
        result.push_back(c);
    }
    result.push_back('"');
    return result;
}

}

std::string indentationForLevel(unsigned level)
{
    return std::string(level * 4, ' ');
}

std::string describeInCollection(const Id& object, unsigned level)
{
    if (auto* array = dynamic_cast<const Array*>(object.get()))
        return array->descriptionWithIndent(level);
    if (auto* dictionary = dynamic_cast<const Dictionary*>(object.get()))
        return dictionary->descriptionWithIndent(level);
    if (auto* string = dynamic_cast<const String*>(object.get()))
        return needsQuotes(string->view()) ? quoted(string->view()) : string->utf8();
    return descriptionOf(object);
}

}
