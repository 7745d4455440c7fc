#include "sharing/core/SHKRequest.h"

#include "platform/foundation/Format.h"
#include "platform/foundation/URLRequest.h"
#include "platform/foundation/Unicode.h"

SHKRequest::SHKRequest(fnd::Ref<fnd::URL> url, std::optional<std::string> params, std::string method)
    : m_url(std::move(url))
    , m_params(std::move(params))
    , m_method(std::move(method))
    , m_data(fnd::Data::createMutable())
{
}

SHKRequest::~SHKRequest() = default;

void SHKRequest::start()
{
    m_data = fnd::Data::createMutable();
    fnd::URLRequest request(m_url, fnd::URLRequest::CachePolicy::ReloadIgnoringLocalAndRemoteCacheData, timeoutInterval);
    if (m_headerFields)
        request.setAllHTTPHeaderFields(*m_headerFields);
    if (m_params) {
        request.setHTTPMethod(m_method);
        request.setHTTPBody(fnd::Data::create(std::string_view(*m_params)));
    }
    m_connection = fnd::URLConnection::create(request, shared_from_this());
    // Without an address nothing would ever call back: the request ends here.
    if (!m_connection)
        finish();
}

void SHKRequest::didReceiveResponse(fnd::URLConnection&, const fnd::Ref<fnd::HTTPURLResponse>& response)
{
    m_response = response;
    m_headers = response ? response->allHeaderFields() : fnd::HTTPHeaderFields();
    m_data = fnd::Data::createMutable();
}

void SHKRequest::didReceiveData(fnd::URLConnection&, const fnd::Ref<fnd::Data>& data)
{
    if (data)
        m_data->append(data->span());
}

void SHKRequest::didFinishLoading(fnd::URLConnection&)
{
    finish();
}

void SHKRequest::didFailWithError(fnd::URLConnection&, const fnd::Ref<fnd::Error>&)
{
    finish();
}

void SHKRequest::finish()
{
    auto protect = shared_from_this();
    int status = m_response ? m_response->statusCode() : 0;
    m_success = status == 200 || status == 201;
    // Let go of the delegate even when it throws, so that it is never kept for ever.
    auto delegate = std::move(m_delegate);
    auto isFinished = std::move(m_isFinished);
    m_delegate = nullptr;
    if (delegate && isFinished)
        isFinished(delegate.get(), *this);
}

std::optional<std::string> SHKRequest::getResult()
{
    if (!m_result && fnd::unicode::isValidUTF8(m_data->asStringView()))
        m_result = std::string(m_data->asStringView());
    return m_result;
}

std::string SHKRequest::description() const
{
    int status = m_response ? m_response->statusCode() : 0;
    auto body = m_data->asStringView();
    auto params = m_params ? fnd::FormatArgument(std::string_view(*m_params)) : fnd::FormatArgument();
    auto url = m_url ? fnd::FormatArgument(std::string_view(m_url->absoluteString())) : fnd::FormatArgument();
    auto text = fnd::unicode::isValidUTF8(body) ? fnd::FormatArgument(body) : fnd::FormatArgument();
    return fnd::format("method: %@\nurl: %@\nparams: %@\nresponse: %i (%@)\ndata: %@", m_method, url, params, status,
        fnd::HTTPURLResponse::statusCodePhrase(status), text);
}
