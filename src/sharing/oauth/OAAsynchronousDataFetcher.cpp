#include "sharing/oauth/OAAsynchronousDataFetcher.h"

#include "platform/foundation/URLConnection.h"
#include "sharing/oauth/OAMutableURLRequest.h"

std::shared_ptr<OAAsynchronousDataFetcher> OAAsynchronousDataFetcher::asynchronousFetcherWithRequest(std::shared_ptr<OAMutableURLRequest> request,
    FinishHandler didFinish, FailHandler didFail)
{
    return std::make_shared<OAAsynchronousDataFetcher>(std::move(request), std::move(didFinish), std::move(didFail));
}

OAAsynchronousDataFetcher::OAAsynchronousDataFetcher(std::shared_ptr<OAMutableURLRequest> request, FinishHandler didFinish, FailHandler didFail)
    : m_request(std::move(request))
    , m_didFinish(std::move(didFinish))
    , m_didFail(std::move(didFail))
{
}

OAAsynchronousDataFetcher::~OAAsynchronousDataFetcher() = default;

void OAAsynchronousDataFetcher::start()
{
    m_request->prepare();
    if (auto earlier = std::exchange(m_connection, nullptr))
        earlier->cancel();

    m_connection = fnd::URLConnection::create(*m_request, shared_from_this());
    if (!m_connection) {
        reportFailure(nullptr);
        return;
    }
    m_responseData = fnd::Data::createMutable();
}

void OAAsynchronousDataFetcher::cancel()
{
    if (auto connection = std::exchange(m_connection, nullptr))
        connection->cancel();
    releaseDelegate();
}

void OAAsynchronousDataFetcher::didReceiveResponse(fnd::URLConnection&, const fnd::Ref<fnd::HTTPURLResponse>& response)
{
    m_response = response;
    m_responseData = fnd::Data::createMutable();
}

void OAAsynchronousDataFetcher::didReceiveData(fnd::URLConnection&, const fnd::Ref<fnd::Data>& data)
{
    if (m_responseData && data)
        m_responseData->append(data->span());
}

void OAAsynchronousDataFetcher::didFinishLoading(fnd::URLConnection&)
{
    m_connection = nullptr;
    reportFinish();
}

void OAAsynchronousDataFetcher::didFailWithError(fnd::URLConnection&, const fnd::Ref<fnd::Error>& error)
{
    m_connection = nullptr;
    reportFailure(error);
}

void OAAsynchronousDataFetcher::reportFinish()
{
    auto protectedThis = shared_from_this();
    auto handler = std::exchange(m_didFinish, nullptr);
    bool didSucceed = m_response && m_response->statusCode() < 400;
    OAServiceTicket ticket(m_request, m_response, m_responseData, didSucceed);
    releaseDelegate();
    if (handler)
        handler(ticket, m_responseData);
}

void OAAsynchronousDataFetcher::reportFailure(const fnd::Ref<fnd::Error>& error)
{
    auto protectedThis = shared_from_this();
    auto handler = std::exchange(m_didFail, nullptr);
    OAServiceTicket ticket(m_request, m_response, m_responseData, false);
    releaseDelegate();
    if (handler)
        handler(ticket, error);
}

void OAAsynchronousDataFetcher::releaseDelegate()
{
    m_didFinish = nullptr;
    m_didFail = nullptr;
}
