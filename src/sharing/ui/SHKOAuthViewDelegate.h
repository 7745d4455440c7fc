#pragma once

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Error.h"
#include "platform/foundation/URL.h"

class SHKOAuthView;

// What an OAuth web view asks and tells the sharer it authorises for.
class SHKOAuthViewDelegate {
public:
    virtual ~SHKOAuthViewDelegate();

    // The address the service redirects to once the user has authorised; nil watches for nothing.
    virtual fnd::Ref<fnd::URL> authorizeCallbackURL() const = 0;
    // Success carries the callback's query parameters (nil when it had no query), failure the error.
    virtual void tokenAuthorizeViewDidFinishWithSuccessQueryParamsError(SHKOAuthView&, bool success,
        const fnd::Ref<fnd::Dictionary>& queryParams, const fnd::Ref<fnd::Error>&) = 0;
    virtual void tokenAuthorizeCancelledView(SHKOAuthView&) = 0;
};
