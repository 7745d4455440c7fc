#pragma once

#include "platform/foundation/URL.h"

// Deletes every cookie the shared cookie store holds for the URL's host (and the domains above it),
// so that a web login of a service starts afresh.
void SHKDeleteCookiesForURL(const fnd::URL&);
