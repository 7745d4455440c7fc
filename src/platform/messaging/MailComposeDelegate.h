#pragma once

#include "platform/foundation/Error.h"

namespace msg {

class MailComposeViewController;

// Numbered as the platform numbered them.
enum class MailComposeResult {
    Cancelled = 0,
    Saved = 1,
    Sent = 2,
    Failed = 3,
};

// Hears how a mail composer ended. The composer does not go away by itself: the delegate dismisses it.
class MailComposeDelegate {
public:
    virtual ~MailComposeDelegate();
    virtual void didFinishWithResult(MailComposeViewController&, MailComposeResult, const fnd::Ref<fnd::Error>&) = 0;
};

}
