#include "platform/addressbook/VCardContentLine.h"

#include "platform/foundation/ASCII.h"

#include <algorithm>
#include <cctype>

namespace ab {

namespace {

std::string upperCased(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), [](unsigned char c) { return std::toupper(c); });
    return result;
}

bool equalIgnoringASCIICase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) { return std::toupper(x) == std::toupper(y); });
}

bool isNameCharacter(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
}

// The parameter a bare old-style value stands for.
std::string_view parameterNameForBareValue(std::string_view value)
{
    static constexpr std::string_view encodings[] = { "QUOTED-PRINTABLE", "BASE64", "B", "8BIT", "7BIT" };
    for (auto encoding : encodings) {
        if (equalIgnoringASCIICase(value, encoding))
            return "ENCODING";
    }
    return "TYPE";
}

// Splits "a,b" and "\"a,b\"" (both lists) at the commas and removes the quotes.
std::vector<std::string> splitParameterValues(std::string_view text)
{
    std::vector<std::string> values(1);
    for (char c : text) {
        if (c == '"')
            continue;
        if (c == ',')
            values.emplace_back();
        else
            values.back() += c;
    }
    return values;
}

}

std::optional<VCardContentLine> VCardContentLine::parse(std::string_view line)
{
    // The value starts after the first colon that is not inside a quoted parameter value.
    size_t colon = std::string_view::npos;
    bool quoted = false;
    for (size_t index = 0; index < line.size(); ++index) {
        if (line[index] == '"')
            quoted = !quoted;
        else if (line[index] == ':' && !quoted) {
            colon = index;
            break;
        }
    }
    if (colon == std::string_view::npos)
        return std::nullopt;

    std::string_view head = line.substr(0, colon);
    VCardContentLine result;
    result.m_value = std::string(line.substr(colon + 1));

    size_t nameEnd = std::min(head.find(';'), head.size());
    std::string_view qualifiedName = fnd::ascii::trimmedBlanksAndTabs(head.substr(0, nameEnd));
    if (auto dot = qualifiedName.find('.'); dot != std::string_view::npos) {
        result.m_group = upperCased(qualifiedName.substr(0, dot));
        qualifiedName.remove_prefix(dot + 1);
    }
    if (qualifiedName.empty() || !std::all_of(qualifiedName.begin(), qualifiedName.end(), isNameCharacter))
        return std::nullopt;
    if (!std::all_of(result.m_group.begin(), result.m_group.end(), isNameCharacter))
        return std::nullopt;
    result.m_name = upperCased(qualifiedName);

    // Parameters, separated by semicolons outside quotes.
    std::string_view rest = nameEnd < head.size() ? head.substr(nameEnd + 1) : std::string_view();
    while (!rest.empty()) {
        size_t end = 0;
        bool inQuotes = false;
        while (end < rest.size() && (inQuotes || rest[end] != ';')) {
            if (rest[end] == '"')
                inQuotes = !inQuotes;
            ++end;
        }
        std::string_view parameter = fnd::ascii::trimmedBlanksAndTabs(rest.substr(0, end));
        rest = end < rest.size() ? rest.substr(end + 1) : std::string_view();
        if (parameter.empty())
            continue;
        auto equals = parameter.find('=');
        if (equals == std::string_view::npos) {
            result.m_parameters.emplace_back(std::string(parameterNameForBareValue(parameter)), std::string(parameter));
            continue;
        }
        auto name = upperCased(fnd::ascii::trimmedBlanksAndTabs(parameter.substr(0, equals)));
        for (auto& value : splitParameterValues(fnd::ascii::trimmedBlanksAndTabs(parameter.substr(equals + 1))))
            result.m_parameters.emplace_back(name, std::move(value));
    }
    return result;
}

std::vector<std::string> VCardContentLine::parameterValues(std::string_view upperCaseName) const
{
    std::vector<std::string> values;
    for (auto& [name, value] : m_parameters) {
        if (name == upperCaseName)
            values.push_back(value);
    }
    return values;
}

std::optional<std::string> VCardContentLine::firstParameterValue(std::string_view upperCaseName) const
{
    for (auto& [name, value] : m_parameters) {
        if (name == upperCaseName)
            return value;
    }
    return std::nullopt;
}

bool VCardContentLine::hasParameterValue(std::string_view upperCaseName, std::string_view valueIgnoringCase) const
{
    for (auto& [name, value] : m_parameters) {
        if (name == upperCaseName && equalIgnoringASCIICase(value, valueIgnoringCase))
            return true;
    }
    return false;
}

}
