#pragma once

#include "platform/foundation/Error.h"

class SHKSharer;

// Hears how a share goes. Every sharer starts with one of these, whose behaviour is the default:
// "Saving to <title>" on the activity indicator when sending starts, "Saved!" when it finishes, and
// on a failure the indicator hidden and an "Error" alert, then the login again when the failure
// asks for it. A quiet sharer shows nothing; a sharer waiting to resume a share or a send after a
// new login shows no error alert.
class SHKSharerDelegate {
public:
    virtual ~SHKSharerDelegate();

    virtual void sharerStartedSending(SHKSharer&);
    virtual void sharerFinishedSending(SHKSharer&);
    virtual void sharerFailedWithErrorShouldRelogin(SHKSharer&, const fnd::Ref<fnd::Error>&, bool shouldRelogin);
    virtual void sharerCancelledSending(SHKSharer&);
    virtual void sharerAuthDidFinishSuccess(SHKSharer&, bool success);
};
