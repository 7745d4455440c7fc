#pragma once

#include "sharing/core/SHKSharer.h"

#include <string>
#include <string_view>

// Puts the item's link, text or picture on the general pasteboard and says "Copied!".
class SHKCopy : public SHKSharer {
public:
    static constexpr std::string_view sharerClassName = "SHKCopy";

    static std::string sharerTitle();
    static bool canShareText() { return true; }
    static bool canShareURL() { return true; }
    static bool canShareImage() { return true; }
    static bool shareRequiresInternetConnection() { return false; }
    static bool requiresAuthentication() { return false; }

    bool shouldAutoShare() override { return true; }
    // Copies what the item's type holds (a file item copies nothing) and reports it done.
    bool send() override;
    void placeImageOnPasteboard();
};
