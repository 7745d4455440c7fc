#pragma once

#include "platform/foundation/Error.h"
#include "platform/foundation/HTTPURLResponse.h"
#include "platform/foundation/URLRequest.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct curl_slist;

namespace fnd {

class HTTPCookieStorage;

// Hears what happens to one transfer, on the loader's thread.
class TransferSink {
public:
    virtual ~TransferSink();

    virtual void transferReceivedResponse(const Ref<HTTPURLResponse>&) = 0;
    virtual void transferReceivedData(std::vector<uint8_t>&&) = 0;
    // The end of the transfer: an error, or nil after a complete response. A redirect response is
    // not reported as a response: it arrives here with its body, for the sink to follow or refuse.
    struct Outcome {
        Ref<Error> error;
        Ref<HTTPURLResponse> redirectResponse;
        std::vector<uint8_t> redirectBody;
    };
    virtual void transferFinished(Outcome&&) = 0;
};

// One HTTP exchange (a single hop: redirects are not followed) on a libcurl easy handle. Made on
// any thread, then driven by the loader's thread.
class CurlTransfer {
public:
    // curl_global_init, once per process.
    static void initializeLibrary();
    // Nothing when the request cannot be sent at all; the error says why.
    static std::unique_ptr<CurlTransfer> create(const URLRequest&, std::shared_ptr<TransferSink>, Ref<Error>* error);

    ~CurlTransfer();
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    void* handle() const { return m_handle; }
    uint64_t identifier() const { return m_identifier; }
    void setIdentifier(uint64_t identifier) { m_identifier = identifier; }

    using SteadyTime = std::chrono::steady_clock::time_point;
    // When the transfer gives up for lack of traffic.
    SteadyTime idleDeadline() const { return m_lastActivity + m_idleTimeout; }
    // Reports the end of the transfer from libcurl's result code.
    void complete(int curlResult);
    void completeWithTimeout();

    static bool isRedirectStatus(int statusCode);

    explicit CurlTransfer(const URLRequest&, std::shared_ptr<TransferSink>);

private:
    bool configure(Ref<Error>*);
    void noteActivity() { m_lastActivity = std::chrono::steady_clock::now(); }
    size_t receiveHeaderLine(std::string_view);
    size_t receiveBody(const char*, size_t);
    void finishHeaders();
    void report(TransferSink::Outcome&&);
    Ref<Error> errorForResult(int curlResult) const;

    URLRequest m_request;
    std::shared_ptr<TransferSink> m_sink;
    Ref<HTTPCookieStorage> m_cookies;
    void* m_handle = nullptr;
    curl_slist* m_headerList = nullptr;
    std::string m_bodyBytes;
    std::string m_errorText;
    uint64_t m_identifier = 0;

    std::chrono::steady_clock::duration m_idleTimeout {};
    SteadyTime m_lastActivity {};
    int64_t m_lastUploaded = 0;
    int64_t m_lastDownloaded = 0;

    int m_statusCode = 0;
    HTTPHeaderFields m_responseHeaders;
    bool m_headersComplete = false;
    Ref<HTTPURLResponse> m_redirectResponse;
    std::vector<uint8_t> m_redirectBody;
    bool m_reported = false;
};

}
