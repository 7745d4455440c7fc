#pragma once

#include "platform/foundation/URL.h"

#include <string>

// The address as a person reads it in a message: the URL's absolute string with its percent
// escapes removed (UTF-8). An address whose escapes cannot be removed (a malformed escape, bytes
// that are not UTF-8) is used as it stands.
std::string SHKURLTextWithoutEscapes(const fnd::URL&);
