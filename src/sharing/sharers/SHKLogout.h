#pragma once

#include "sharing/core/SHKSharer.h"

#include <string>
#include <string_view>

// Logs out of every offered service, whatever the item, and says "Logged Out!".
class SHKLogout : public SHKSharer {
public:
    static constexpr std::string_view sharerClassName = "SHKLogout";

    static std::string sharerTitle();
    static bool canShareText() { return true; }
    static bool canShareURL() { return true; }
    static bool canShareImage() { return true; }
    static bool canShareFile() { return true; }
    static bool shareRequiresInternetConnection() { return false; }
    static bool requiresAuthentication() { return false; }

    bool shouldAutoShare() override { return true; }
    bool send() override;
};
