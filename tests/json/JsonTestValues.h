#pragma once

#include "platform/foundation/Object.h"

#include <string>

namespace brenzo::testing {

// The value with its kinds made visible: mutable containers as {..} and [..], immutable ones
// prefixed "const", mutable strings quoted and immutable ones prefixed "const", decimals as their
// text, other numbers as num(..), booleans as true/false, the null object as null, nil as nil.
// Control bytes in strings show as \xNN.
std::string typedText(const fnd::Id&);

// Equal values of equal kinds: decimals by their exact text, booleans never equal to numbers.
bool sameValue(const fnd::Id&, const fnd::Id&);

// Nested arrays: "[[[...]]]" of the given depth.
std::string nestedArrays(size_t depth);

}
