#include "sharing/oauth/OADataFetcher.h"

#include "platform/foundation/URLConnection.h"
#include "platform/foundation/URLError.h"
#include "sharing/oauth/OAMutableURLRequest.h"

void OADataFetcher::fetchDataWithRequest(std::shared_ptr<OAMutableURLRequest> request, const OAFetchFinishHandler& didFinish,
    const OAFetchFailHandler& didFail)
{
    m_request = std::move(request);
    m_response = nullptr;
    m_error = nullptr;
    m_responseData = nullptr;
    if (!m_request || !m_request->url()) {
        m_error = fnd::URLError::create(fnd::URLError::BadURL);
    } else {
        m_request->prepare();
        m_responseData = fnd::URLConnection::sendSynchronousRequest(*m_request, &m_response, &m_error);
    }

    if (m_response && m_responseData && !m_error) {
        OAServiceTicket ticket(m_request, m_response, m_responseData, m_response->statusCode() < 400);
        if (didFinish)
            didFinish(ticket, m_responseData);
        return;
    }
    OAServiceTicket ticket(m_request, m_response, m_responseData, false);
    if (didFail)
        didFail(ticket, m_error);
}
