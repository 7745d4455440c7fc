#pragma once

#include "platform/foundation/Data.h"
#include "platform/foundation/HTTPHeaderFields.h"
#include "platform/foundation/URL.h"

#include <optional>
#include <string>
#include <string_view>

namespace fnd {

// What to load: an address, a method, header fields and a body. A value: connections copy it.
// Signed requests derive from it.
class URLRequest {
public:
    // Stored and handed on; no response cache is kept, so every policy loads from the network.
    enum class CachePolicy {
        UseProtocolCachePolicy = 0,
        ReloadIgnoringLocalCacheData = 1,
        ReturnCacheDataElseLoad = 2,
        ReturnCacheDataDontLoad = 3,
        ReloadIgnoringLocalAndRemoteCacheData = 4,
        ReloadRevalidatingCacheData = 5,
    };
    static constexpr double defaultTimeoutInterval = 60;

    URLRequest() = default;
    explicit URLRequest(Ref<URL>, CachePolicy = CachePolicy::UseProtocolCachePolicy, double timeoutInterval = defaultTimeoutInterval);
    virtual ~URLRequest();
    URLRequest(const URLRequest&) = default;
    URLRequest& operator=(const URLRequest&) = default;
    URLRequest(URLRequest&&) = default;
    URLRequest& operator=(URLRequest&&) = default;

    const Ref<URL>& url() const { return m_url; }
    void setURL(Ref<URL> url) { m_url = std::move(url); }

    // "GET" unless set; any method text is sent as given.
    const std::string& httpMethod() const { return m_method; }
    void setHTTPMethod(std::string_view method) { m_method = method.empty() ? "GET" : std::string(method); }

    const HTTPHeaderFields& allHTTPHeaderFields() const { return m_headers; }
    void setAllHTTPHeaderFields(HTTPHeaderFields headers) { m_headers = std::move(headers); }
    std::optional<std::string> valueForHTTPHeaderField(std::string_view field) const { return m_headers.value(field); }
    void setValueForHTTPHeaderField(std::string_view value, std::string_view field) { m_headers.set(field, value); }
    void addValueForHTTPHeaderField(std::string_view value, std::string_view field) { m_headers.add(field, value); }
    void removeHTTPHeaderField(std::string_view field) { m_headers.remove(field); }

    // Nil when there is no body.
    const Ref<Data>& httpBody() const { return m_body; }
    void setHTTPBody(const Ref<Data>&);

    // Seconds without any traffic after which the load fails with a time-out.
    double timeoutInterval() const { return m_timeoutInterval; }
    void setTimeoutInterval(double seconds) { m_timeoutInterval = seconds; }
    CachePolicy cachePolicy() const { return m_cachePolicy; }
    void setCachePolicy(CachePolicy policy) { m_cachePolicy = policy; }
    // Whether the shared cookie store sends and receives cookies for this request.
    bool httpShouldHandleCookies() const { return m_handlesCookies; }
    void setHTTPShouldHandleCookies(bool handles) { m_handlesCookies = handles; }

private:
    Ref<URL> m_url;
    std::string m_method { "GET" };
    HTTPHeaderFields m_headers;
    Ref<Data> m_body;
    double m_timeoutInterval { defaultTimeoutInterval };
    CachePolicy m_cachePolicy { CachePolicy::UseProtocolCachePolicy };
    bool m_handlesCookies { true };
};

}
