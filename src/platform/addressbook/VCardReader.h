#pragma once

#include "platform/addressbook/PersonDetails.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ab {

// Reads the people of a vCard file (versions 2.1, 3.0 and 4.0): N, FN, ORG, TEL with its types or
// a custom X-ABLabel, and PHOTO as base64 or a data URI. Handles folded lines, quoted-printable
// values, character sets and escaped commas and semicolons.
//
// A malformed card is skipped with one log line; the cards around it are kept.
class VCardReader {
public:
    struct Card {
        // 1-based position of the card in the file, skipped cards included, so that mending a
        // broken card does not renumber the ones after it.
        int32_t ordinal;
        // The card's own identifier (UID), kept by the programs that edit it.
        std::optional<std::string> uid;
        PersonDetails details;
    };

    // `sourceName` names the file in log lines.
    static std::vector<Card> read(std::string_view text, std::string_view sourceName);
};

}
