#pragma once

#include "platform/foundation/URL.h"

#include <string>
#include <string_view>

// The OAuth percent-encoding: the text's UTF-8 bytes, every one escaped as "%XX" (upper-case hex)
// except A-Z, a-z, 0-9, "-", ".", "_" and "~".
std::string OAURLEncodedString(std::string_view);

// The text with every percent escape replaced, read as UTF-8. Text with a malformed escape, or
// whose escapes do not decode to UTF-8, is kept as it stands rather than lost.
std::string OAURLDecodedString(std::string_view);

// The address up to, not including, the first "?" (the whole address when there is none).
std::string OAURLStringWithoutQuery(const fnd::URL&);
