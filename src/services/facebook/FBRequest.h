#pragma once

#include "platform/foundation/Data.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Error.h"
#include "platform/foundation/KeyValueObserving.h"
#include "services/facebook/FBRequestDelegate.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace fnd {
class URLConnection;
}

// One call to Facebook's graph or REST interface. The parameters (texts, pictures or raw data)
// travel as the query of a GET, or as query plus multipart body of a POST; the reply is decoded
// as JSON with the service's own error conventions and reported to the delegate. Every change of
// state() is observable under the key "state".
class FBRequest : public std::enable_shared_from_this<FBRequest>, public fnd::KeyValueObservable {
public:
    enum State : uint32_t {
        StateIdle = 0,
        StateLoading = 1,
        StateComplete = 2,
        StateError = 3,
    };

    static constexpr std::string_view errorDomain = "facebookErrDomain";
    static constexpr int64_t genericErrorCode = 10000;
    static constexpr std::string_view userAgent = "FacebookConnect";
    static constexpr std::string_view boundary = "3i2ndDfv2rTHiSisAbouNdArYfORhtTPEefj3q2f";
    static constexpr double timeoutInterval = 180;

    // A request in state 0 that has not started; params may be nil.
    static std::shared_ptr<FBRequest> getRequestWithParams(fnd::Ref<fnd::MutableDictionary> params, std::string httpMethod,
        std::weak_ptr<FBRequestDelegate>, std::string requestURL);

    // The address followed by "?" (or "&" when it has a query already) and the text parameters.
    static std::string serializeURL(std::string_view baseURL, const fnd::Ref<fnd::Dictionary>& params, std::string_view httpMethod = "GET");
    // The parameter value escaping of every Facebook address.
    static std::string escapeValue(std::string_view);

    FBRequest(fnd::Ref<fnd::MutableDictionary> params, std::string httpMethod, std::weak_ptr<FBRequestDelegate>, std::string requestURL);
    ~FBRequest();

    void connect();
    bool loading() const { return static_cast<bool>(m_connection); }

    // The multipart form body of a POST: text parameters first, then pictures (as PNG) and data.
    fnd::Ref<fnd::Data> generatePostBody() const;
    // The service's reply conventions; answers the decoded value or nothing, and sets the error
    // (when a slot is given) for the replies that mean failure.
    static fnd::Id parseJsonResponse(const fnd::Data&, fnd::Ref<fnd::Error>* error);

    std::shared_ptr<FBRequestDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<FBRequestDelegate> delegate) { m_delegate = std::move(delegate); }
    const std::string& url() const { return m_url; }
    const std::string& httpMethod() const { return m_httpMethod; }
    const fnd::Ref<fnd::MutableDictionary>& params() const { return m_params; }
    State state() const { return m_state; }
    const fnd::Ref<fnd::Error>& error() const { return m_error; }

    // For the connection.
    void didReceiveResponse(const fnd::Ref<fnd::HTTPURLResponse>&);
    void didReceiveData(const fnd::Data&);
    void didFinishLoading();
    void didFailLoading(const fnd::Ref<fnd::Error>&);

private:
    void handleResponseData(const fnd::Ref<fnd::Data>&);
    void failWithError(const fnd::Ref<fnd::Error>&);
    void setState(State);
    static fnd::Ref<fnd::Error> formError(int64_t code, fnd::Ref<fnd::Dictionary> userInfo);

    std::weak_ptr<FBRequestDelegate> m_delegate;
    std::string m_url;
    std::string m_httpMethod;
    fnd::Ref<fnd::MutableDictionary> m_params;
    std::shared_ptr<fnd::URLConnection> m_connection;
    fnd::Ref<fnd::Data> m_responseText;
    int m_statusCode = 0;
    State m_state = StateIdle;
    fnd::Ref<fnd::Error> m_error;
};
