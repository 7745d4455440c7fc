#pragma once

#include "sharing/core/SHKSharer.h"

#include <string>
#include <string_view>

// Opens the item's link in the browser.
class SHKSafari : public SHKSharer {
public:
    static constexpr std::string_view sharerClassName = "SHKSafari";

    static std::string sharerTitle();
    static bool canShareURL() { return true; }
    static bool shareRequiresInternetConnection() { return false; }
    static bool requiresAuthentication() { return false; }

    bool shouldAutoShare() override { return true; }
    // Reports finished when the system opened the link, failed otherwise (no link, or refused).
    bool send() override;
};
