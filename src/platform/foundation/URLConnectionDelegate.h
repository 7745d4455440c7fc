#pragma once

#include "platform/foundation/Data.h"
#include "platform/foundation/Error.h"
#include "platform/foundation/HTTPURLResponse.h"
#include "platform/foundation/URLRequest.h"

#include <optional>

namespace fnd {

class URLConnection;

// Hears a connection's progress, always on the main run loop. Exactly one of didFinishLoading and
// didFailWithError ends a load that is not cancelled.
class URLConnectionDelegate {
public:
    virtual ~URLConnectionDelegate();

    // Offered each redirect before it is followed: answer the request to send (the proposed one by
    // default, or a changed one), or nothing to stop there; the redirect response then arrives as
    // the connection's response, with its body.
    virtual std::optional<URLRequest> willSendRequest(URLConnection&, const URLRequest& proposed, const Ref<HTTPURLResponse>& redirectResponse);
    // The final response; after a refused redirect, the redirect response.
    virtual void didReceiveResponse(URLConnection&, const Ref<HTTPURLResponse>&) { }
    virtual void didReceiveData(URLConnection&, const Ref<Data>&) { }
    virtual void didFinishLoading(URLConnection&) { }
    virtual void didFailWithError(URLConnection&, const Ref<Error>&) { }
};

}
