#pragma once

#include "platform/foundation/Format.h"

#include <string>
#include <string_view>

// The text for the key in "Sharing.bundle" of the application's resources (its "Localizable"
// table), or the key itself when the bundle or the key is missing. The bundle is opened once.
std::string SHKBundleString(std::string_view key);

// The localised text for the key, used as a format with the arguments. Text that comes from a
// service is always an argument, never the key.
template<typename... Arguments>
std::string SHKLocalizedText(std::string_view key, const Arguments&... arguments)
{
    return fnd::format(SHKBundleString(key), arguments...);
}

// Opens the bundle again at the next lookup (tests that replace the main bundle).
void SHKResetLocalizationBundleForTesting();
