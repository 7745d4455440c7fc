#pragma once

#include "edam/EDAMTypes_types.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The pieces of a note body in the service's note markup, and the data records of its resources.
// Every text inserted into the markup goes through SHKEscapeMarkup.
class EvernoteNoteMarkup {
public:
    // The XML declaration, the document type naming the markup's DTD at that address, and the
    // root's start tag, with nothing between them.
    static std::string header(std::string_view dtdAddress);
    static constexpr std::string_view trailer = "</en-note>";

    // The body, its length and its MD5 digest (16 bytes).
    static EDAMData dataObject(std::span<const uint8_t> bytes);
    // The element that shows a resource in the body, found by the digest of its data:
    // <en-media type="image/jpeg" height="480" width="640" hash="..."/>. The size is given only when
    // both sides are above 0.
    static std::string enMediaTag(const EDAMResource&, double width, double height);
};
