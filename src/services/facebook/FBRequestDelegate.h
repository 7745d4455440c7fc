#pragma once

#include "platform/foundation/Data.h"
#include "platform/foundation/Error.h"
#include "platform/foundation/HTTPURLResponse.h"

class FBRequest;

// What a Facebook request tells the one who asked; every operation is optional.
class FBRequestDelegate {
public:
    virtual ~FBRequestDelegate() = default;

    virtual void requestLoading(FBRequest&) { }
    virtual void requestDidReceiveResponse(FBRequest&, const fnd::Ref<fnd::HTTPURLResponse>&) { }
    virtual void requestDidFailWithError(FBRequest&, const fnd::Ref<fnd::Error>&) { }
    // The decoded reply, or its raw bytes (fnd::Data) when it is not JSON.
    virtual void requestDidLoad(FBRequest&, const fnd::Id&) { }
    virtual void requestDidLoadRawResponse(FBRequest&, const fnd::Ref<fnd::Data>&) { }

    // False for a delegate that wants neither the result nor the failure: the reply is then only
    // handed over raw.
    virtual bool wantsResult() const { return true; }
};
