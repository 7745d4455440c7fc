#include "services/facebook/Facebook.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/PercentEscaping.h"
#include "platform/foundation/String.h"
#include "platform/ui/Application.h"
#include "platform/ui/Device.h"
#include "services/ServiceEndpoints.h"
#include "services/facebook/FBLoginDialog.h"
#include "sharing/core/SHKDeleteCookiesForURL.h"

#include <map>

namespace {

// A token that does not expire gets the latest date the user defaults can store (whole seconds
// since 2001 in 32 bits, early 2069), so that it survives a relaunch.
constexpr double distantFutureSince1970 = 978307200.0 + 2147483647.0;

void setText(fnd::MutableDictionary& params, std::string_view key, std::string_view value)
{
    params.setObjectForKey(fnd::String::create(value), key);
}

bool openWithSystem(const std::string& address)
{
    auto url = fnd::URL::create(address);
    return url && ui::Application::shared().openURL(*url);
}

std::string joined(const std::vector<std::string>& texts, std::string_view separator)
{
    std::string result;
    for (auto& text : texts) {
        if (!result.empty())
            result += separator;
        result += text;
    }
    return result;
}

}

std::shared_ptr<Facebook> Facebook::create(std::string appId, std::optional<std::string> urlSchemeSuffix, std::weak_ptr<FBSessionDelegate> delegate)
{
    return std::make_shared<Facebook>(std::move(appId), std::move(urlSchemeSuffix), std::move(delegate));
}

Facebook::Facebook(std::string appId, std::optional<std::string> urlSchemeSuffix, std::weak_ptr<FBSessionDelegate> delegate)
    : m_appId(std::move(appId))
    , m_urlSchemeSuffix(std::move(urlSchemeSuffix))
    , m_sessionDelegate(std::move(delegate))
{
}

Facebook::~Facebook() = default;

fnd::Ref<fnd::Date> Facebook::distantFuture()
{
    return fnd::Date::withTimeIntervalSince1970(distantFutureSince1970);
}

fnd::Ref<fnd::Date> Facebook::expirationDateAfter(int64_t seconds)
{
    if (!seconds)
        return distantFuture();
    return fnd::Date::now()->addingTimeInterval(static_cast<double>(seconds));
}

std::vector<std::pair<std::string, std::string>> Facebook::parseURLParams(std::string_view query)
{
    std::vector<std::pair<std::string, std::string>> params;
    size_t start = 0;
    while (start <= query.size()) {
        auto end = query.find('&', start);
        auto piece = query.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        start = end == std::string_view::npos ? query.size() + 1 : end + 1;
        auto equals = piece.find('=');
        if (equals == std::string_view::npos)
            continue;
        auto value = piece.substr(equals + 1);
        value = value.substr(0, value.find('='));
        params.emplace_back(std::string(piece.substr(0, equals)), fnd::PercentEscaping::removingPercentEscapes(value).value_or(std::string(value)));
    }
    return params;
}

std::string Facebook::getOwnBaseUrl() const
{
    return "fb" + m_appId + m_urlSchemeSuffix.value_or("") + "://authorize";
}

std::string Facebook::dialogURL(std::string_view action)
{
    return ServiceEndpoints::shared().url("fb.m") + "/dialog/" + std::string(action);
}

void Facebook::authorize(std::vector<std::string> permissions)
{
    m_permissions = std::move(permissions);
    authorizeWithFBAppAuth(true, true);
}

void Facebook::authorizeWithFBAppAuth(bool tryFBAppAuth, bool trySafariAuth)
{
    auto protect = shared_from_this();
    auto params = fnd::MutableDictionary::create();
    setText(*params, "client_id", m_appId);
    setText(*params, "type", "user_agent");
    setText(*params, "redirect_uri", successRedirect);
    setText(*params, "display", "touch");
    setText(*params, "sdk", "ios");
    if (!m_permissions.empty())
        setText(*params, "scope", joined(m_permissions, ","));
    if (m_urlSchemeSuffix)
        setText(*params, "local_client_id", *m_urlSchemeSuffix);

    auto loginDialogURL = dialogURL("oauth");
    bool didOpen = false;
    if (ui::Device::current().isMultitaskingSupported()) {
        if (tryFBAppAuth) {
            std::string scheme = m_urlSchemeSuffix ? "fbauth2" : "fbauth";
            didOpen = openWithSystem(FBRequest::serializeURL(scheme + "://authorize", params));
        }
        if (trySafariAuth && !didOpen) {
            setText(*params, "redirect_uri", getOwnBaseUrl());
            didOpen = openWithSystem(FBRequest::serializeURL(loginDialogURL, params));
        }
    }
    if (didOpen)
        return;
    m_loginDialog = FBLoginDialog::create(loginDialogURL, params, weak_from_this());
    m_loginDialog->show();
}

bool Facebook::handleOpenURL(const fnd::URL& url)
{
    if (!url.absoluteString().starts_with(getOwnBaseUrl()))
        return false;
    auto protect = shared_from_this();
    auto query = url.fragment() ? *url.fragment() : url.query().value_or("");
    std::map<std::string, std::string, std::less<>> params;
    for (auto& [key, value] : parseURLParams(query))
        params[key] = value;
    auto find = [&](std::string_view key) -> std::optional<std::string> {
        auto found = params.find(key);
        return found == params.end() ? std::nullopt : std::optional(found->second);
    };

    if (auto token = find("access_token")) {
        auto expiresIn = find("expires_in");
        fbDialogLogin(*token, expirationDateAfter(expiresIn ? fnd::String(*expiresIn).longLongValue() : 0));
        return true;
    }
    auto error = find("error");
    if (error == "service_disabled_use_browser") {
        authorizeWithFBAppAuth(false, true);
        return true;
    }
    if (error == "service_disabled") {
        authorizeWithFBAppAuth(false, false);
        return true;
    }
    bool cancelled = !find("error_code") && (!error || error == "access_denied");
    fbDialogNotLogin(cancelled);
    return true;
}

void Facebook::fbDialogLogin(const std::string& token, const fnd::Ref<fnd::Date>& expirationDate)
{
    m_accessToken = token;
    // A token without a lifetime is kept as one that does not expire: a session without an
    // expiry would not be valid, and the login would start all over again.
    m_expirationDate = expirationDate ? expirationDate : distantFuture();
    if (auto delegate = sessionDelegate())
        delegate->fbDidLogin();
}

void Facebook::fbDialogNotLogin(bool cancelled)
{
    if (auto delegate = sessionDelegate())
        delegate->fbDidNotLogin(cancelled);
}

bool Facebook::isSessionValid() const
{
    return m_accessToken && m_expirationDate && m_expirationDate->timeIntervalSinceNow() > 0;
}

void Facebook::invalidateSession()
{
    m_accessToken.reset();
    m_expirationDate = nullptr;
    if (auto loginAddress = fnd::URL::create(ServiceEndpoints::shared().url("fb.login")))
        SHKDeleteCookiesForURL(*loginAddress);
}

void Facebook::logout()
{
    auto protect = shared_from_this();
    invalidateSession();
    if (auto delegate = sessionDelegate())
        delegate->fbDidLogout();
}

std::shared_ptr<FBRequest> Facebook::requestWithGraphPath(std::string_view path, std::weak_ptr<FBRequestDelegate> delegate)
{
    return requestWithGraphPath(path, fnd::MutableDictionary::create(), "GET", std::move(delegate));
}

std::shared_ptr<FBRequest> Facebook::requestWithGraphPath(std::string_view path, fnd::Ref<fnd::MutableDictionary> params, std::weak_ptr<FBRequestDelegate> delegate)
{
    return requestWithGraphPath(path, std::move(params), "GET", std::move(delegate));
}

std::shared_ptr<FBRequest> Facebook::requestWithGraphPath(std::string_view path, fnd::Ref<fnd::MutableDictionary> params, std::string_view httpMethod,
    std::weak_ptr<FBRequestDelegate> delegate)
{
    return openUrl(ServiceEndpoints::shared().url("fb.graph") + "/" + std::string(path), std::move(params), httpMethod, std::move(delegate));
}

std::shared_ptr<FBRequest> Facebook::requestWithParams(fnd::Ref<fnd::MutableDictionary> params, std::weak_ptr<FBRequestDelegate> delegate)
{
    auto method = params ? params->stringForKey("method") : std::nullopt;
    if (!method) {
        fnd::Log::write("API Method must be specified");
        return nullptr;
    }
    params->removeObjectForKey("method");
    return requestWithMethodName(*method, std::move(params), "GET", std::move(delegate));
}

std::shared_ptr<FBRequest> Facebook::requestWithMethodName(std::string_view methodName, fnd::Ref<fnd::MutableDictionary> params, std::string_view httpMethod,
    std::weak_ptr<FBRequestDelegate> delegate)
{
    return openUrl(ServiceEndpoints::shared().url("fb.rest") + "/method/" + std::string(methodName), std::move(params), httpMethod, std::move(delegate));
}

std::shared_ptr<FBRequest> Facebook::openUrl(std::string url, fnd::Ref<fnd::MutableDictionary> params, std::string_view httpMethod,
    std::weak_ptr<FBRequestDelegate> delegate)
{
    if (!params)
        params = fnd::MutableDictionary::create();
    setText(*params, "format", "json");
    setText(*params, "sdk", "ios");
    setText(*params, "sdk_version", "2");
    if (isSessionValid())
        setText(*params, "access_token", *m_accessToken);

    auto request = FBRequest::getRequestWithParams(params, std::string(httpMethod), std::move(delegate), std::move(url));
    std::weak_ptr<Facebook> weakThis = weak_from_this();
    FBRequest* observed = request.get();
    auto token = request->addObserverForKey("state", [weakThis, observed](std::string_view, fnd::KeyValueChange change) {
        if (change != fnd::KeyValueChange::DidChange)
            return;
        if (auto session = weakThis.lock())
            session->requestStateChanged(*observed);
    });
    m_requests.emplace(request.get(), std::make_pair(request, std::move(token)));
    request->connect();
    return request;
}

void Facebook::requestStateChanged(FBRequest& request)
{
    auto state = request.state();
    if (state != FBRequest::StateComplete && state != FBRequest::StateError)
        return;
    auto protect = shared_from_this();
    if (state == FBRequest::StateError) {
        invalidateSession();
        if (auto delegate = sessionDelegate())
            delegate->fbSessionInvalidated();
    }
    // The request holds itself while its callbacks run, so it may be let go from inside one.
    m_requests.erase(&request);
}

void Facebook::dialog(std::string_view action, std::weak_ptr<FBDialogDelegate> delegate)
{
    dialog(action, fnd::MutableDictionary::create(), std::move(delegate));
}

void Facebook::dialog(std::string_view action, fnd::Ref<fnd::MutableDictionary> params, std::weak_ptr<FBDialogDelegate> delegate)
{
    m_dialog = nullptr;
    if (!params)
        params = fnd::MutableDictionary::create();
    auto url = dialogURL(action);
    setText(*params, "display", "touch");
    setText(*params, "sdk", "2");
    setText(*params, "redirect_uri", successRedirect);
    if (action == "oauth") {
        setText(*params, "type", "user_agent");
        m_dialog = FBLoginDialog::create(url, params, weak_from_this());
    } else {
        setText(*params, "app_id", m_appId);
        if (isSessionValid())
            setText(*params, "access_token", fnd::PercentEscaping::removingPercentEscapes(*m_accessToken).value_or(*m_accessToken));
        m_dialog = FBDialog::create(url, params, std::move(delegate));
    }
    m_dialog->show();
}
