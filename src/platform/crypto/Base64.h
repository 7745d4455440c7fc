#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace crypto {

// Standard Base64 (RFC 4648 alphabet "A-Za-z0-9+/"), padded with "=", on one line.
std::string base64Encode(std::span<const uint8_t>);
std::string base64Encode(std::string_view);

// Decodes standard Base64; answers nothing for text that is not Base64. Lenient where no data is
// at stake: blanks, tabs and line breaks anywhere are skipped (line-wrapped Base64 decodes), the
// final "=" padding may be left out, and unused low bits of the last character are ignored.
// Refused: any other character, "=" anywhere but at the end, more padding than the last group
// needs, and a last group of a single character (it cannot carry a whole byte).
std::optional<std::vector<uint8_t>> base64Decode(std::string_view text);

}
