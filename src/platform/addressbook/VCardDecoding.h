#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ab {

// The encodings a vCard value may come in. Each decoder answers nothing for input it cannot
// decode, so that the reader can tell a broken card from an empty value.
class VCardDecoding {
public:
    // "=C3=89lodie" -> "Élodie"; a trailing "=" (a soft line break) is dropped.
    static std::optional<std::string> decodeQuotedPrintable(std::string_view);
    // Blanks and line breaks inside the text are allowed.
    static std::optional<std::vector<uint8_t>> decodeBase64(std::string_view);
    // "data:image/png;base64,iVBOR..." or a percent-encoded "data:,..." URI.
    static std::optional<std::vector<uint8_t>> decodeDataURI(std::string_view);
    // Converts text in the named character set to UTF-8; nothing for an unknown character set or
    // bytes that are not in it. UTF-8 input with malformed sequences gets U+FFFD in their place.
    static std::optional<std::string> convertToUTF8(std::string_view bytes, std::string_view charset);

    // Splits a structured value ("Smith;John;;;") at the semicolons that are not escaped; the
    // components keep their escapes.
    static std::vector<std::string> splitComponents(std::string_view);
    // "\\," -> ",", "\\;" -> ";", "\\n" -> line feed, "\\\\" -> "\\".
    static std::string unescapeText(std::string_view);
};

}
