#pragma once

#include "platform/foundation/Object.h"

namespace fnd {

// How a value is written inside an array's or a dictionary's description: nested collections
// indented four blanks a level, strings quoted when they hold more than letters and digits.
std::string describeInCollection(const Id&, unsigned level);
std::string indentationForLevel(unsigned level);

}
