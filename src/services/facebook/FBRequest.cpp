#include "services/facebook/FBRequest.h"

#include "json/JsonCodec.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Format.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/PercentEscaping.h"
#include "platform/foundation/String.h"
#include "platform/foundation/URLConnection.h"
#include "platform/foundation/URLConnectionDelegate.h"
#include "platform/graphics/Image.h"

namespace {

constexpr std::string_view stateKey = "state";
constexpr std::string_view crlf = "\r\n";

// Carries the connection's reports to the request without keeping the request alive: a request
// that goes away cancels its connection.
class FBRequestConnection final : public fnd::URLConnectionDelegate {
public:
    explicit FBRequestConnection(std::weak_ptr<FBRequest> request)
        : m_request(std::move(request))
    {
    }

    void didReceiveResponse(fnd::URLConnection&, const fnd::Ref<fnd::HTTPURLResponse>& response) override
    {
        if (auto request = m_request.lock())
            request->didReceiveResponse(response);
    }
    void didReceiveData(fnd::URLConnection&, const fnd::Ref<fnd::Data>& data) override
    {
        if (auto request = m_request.lock(); request && data)
            request->didReceiveData(*data);
    }
    void didFinishLoading(fnd::URLConnection&) override
    {
        if (auto request = m_request.lock())
            request->didFinishLoading();
    }
    void didFailWithError(fnd::URLConnection&, const fnd::Ref<fnd::Error>& error) override
    {
        if (auto request = m_request.lock())
            request->didFailLoading(error);
    }

private:
    std::weak_ptr<FBRequest> m_request;
};

bool isFileValue(const fnd::Id& value)
{
    return fnd::is<gfx::Image>(value) || fnd::is<fnd::Data>(value);
}

std::string textOf(const fnd::Id& value)
{
    if (auto string = fnd::as<fnd::String>(value))
        return string->utf8();
    return fnd::descriptionOf(value);
}

std::optional<int64_t> integerOf(const fnd::Id& value)
{
    if (auto number = fnd::as<fnd::Number>(value))
        return number->longLongValue();
    if (auto string = fnd::as<fnd::String>(value))
        return string->longLongValue();
    return std::nullopt;
}

fnd::Ref<fnd::Dictionary> errorMessage(std::string_view message)
{
    return fnd::Dictionary::create({ { fnd::String::create("error_msg"), fnd::String::create(message) } });
}

}

std::shared_ptr<FBRequest> FBRequest::getRequestWithParams(fnd::Ref<fnd::MutableDictionary> params, std::string httpMethod,
    std::weak_ptr<FBRequestDelegate> delegate, std::string requestURL)
{
    return std::make_shared<FBRequest>(std::move(params), std::move(httpMethod), std::move(delegate), std::move(requestURL));
}

FBRequest::FBRequest(fnd::Ref<fnd::MutableDictionary> params, std::string httpMethod, std::weak_ptr<FBRequestDelegate> delegate, std::string requestURL)
    : m_delegate(std::move(delegate))
    , m_url(std::move(requestURL))
    , m_httpMethod(std::move(httpMethod))
    , m_params(params ? std::move(params) : fnd::MutableDictionary::create())
{
}

FBRequest::~FBRequest()
{
    if (m_connection)
        m_connection->cancel();
}

std::string FBRequest::escapeValue(std::string_view value)
{
    return fnd::PercentEscaping::addingPercentEscapes(value, "", "!*'();:@&=+$,/?%#[]");
}

std::string FBRequest::serializeURL(std::string_view baseURL, const fnd::Ref<fnd::Dictionary>& params, std::string_view httpMethod)
{
    auto base = fnd::URL::create(baseURL);
    std::string separator = base && base->query() ? "&" : "?";
    std::string pairs;
    if (params) {
        params->forEachEntry([&](const fnd::Id& key, const fnd::Id& value, bool&) {
            if (isFileValue(value)) {
                if (httpMethod == "GET")
                    fnd::Log::write("can not use GET to upload a file");
                return;
            }
            if (!pairs.empty())
                pairs += '&';
            pairs += textOf(key) + "=" + escapeValue(textOf(value));
        });
    }
    return std::string(baseURL) + separator + pairs;
}

fnd::Ref<fnd::Data> FBRequest::generatePostBody() const
{
    auto body = fnd::Data::createMutable();
    std::vector<std::string> textParts;
    std::vector<std::pair<std::string, fnd::Id>> fileParts;
    m_params->forEachEntry([&](const fnd::Id& key, const fnd::Id& value, bool&) {
        if (isFileValue(value))
            fileParts.emplace_back(textOf(key), value);
        else
            textParts.push_back("Content-Disposition: form-data; name=\"" + textOf(key) + "\"\r\n\r\n" + textOf(value));
    });

    std::string delimiter = std::string(crlf) + "--" + std::string(boundary) + std::string(crlf);
    std::string closingDelimiter = std::string(crlf) + "--" + std::string(boundary) + "--" + std::string(crlf);
    size_t partCount = textParts.size() + fileParts.size();
    size_t written = 0;
    auto endPart = [&] { body->append(++written == partCount ? closingDelimiter : delimiter); };

    body->append("--" + std::string(boundary) + std::string(crlf));
    for (auto& part : textParts) {
        body->append(part);
        endPart();
    }
    for (auto& [name, value] : fileParts) {
        body->append("Content-Disposition: form-data; filename=\"" + name + "\"\r\n");
        if (auto image = fnd::as<gfx::Image>(value)) {
            body->append(std::string_view("Content-Type: image/png\r\n\r\n"));
            if (auto png = image->pngRepresentation())
                body->append(png->span());
        } else {
            body->append(std::string_view("Content-Type: content/unknown\r\n\r\n"));
            body->append(fnd::as<fnd::Data>(value)->span());
        }
        endPart();
    }
    // Without any part the opening delimiter would be left dangling: close the body all the same.
    if (!partCount)
        body->append(closingDelimiter);
    return body;
}

void FBRequest::connect()
{
    auto protect = shared_from_this();
    if (auto delegate = this->delegate())
        delegate->requestLoading(*this);

    auto address = fnd::URL::create(serializeURL(m_url, m_params, m_httpMethod));
    fnd::URLRequest request(address, fnd::URLRequest::CachePolicy::ReloadIgnoringLocalCacheData, timeoutInterval);
    request.setValueForHTTPHeaderField(userAgent, "User-Agent");
    request.setHTTPMethod(m_httpMethod);
    if (m_httpMethod == "POST") {
        request.setValueForHTTPHeaderField("multipart/form-data; boundary=" + std::string(boundary), "Content-Type");
        request.setHTTPBody(generatePostBody());
    }
    m_connection = fnd::URLConnection::create(request, std::make_shared<FBRequestConnection>(weak_from_this()));
    if (!m_connection) {
        failWithError(fnd::Error::withDescription(std::string(errorDomain), genericErrorCode, "Bad request address"));
        return;
    }
    setState(StateLoading);
}

void FBRequest::didReceiveResponse(const fnd::Ref<fnd::HTTPURLResponse>& response)
{
    m_responseText = fnd::Data::createMutable();
    m_statusCode = response ? response->statusCode() : 0;
    if (auto delegate = this->delegate())
        delegate->requestDidReceiveResponse(*this, response);
}

void FBRequest::didReceiveData(const fnd::Data& data)
{
    if (!m_responseText)
        m_responseText = fnd::Data::createMutable();
    m_responseText->append(data.span());
}

void FBRequest::didFinishLoading()
{
    auto protect = shared_from_this();
    auto reply = m_responseText ? m_responseText : fnd::Data::create();
    handleResponseData(reply);
    m_responseText = nullptr;
    m_connection = nullptr;
    if (m_state != StateError)
        setState(StateComplete);
}

void FBRequest::didFailLoading(const fnd::Ref<fnd::Error>& error)
{
    auto protect = shared_from_this();
    m_responseText = nullptr;
    m_connection = nullptr;
    failWithError(error);
}

void FBRequest::failWithError(const fnd::Ref<fnd::Error>& error)
{
    if (auto delegate = this->delegate())
        delegate->requestDidFailWithError(*this, error);
    setState(StateError);
}

void FBRequest::handleResponseData(const fnd::Ref<fnd::Data>& data)
{
    if (auto delegate = this->delegate())
        delegate->requestDidLoadRawResponse(*this, data);

    fnd::Ref<fnd::Error> error;
    auto result = parseJsonResponse(*data, &error);
    // An error page that is not one of the service's JSON errors is still a failure.
    if (!error && m_statusCode >= 400)
        error = fnd::Error::withDescription(std::string(errorDomain), m_statusCode, fnd::format("The server answered with status %d", m_statusCode));
    m_error = error;

    auto delegate = this->delegate();
    if (!delegate || !delegate->wantsResult())
        return;
    if (error)
        failWithError(error);
    else
        delegate->requestDidLoad(*this, result ? result : fnd::Id(data));
}

fnd::Ref<fnd::Error> FBRequest::formError(int64_t code, fnd::Ref<fnd::Dictionary> userInfo)
{
    return fnd::Error::create(std::string(errorDomain), code, std::move(userInfo));
}

fnd::Id FBRequest::parseJsonResponse(const fnd::Data& data, fnd::Ref<fnd::Error>* error)
{
    auto text = data.asStringView();
    if (text == "true")
        return fnd::Dictionary::create({ { fnd::String::create("result"), fnd::String::create("true") } });
    if (text == "false") {
        if (error)
            *error = formError(genericErrorCode, errorMessage("This operation can not be completed"));
        return nullptr;
    }

    JsonCodec codec;
    auto result = codec.objectWithString(fnd::String::create(text));
    if (fnd::is<fnd::Array>(result))
        return result;
    auto dictionary = fnd::as<fnd::Dictionary>(result);
    if (!dictionary)
        return result;
    if (dictionary->objectForKey("error")) {
        if (error)
            *error = formError(genericErrorCode, dictionary);
        return nullptr;
    }
    if (auto code = dictionary->objectForKey("error_code")) {
        if (error)
            *error = formError(integerOf(code).value_or(genericErrorCode), dictionary);
        return nullptr;
    }
    if (error && (dictionary->objectForKey("error_msg") || dictionary->objectForKey("error_reason")))
        *error = formError(genericErrorCode, dictionary);
    return result;
}

void FBRequest::setState(State state)
{
    willChangeValueForKey(stateKey);
    m_state = state;
    didChangeValueForKey(stateKey);
}
