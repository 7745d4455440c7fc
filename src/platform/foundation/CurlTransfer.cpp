#include "platform/foundation/CurlTransfer.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/CurlLibrary.h"
#include "platform/foundation/HTTPCookieStorage.h"
#include "platform/foundation/String.h"
#include "platform/foundation/URLError.h"
#include "platform/foundation/Unicode.h"

#include <charconv>
#include <mutex>

namespace fnd {

namespace {

const CurlLibrary& curl()
{
    return CurlLibrary::shared();
}

// A refused redirect hands its body on; anything bigger than this is cut.
constexpr size_t maximumRedirectBody = 1 << 20;

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}

std::string headerText(std::string_view text)
{
    return unicode::isValidUTF8(text) ? std::string(text) : unicode::sanitizedUTF8(text);
}

const std::string& defaultUserAgent()
{
    static const std::string agent = [] {
        auto bundle = Bundle::main();
        auto name = bundle->infoDictionary()->stringForKey("CFBundleName").value_or("Brenzo");
        auto version = bundle->infoDictionary()->stringForKey("CFBundleVersion").value_or("1.0");
        return name + "/" + version;
    }();
    return agent;
}

int64_t urlErrorCode(CURLcode result)
{
    switch (result) {
    case CURLE_UNSUPPORTED_PROTOCOL:
        return URLError::UnsupportedURL;
    case CURLE_URL_MALFORMAT:
        return URLError::BadURL;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return URLError::CannotFindHost;
    case CURLE_COULDNT_CONNECT:
        return URLError::CannotConnectToHost;
    case CURLE_OPERATION_TIMEDOUT:
        return URLError::TimedOut;
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_PARTIAL_FILE:
        return URLError::NetworkConnectionLost;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
        return URLError::ServerCertificateUntrusted;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_CIPHER:
    case CURLE_USE_SSL_FAILED:
    case CURLE_SSL_CACERT_BADFILE:
        return URLError::SecureConnectionFailed;
    case CURLE_SSL_CERTPROBLEM:
        return URLError::ClientCertificateRejected;
    case CURLE_BAD_CONTENT_ENCODING:
        return URLError::CannotDecodeContentData;
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
        return URLError::BadServerResponse;
    case CURLE_LOGIN_DENIED:
        return URLError::UserAuthenticationRequired;
    case CURLE_TOO_MANY_REDIRECTS:
        return URLError::HTTPTooManyRedirects;
    case CURLE_ABORTED_BY_CALLBACK:
        return URLError::Cancelled;
    default:
        return URLError::Unknown;
    }
}

}

TransferSink::~TransferSink() = default;

void CurlTransfer::initializeLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { curl().globalInit(CURL_GLOBAL_ALL); });
}

bool CurlTransfer::isRedirectStatus(int statusCode)
{
    return statusCode == 301 || statusCode == 302 || statusCode == 303 || statusCode == 307 || statusCode == 308;
}

std::unique_ptr<CurlTransfer> CurlTransfer::create(const URLRequest& request, std::shared_ptr<TransferSink> sink, Ref<Error>* error)
{
    auto transfer = std::make_unique<CurlTransfer>(request, std::move(sink));
    if (!transfer->configure(error))
        return nullptr;
    return transfer;
}

CurlTransfer::CurlTransfer(const URLRequest& request, std::shared_ptr<TransferSink> sink)
    : m_request(request)
    , m_sink(std::move(sink))
{
}

CurlTransfer::~CurlTransfer()
{
    if (m_handle)
        curl().easyCleanup(m_handle);
    curl().slistFreeAll(m_headerList);
}

bool CurlTransfer::configure(Ref<Error>* error)
{
    const auto& url = m_request.url();
    auto refuse = [&](int64_t code) {
        if (error)
            *error = URLError::create(code, url.get());
        return false;
    };
    if (!url)
        return refuse(URLError::BadURL);
    if (url->scheme() != "http" && url->scheme() != "https")
        return refuse(URLError::UnsupportedURL);
    if (url->host().empty())
        return refuse(URLError::BadURL);

    initializeLibrary();
    m_handle = curl().easyInit();
    if (!m_handle)
        return refuse(URLError::Unknown);
    CURL* handle = m_handle;
    m_errorText.assign(CURL_ERROR_SIZE, '\0');

    curl().easySetopt(handle, CURLOPT_URL, url->absoluteString().c_str());
    curl().easySetopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl().easySetopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl().easySetopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
    curl().easySetopt(handle, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    curl().easySetopt(handle, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    curl().easySetopt(handle, CURLOPT_ERRORBUFFER, m_errorText.data());
    curl().easySetopt(handle, CURLOPT_PRIVATE, this);

    for (auto& [name, value] : m_request.allHTTPHeaderFields().entries()) {
        // "Name;" is libcurl's way of sending a field with an empty value.
        std::string line = value.empty() ? name + ";" : name + ": " + value;
        m_headerList = curl().slistAppend(m_headerList, line.c_str());
    }
    // Bodies go out at once instead of waiting for a "100 Continue".
    if (!m_request.valueForHTTPHeaderField("Expect"))
        m_headerList = curl().slistAppend(m_headerList, "Expect:");
    curl().easySetopt(handle, CURLOPT_HTTPHEADER, m_headerList);
    if (!m_request.valueForHTTPHeaderField("User-Agent"))
        curl().easySetopt(handle, CURLOPT_USERAGENT, defaultUserAgent().c_str());
    if (!m_request.valueForHTTPHeaderField("Accept-Encoding"))
        curl().easySetopt(handle, CURLOPT_ACCEPT_ENCODING, "");

    const std::string& method = m_request.httpMethod();
    if (auto body = m_request.httpBody())
        m_bodyBytes.assign(body->asStringView());
    bool hasBody = m_request.httpBody() != nullptr;
    if (method == "HEAD") {
        curl().easySetopt(handle, CURLOPT_NOBODY, 1L);
    } else if (method == "POST" || hasBody) {
        curl().easySetopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(m_bodyBytes.size()));
        curl().easySetopt(handle, CURLOPT_POSTFIELDS, m_bodyBytes.data());
        if (method != "POST")
            curl().easySetopt(handle, CURLOPT_CUSTOMREQUEST, method.c_str());
    } else if (method != "GET") {
        curl().easySetopt(handle, CURLOPT_CUSTOMREQUEST, method.c_str());
    }

    if (m_request.httpShouldHandleCookies()) {
        m_cookies = HTTPCookieStorage::shared();
        m_cookies->attachToTransfer(handle);
    }

    double timeout = m_request.timeoutInterval() > 0 ? m_request.timeoutInterval() : URLRequest::defaultTimeoutInterval;
    m_idleTimeout = std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(timeout));
    curl().easySetopt(handle, CURLOPT_CONNECTTIMEOUT_MS, std::max(1L, long(timeout * 1000)));
    noteActivity();

    curl().easySetopt(handle, CURLOPT_HEADERDATA, this);
    curl().easySetopt(handle, CURLOPT_HEADERFUNCTION, +[](char* data, size_t size, size_t count, void* transfer) -> size_t {
        return static_cast<CurlTransfer*>(transfer)->receiveHeaderLine(std::string_view(data, size * count));
    });
    curl().easySetopt(handle, CURLOPT_WRITEDATA, this);
    curl().easySetopt(handle, CURLOPT_WRITEFUNCTION, +[](char* data, size_t size, size_t count, void* transfer) -> size_t {
        return static_cast<CurlTransfer*>(transfer)->receiveBody(data, size * count);
    });
    curl().easySetopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl().easySetopt(handle, CURLOPT_XFERINFODATA, this);
    curl().easySetopt(handle, CURLOPT_XFERINFOFUNCTION, +[](void* data, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded) -> int {
        auto* transfer = static_cast<CurlTransfer*>(data);
        if (downloaded != transfer->m_lastDownloaded || uploaded != transfer->m_lastUploaded) {
            transfer->m_lastDownloaded = downloaded;
            transfer->m_lastUploaded = uploaded;
            transfer->noteActivity();
        }
        return 0;
    });
    return true;
}

size_t CurlTransfer::receiveHeaderLine(std::string_view line)
{
    noteActivity();
    size_t consumed = line.size();
    if (line.starts_with("HTTP/")) {
        // A new status line: an interim response (100 Continue) or the final one.
        auto space = line.find(' ');
        int status = 0;
        if (space != std::string_view::npos) {
            auto code = line.substr(space + 1);
            std::from_chars(code.data(), code.data() + code.size(), status);
        }
        m_statusCode = status;
        m_responseHeaders = HTTPHeaderFields();
        m_headersComplete = false;
        return consumed;
    }
    std::string_view content = trimmed(line);
    if (content.empty()) {
        finishHeaders();
        return consumed;
    }
    if (line.front() == ' ' || line.front() == '\t') {
        // An obsolete continuation line belongs to the field before it.
        if (!m_responseHeaders.isEmpty()) {
            auto last = m_responseHeaders.entries().back();
            m_responseHeaders.set(last.first, last.second + " " + headerText(content));
        }
        return consumed;
    }
    auto colon = content.find(':');
    if (colon == std::string_view::npos)
        return consumed;
    m_responseHeaders.add(headerText(trimmed(content.substr(0, colon))), headerText(trimmed(content.substr(colon + 1))));
    return consumed;
}

void CurlTransfer::finishHeaders()
{
    if (m_headersComplete || m_statusCode < 200)
        return;
    m_headersComplete = true;
    auto response = std::make_shared<HTTPURLResponse>(m_request.url(), m_statusCode, m_responseHeaders);
    if (isRedirectStatus(m_statusCode) && response->valueForHTTPHeaderField("Location")) {
        m_redirectResponse = std::move(response);
        return;
    }
    m_sink->transferReceivedResponse(response);
}

size_t CurlTransfer::receiveBody(const char* data, size_t size)
{
    noteActivity();
    if (!m_headersComplete)
        finishHeaders();
    if (m_redirectResponse) {
        size_t room = maximumRedirectBody - std::min(maximumRedirectBody, m_redirectBody.size());
        m_redirectBody.insert(m_redirectBody.end(), data, data + std::min(size, room));
        return size;
    }
    if (size)
        m_sink->transferReceivedData(std::vector<uint8_t>(data, data + size));
    return size;
}

Ref<Error> CurlTransfer::errorForResult(int curlResult) const
{
    auto result = static_cast<CURLcode>(curlResult);
    auto error = URLError::create(urlErrorCode(result), m_request.url().get());
    std::string detail = m_errorText.c_str();
    if (detail.empty())
        detail = curl().easyStrerror(result);
    auto userInfo = as<MutableDictionary>(error->userInfo()->mutableCopy());
    userInfo->setObjectForKey(String::create(headerText(detail)), "NSDebugDescription");
    return Error::create(error->domain(), error->code(), userInfo);
}

void CurlTransfer::complete(int curlResult)
{
    TransferSink::Outcome outcome;
    if (curlResult != CURLE_OK) {
        outcome.error = errorForResult(curlResult);
    } else if (!m_headersComplete) {
        if (m_statusCode < 200) {
            long status = 0;
            curl().easyGetinfo(m_handle, CURLINFO_RESPONSE_CODE, &status);
            m_statusCode = int(status);
        }
        if (m_statusCode >= 200)
            finishHeaders();
        else
            outcome.error = URLError::create(URLError::BadServerResponse, m_request.url().get());
    }
    if (!outcome.error && m_redirectResponse) {
        outcome.redirectResponse = m_redirectResponse;
        outcome.redirectBody = std::move(m_redirectBody);
    }
    report(std::move(outcome));
}

void CurlTransfer::completeWithTimeout()
{
    TransferSink::Outcome outcome;
    outcome.error = errorForResult(CURLE_OPERATION_TIMEDOUT);
    report(std::move(outcome));
}

void CurlTransfer::report(TransferSink::Outcome&& outcome)
{
    if (m_reported)
        return;
    m_reported = true;
    m_sink->transferFinished(std::move(outcome));
}

}
