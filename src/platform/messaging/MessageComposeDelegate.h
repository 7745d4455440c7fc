#pragma once

namespace msg {

class MessageComposeViewController;

// Numbered as the platform numbered them.
enum class MessageComposeResult {
    Cancelled = 0,
    Sent = 1,
    Failed = 2,
};

// Hears how a text-message composer ended. The composer does not go away by itself: the delegate
// dismisses it.
class MessageComposeDelegate {
public:
    virtual ~MessageComposeDelegate();
    virtual void didFinishWithResult(MessageComposeViewController&, MessageComposeResult) = 0;
};

}
