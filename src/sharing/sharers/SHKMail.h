#pragma once

#include "platform/messaging/MailComposeDelegate.h"
#include "sharing/core/SHKSharer.h"

#include <optional>
#include <string>
#include <string_view>

// Shares anything by mail: the platform's mail composer, shown through the sharing helper, with
// the item's title as subject, an HTML body made of the item's text and link (and a signature when
// configured), and the item's file or picture attached. The sharer holds itself until the
// composer's result.
class SHKMail : public SHKSharer, public msg::MailComposeDelegate {
public:
    static constexpr std::string_view sharerClassName = "SHKMail";
    // The item's custom values: the prepared body (kept so that a second attempt reuses it) and
    // the JPEG quality of a mailed picture, a decimal number from 0 to 1.
    static constexpr std::string_view bodyKey = "body";
    static constexpr std::string_view jpgQualityKey = "jpgQuality";
    static constexpr std::string_view imageAttachmentName = "Image.jpg";
    static constexpr std::string_view imageAttachmentType = "image/jpeg";

    static std::string sharerTitle();
    static bool canShareText() { return true; }
    static bool canShareURL() { return true; }
    static bool canShareImage() { return true; }
    static bool canShareFile() { return true; }
    static bool shareRequiresInternetConnection() { return false; }
    static bool requiresAuthentication() { return false; }
    // Whether the device can send mail.
    static bool canShare();

    bool shouldAutoShare() override { return true; }
    bool send() override;
    // Shows the composer. A device that cannot compose mail reports a failure.
    bool sendMail();

    void didFinishWithResult(msg::MailComposeViewController&, msg::MailComposeResult, const fnd::Ref<fnd::Error>&) override;

    // The body for the item, as HTML: its text, its link, the name of its attachment, each a
    // paragraph apart, then the signature when "sharedWithSignature" is on.
    static std::string bodyForItem(const SHKItem&);
    // The quality in "jpgQuality": 1.0 when absent or not a number, clamped to 0...1.
    static double jpegQualityFromText(const std::optional<std::string>&);
};
