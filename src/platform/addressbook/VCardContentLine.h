#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ab {

// One unfolded line of a vCard: [group "."] name *(";" parameter) ":" value.
// Names are kept upper-cased; parameter lists ("TYPE=WORK,VOICE", "TYPE=\"work,voice\"") are split
// into one value each.
// Old-style bare parameters ("TEL;CELL:", "N;QUOTED-PRINTABLE:") count as TYPE or ENCODING.
class VCardContentLine {
public:
    // Nothing when the line has no name or no ":" after it.
    static std::optional<VCardContentLine> parse(std::string_view line);

    const std::string& group() const { return m_group; }
    const std::string& name() const { return m_name; }
    const std::string& value() const { return m_value; }

    // The values of a parameter, as written (quotes removed), in order.
    std::vector<std::string> parameterValues(std::string_view upperCaseName) const;
    std::optional<std::string> firstParameterValue(std::string_view upperCaseName) const;
    bool hasParameterValue(std::string_view upperCaseName, std::string_view valueIgnoringCase) const;

private:
    std::string m_group;
    std::string m_name;
    std::vector<std::pair<std::string, std::string>> m_parameters;
    std::string m_value;
};

}
