#pragma once

#include <string>

namespace brenzo::testing {

// Decodes the input with the fast decoder (strict options) and with RapidJSON (full precision, UTF-8
// checked) and answers how they disagree, or nothing. Where the decoder departs from RapidJSON by
// design (only arrays and objects at the top level, U+0000 and noncharacters refused, integers
// limited to 64 bits, doubles that underflow refused), the difference must be that one.
std::string disagreementWithRapidJSON(const std::string& input);

}
