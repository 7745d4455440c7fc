#pragma once

#include "platform/messaging/MailComposeViewController.h"

// The mail composer the sharers show through the sharing helper: when it disappears with nothing
// presented over it, it tells the helper that its screen has gone, as every sharing screen does.
class SHKMailComposeViewController : public msg::MailComposeViewController {
public:
    // Nothing when the device cannot send mail.
    static std::shared_ptr<SHKMailComposeViewController> create();

    std::string_view className() const override { return "SHKMailComposeViewController"; }
    void viewDidDisappear(bool animated) override;
};
