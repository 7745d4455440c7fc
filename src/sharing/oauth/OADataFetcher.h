#pragma once

#include "platform/foundation/Error.h"
#include "sharing/oauth/OAServiceTicket.h"

#include <memory>

class OAMutableURLRequest;

// The synchronous twin of OAAsynchronousDataFetcher: signs the request, sends it and blocks the
// calling thread until the reply or the failure, then calls exactly one handler on that thread. A
// reply of any status goes to the finish handler (the ticket says whether the status was below
// 400); a transport failure, or a request without an address, to the fail handler. Nothing is
// kept beyond the call except what the last fetch left in the accessors.
class OADataFetcher {
public:
    void fetchDataWithRequest(std::shared_ptr<OAMutableURLRequest>, const OAFetchFinishHandler& didFinish, const OAFetchFailHandler& didFail);

    // The delegate's operations; the delegate is only used during the call.
    template<typename Delegate>
    void fetchDataWithRequest(std::shared_ptr<OAMutableURLRequest> request, Delegate& delegate,
        void (Delegate::*didFinish)(OAServiceTicket&, const fnd::Ref<fnd::Data>&), void (Delegate::*didFail)(OAServiceTicket&, const fnd::Ref<fnd::Error>&))
    {
        fetchDataWithRequest(
            std::move(request),
            [&delegate, didFinish](OAServiceTicket& ticket, const fnd::Ref<fnd::Data>& data) { (delegate.*didFinish)(ticket, data); },
            [&delegate, didFail](OAServiceTicket& ticket, const fnd::Ref<fnd::Error>& error) { (delegate.*didFail)(ticket, error); });
    }

    // What the last fetch sent and received.
    const std::shared_ptr<OAMutableURLRequest>& request() const { return m_request; }
    const fnd::Ref<fnd::HTTPURLResponse>& response() const { return m_response; }
    const fnd::Ref<fnd::Error>& error() const { return m_error; }
    const fnd::Ref<fnd::Data>& responseData() const { return m_responseData; }

private:
    std::shared_ptr<OAMutableURLRequest> m_request;
    fnd::Ref<fnd::HTTPURLResponse> m_response;
    fnd::Ref<fnd::Error> m_error;
    fnd::Ref<fnd::Data> m_responseData;
};
