#include "sharing/oauth/OABase64Encode.h"

#include "platform/crypto/Base64.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace {

constexpr size_t groupsPerLine = 18;
constexpr size_t bytesPerLine = groupsPerLine * 3;
constexpr size_t charactersPerLine = groupsPerLine * 4;
constexpr std::string_view lineBreak = "\r\n";

size_t encodedLength(size_t length)
{
    size_t groups = (length + 2) / 3;
    return (groups % groupsPerLine) * 4 + (groups / groupsPerLine) * (charactersPerLine + lineBreak.size());
}

}

bool OABase64Encode(std::span<const uint8_t> input, char* output, size_t& capacity)
{
    size_t length = encodedLength(input.size());
    if (capacity < length || (length && !output))
        return false;
    capacity = length;

    char* cursor = output;
    for (size_t start = 0; start < input.size(); start += bytesPerLine) {
        auto line = input.subspan(start, std::min(bytesPerLine, input.size() - start));
        auto text = crypto::base64Encode(line);
        cursor = std::copy(text.begin(), text.end(), cursor);
        if (text.size() == charactersPerLine)
            cursor = std::copy(lineBreak.begin(), lineBreak.end(), cursor);
    }
    return true;
}
