#pragma once

#include "platform/messaging/MessageComposeViewController.h"

// The text-message composer the sharers show through the sharing helper: when it disappears with
// nothing presented over it, it tells the helper that its screen has gone.
class SHKMessageComposeViewController : public msg::MessageComposeViewController {
public:
    // Nothing when the device cannot send text messages.
    static std::shared_ptr<SHKMessageComposeViewController> create();

    std::string_view className() const override { return "SHKMessageComposeViewController"; }
    void viewDidDisappear(bool animated) override;
};
