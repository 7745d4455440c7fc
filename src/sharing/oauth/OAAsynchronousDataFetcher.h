#pragma once

#include "platform/foundation/URLConnectionDelegate.h"
#include "sharing/oauth/OAServiceTicket.h"

#include <functional>
#include <memory>

class OAMutableURLRequest;

namespace fnd {
class URLConnection;
}

// Signs a request, sends it and reports once, on the main run loop: a reply of any status goes to
// the finish handler (the ticket says whether the status was below 400, and the body is there for
// the service's error text), a transport failure to the fail handler. Single use; the caller need
// not keep it, the running load does. What the handlers capture (the delegate) is held until one
// of them has run, or until cancel(), after which neither runs.
class OAAsynchronousDataFetcher final : public fnd::URLConnectionDelegate, public std::enable_shared_from_this<OAAsynchronousDataFetcher> {
public:
    using FinishHandler = OAFetchFinishHandler;
    using FailHandler = OAFetchFailHandler;

    static std::shared_ptr<OAAsynchronousDataFetcher> asynchronousFetcherWithRequest(std::shared_ptr<OAMutableURLRequest>,
        FinishHandler didFinish, FailHandler didFail);

    // The delegate's operations, the delegate held until one has run.
    template<typename Delegate>
    static std::shared_ptr<OAAsynchronousDataFetcher> asynchronousFetcherWithRequest(std::shared_ptr<OAMutableURLRequest> request,
        std::shared_ptr<Delegate> delegate, void (Delegate::*didFinish)(OAServiceTicket&, const fnd::Ref<fnd::Data>&),
        void (Delegate::*didFail)(OAServiceTicket&, const fnd::Ref<fnd::Error>&))
    {
        return asynchronousFetcherWithRequest(
            std::move(request),
            [delegate, didFinish](OAServiceTicket& ticket, const fnd::Ref<fnd::Data>& data) { ((*delegate).*didFinish)(ticket, data); },
            [delegate, didFail](OAServiceTicket& ticket, const fnd::Ref<fnd::Error>& error) { ((*delegate).*didFail)(ticket, error); });
    }

    OAAsynchronousDataFetcher(std::shared_ptr<OAMutableURLRequest>, FinishHandler, FailHandler);
    ~OAAsynchronousDataFetcher() override;

    // Signs the request (once) and starts loading it. Without a connection (no address) the fail
    // handler runs at once, with no error.
    void start();
    // Stops the load; no handler runs after it.
    void cancel();

    const std::shared_ptr<OAMutableURLRequest>& request() const { return m_request; }

    void didReceiveResponse(fnd::URLConnection&, const fnd::Ref<fnd::HTTPURLResponse>&) override;
    void didReceiveData(fnd::URLConnection&, const fnd::Ref<fnd::Data>&) override;
    void didFinishLoading(fnd::URLConnection&) override;
    void didFailWithError(fnd::URLConnection&, const fnd::Ref<fnd::Error>&) override;

private:
    void reportFinish();
    void reportFailure(const fnd::Ref<fnd::Error>&);
    void releaseDelegate();

    std::shared_ptr<OAMutableURLRequest> m_request;
    fnd::Ref<fnd::HTTPURLResponse> m_response;
    std::shared_ptr<fnd::URLConnection> m_connection;
    fnd::Ref<fnd::Data> m_responseData;
    FinishHandler m_didFinish;
    FailHandler m_didFail;
};
