#pragma once

#include "platform/foundation/Error.h"
#include "platform/foundation/URL.h"

class FBDialog;

// How a web dialog ended; every operation is optional.
class FBDialogDelegate {
public:
    virtual ~FBDialogDelegate() = default;

    virtual void dialogDidComplete(FBDialog&) { }
    virtual void dialogCompleteWithUrl(const fnd::Ref<fnd::URL>&) { }
    virtual void dialogDidNotCompleteWithUrl(const fnd::Ref<fnd::URL>&) { }
    virtual void dialogDidNotComplete(FBDialog&) { }
    virtual void dialogDidFailWithError(FBDialog&, const fnd::Ref<fnd::Error>&) { }
    // Whether a link the user taps inside the dialog opens in the browser instead.
    virtual bool dialogShouldOpenURLInExternalBrowser(FBDialog&, const fnd::Ref<fnd::URL>&) { return true; }
};
