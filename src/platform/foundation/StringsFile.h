#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>

namespace fnd {

// A table of localised texts: the "strings" format,
//     /* comment */
//     "key" = "value";
// with C escapes ("\n", "\"", "\\", "\U00E9"), "//" comments and unquoted words; UTF-8 or UTF-16 with
// a byte-order mark. A property list holding a dictionary of strings is read as well.
class StringsFile {
public:
    using Table = std::map<std::string, std::string, std::less<>>;

    // Nothing when the text is not a valid table; the error names the line.
    static std::optional<Table> parse(std::span<const uint8_t> bytes, std::string* error = nullptr);
};

}
