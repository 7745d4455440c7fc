#pragma once

#include "platform/foundation/Data.h"
#include "platform/foundation/HTTPHeaderFields.h"
#include "platform/foundation/HTTPURLResponse.h"
#include "platform/foundation/Object.h"
#include "platform/foundation/URL.h"
#include "platform/foundation/URLConnection.h"
#include "platform/foundation/URLConnectionDelegate.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

// One asynchronous HTTP request of a web-service sharer, with a body text the caller has already
// encoded, extra header fields, and a delegate told once, with the chosen operation, when the
// request has finished. Success means the reply's status was 200 or 201; transport failures and
// every other status end the same way with success() false. A request without an address ends
// within start(), before it returns.
//
// The delegate is retained until that one call, and a running request is kept alive by its
// connection, so neither needs another owner meanwhile:
//     SHKRequest::create(url, body, sharer, &SHKInstapaper::sendFinished, "POST", true);
//
// A request without a body goes out as a GET with no body, whatever method is named: services rely
// on it.
class SHKRequest : public fnd::Object, public fnd::URLConnectionDelegate, public std::enable_shared_from_this<SHKRequest> {
public:
    static constexpr double timeoutInterval = 90;

    template<typename Delegate>
    using FinishedOperation = void (Delegate::*)(SHKRequest&);

    // Starts at once with autostart; otherwise set headerFields() and call start().
    template<typename Delegate>
    static std::shared_ptr<SHKRequest> create(fnd::Ref<fnd::URL> url, std::optional<std::string> params, const std::shared_ptr<Delegate>& delegate,
        FinishedOperation<Delegate> isFinishedSelector, std::string method, bool autostart)
    {
        auto request = std::make_shared<SHKRequest>(std::move(url), std::move(params), std::move(method));
        request->setDelegate(delegate, isFinishedSelector);
        if (autostart)
            request->start();
        return request;
    }

    SHKRequest(fnd::Ref<fnd::URL>, std::optional<std::string> params, std::string method);
    ~SHKRequest() override;

    // Retained until the request has finished. A null operation means the delegate does not answer
    // to one: it hears nothing, and is let go all the same.
    template<typename Delegate>
    void setDelegate(const std::shared_ptr<Delegate>& delegate, FinishedOperation<Delegate> isFinishedSelector)
    {
        m_delegate = delegate;
        if (!isFinishedSelector) {
            m_isFinished = {};
            return;
        }
        m_isFinished = [isFinishedSelector](void* target, SHKRequest& request) {
            (static_cast<Delegate*>(target)->*isFinishedSelector)(request);
        };
    }
    bool hasDelegate() const { return static_cast<bool>(m_delegate); }

    // Subclasses reset their own parsed results and then call this.
    virtual void start();
    // Decides success, tells the delegate and lets it go. The connection calls it.
    virtual void finish();

    // The reply body as UTF-8 text, decoded once; nothing when it is not valid UTF-8.
    std::optional<std::string> getResult();

    const fnd::Ref<fnd::URL>& url() const { return m_url; }
    const std::optional<std::string>& params() const { return m_params; }
    const std::string& method() const { return m_method; }
    const std::optional<fnd::HTTPHeaderFields>& headerFields() const { return m_headerFields; }
    // Replaces every header field of the request when set.
    void setHeaderFields(std::optional<fnd::HTTPHeaderFields> fields) { m_headerFields = std::move(fields); }

    const fnd::Ref<fnd::URLConnection>& connection() const { return m_connection; }
    // Nothing when the request failed before any reply.
    const fnd::Ref<fnd::HTTPURLResponse>& response() const { return m_response; }
    const fnd::HTTPHeaderFields& headers() const { return m_headers; }
    const fnd::Ref<fnd::Data>& data() const { return m_data; }
    bool success() const { return m_success; }

    std::string_view className() const override { return "SHKRequest"; }
    // For diagnosing by hand only: the text holds the request body, and bodies hold passwords, so
    // nothing in the system writes it to the log.
    std::string description() const override;

    // From the connection, on the main run loop.
    void didReceiveResponse(fnd::URLConnection&, const fnd::Ref<fnd::HTTPURLResponse>&) override;
    void didReceiveData(fnd::URLConnection&, const fnd::Ref<fnd::Data>&) override;
    void didFinishLoading(fnd::URLConnection&) override;
    void didFailWithError(fnd::URLConnection&, const fnd::Ref<fnd::Error>&) override;

private:
    fnd::Ref<fnd::URL> m_url;
    std::optional<std::string> m_params;
    std::string m_method;
    std::optional<fnd::HTTPHeaderFields> m_headerFields;

    std::shared_ptr<void> m_delegate;
    std::function<void(void* delegate, SHKRequest&)> m_isFinished;

    fnd::Ref<fnd::URLConnection> m_connection;
    fnd::Ref<fnd::HTTPURLResponse> m_response;
    fnd::HTTPHeaderFields m_headers;
    fnd::Ref<fnd::Data> m_data;
    std::optional<std::string> m_result;
    bool m_success = false;
};
