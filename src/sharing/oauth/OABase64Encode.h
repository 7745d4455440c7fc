#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// Writes the standard Base64 text (RFC 4648 alphabet, "=" padding) of the input into the output
// buffer, with CR LF after every 72 characters (18 groups), the last line's break only when it is
// full. `capacity` is the buffer's size on the way in and the text's length on the way out; a
// buffer too small for the whole text fails and nothing is written. The text is not terminated.
bool OABase64Encode(std::span<const uint8_t> input, char* output, size_t& capacity);
