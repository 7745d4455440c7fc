#pragma once

#include "platform/messaging/MessageComposeDelegate.h"
#include "sharing/core/SHKSharer.h"

#include <string>
#include <string_view>

// Shares a text or a link by text message: the platform's text-message composer, shown through the
// sharing helper, with a plain-text body of the item's text and link. The sharer holds itself until
// the composer's result.
class SHKTextMessage : public SHKSharer, public msg::MessageComposeDelegate {
public:
    static constexpr std::string_view sharerClassName = "SHKTextMessage";
    // The item's custom value holding the prepared body, kept so that a second attempt reuses it.
    static constexpr std::string_view bodyKey = "body";

    // Not localised.
    static std::string sharerTitle() { return "SMS"; }
    static bool canShareText() { return true; }
    static bool canShareURL() { return true; }
    static bool shareRequiresInternetConnection() { return false; }
    static bool requiresAuthentication() { return false; }
    // Whether the device can send text messages.
    static bool canShare();

    bool shouldAutoShare() override { return true; }
    bool send() override;
    // Shows the composer. A device that cannot compose text messages reports a failure.
    bool sendText();

    void didFinishWithResult(msg::MessageComposeViewController&, msg::MessageComposeResult) override;

    // The item's text, then its link, a blank line apart.
    static std::string bodyForItem(const SHKItem&);
};
