#pragma once

#include "platform/foundation/URL.h"

#include <optional>
#include <string>
#include <string_view>

// A value for a form body or a query: "&amp;" becomes "&", then everything outside the standard
// set is percent-escaped, and "&", "+", "#", "!" and "@" as well. Nil gives "".
std::string SHKEscapeFormValue(std::optional<std::string_view> value);

// The URL's absolute string escaped for use as a parameter value: the standard set minus
// "!*'();:@&=+$,/?%#[]". Nil gives "".
std::string SHKEscapeURL(const fnd::Ref<fnd::URL>&);

// Text made safe inside XML or HTML markup, as element content or a quoted attribute value: "&",
// "<", ">" and '"' become character references.
std::string SHKEscapeMarkup(std::string_view text);

// HTML to plain text: every tag becomes one blank, line feeds go unless kept, and the ends are
// trimmed of white space.
std::string SHKStripHTMLTags(std::string_view html, bool keepLineFeeds);
