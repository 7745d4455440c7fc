#pragma once

#include "platform/foundation/Date.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/ObserverToken.h"
#include "platform/foundation/URL.h"
#include "services/facebook/FBDialog.h"
#include "services/facebook/FBLoginDialogDelegate.h"
#include "services/facebook/FBRequest.h"
#include "services/facebook/FBSessionDelegate.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A Facebook session: the application id, the access token and its expiry. It logs the user in
// (through the Facebook application, the browser or an in-app login page), completes a login that
// comes back as an incoming address, starts graph, REST and dialog calls that carry the token, and
// drops the session when one of its calls fails. Every host comes from the endpoint registry.
class Facebook : public std::enable_shared_from_this<Facebook>, public FBLoginDialogDelegate {
public:
    static constexpr std::string_view successRedirect = "fbconnect://success";

    static std::shared_ptr<Facebook> create(std::string appId, std::optional<std::string> urlSchemeSuffix, std::weak_ptr<FBSessionDelegate>);
    Facebook(std::string appId, std::optional<std::string> urlSchemeSuffix, std::weak_ptr<FBSessionDelegate>);
    ~Facebook() override;

    // A token's expiry that many seconds from now; 0 means it never expires.
    static fnd::Ref<fnd::Date> expirationDateAfter(int64_t seconds);
    static fnd::Ref<fnd::Date> distantFuture();
    // "name=value" pieces joined by "&"; values percent-decoded, names as they are. Pieces without
    // "=" are skipped.
    static std::vector<std::pair<std::string, std::string>> parseURLParams(std::string_view query);

    void authorize(std::vector<std::string> permissions);
    void authorizeWithFBAppAuth(bool tryFBAppAuth, bool trySafariAuth);
    // False when the address is not a login returning to this application.
    bool handleOpenURL(const fnd::URL&);
    void logout();
    bool isSessionValid() const;
    void invalidateSession();

    // Started at once; the session keeps them until they end.
    std::shared_ptr<FBRequest> requestWithGraphPath(std::string_view path, std::weak_ptr<FBRequestDelegate>);
    std::shared_ptr<FBRequest> requestWithGraphPath(std::string_view path, fnd::Ref<fnd::MutableDictionary>, std::weak_ptr<FBRequestDelegate>);
    std::shared_ptr<FBRequest> requestWithGraphPath(std::string_view path, fnd::Ref<fnd::MutableDictionary>, std::string_view httpMethod, std::weak_ptr<FBRequestDelegate>);
    // The REST method named by the parameter "method"; nothing without it.
    std::shared_ptr<FBRequest> requestWithParams(fnd::Ref<fnd::MutableDictionary>, std::weak_ptr<FBRequestDelegate>);
    std::shared_ptr<FBRequest> requestWithMethodName(std::string_view methodName, fnd::Ref<fnd::MutableDictionary>, std::string_view httpMethod, std::weak_ptr<FBRequestDelegate>);

    void dialog(std::string_view action, std::weak_ptr<FBDialogDelegate>);
    void dialog(std::string_view action, fnd::Ref<fnd::MutableDictionary>, std::weak_ptr<FBDialogDelegate>);

    void fbDialogLogin(const std::string& token, const fnd::Ref<fnd::Date>& expirationDate) override;
    void fbDialogNotLogin(bool cancelled) override;

    // "fb<app id><suffix>://authorize"
    std::string getOwnBaseUrl() const;

    const std::string& appId() const { return m_appId; }
    const std::optional<std::string>& urlSchemeSuffix() const { return m_urlSchemeSuffix; }
    const std::optional<std::string>& accessToken() const { return m_accessToken; }
    void setAccessToken(std::optional<std::string> token) { m_accessToken = std::move(token); }
    const fnd::Ref<fnd::Date>& expirationDate() const { return m_expirationDate; }
    void setExpirationDate(fnd::Ref<fnd::Date> date) { m_expirationDate = std::move(date); }
    const std::vector<std::string>& permissions() const { return m_permissions; }
    std::shared_ptr<FBSessionDelegate> sessionDelegate() const { return m_sessionDelegate.lock(); }
    void setSessionDelegate(std::weak_ptr<FBSessionDelegate> delegate) { m_sessionDelegate = std::move(delegate); }

    size_t openRequestCount() const { return m_requests.size(); }
    const std::shared_ptr<FBDialog>& loginDialog() const { return m_loginDialog; }
    const std::shared_ptr<FBDialog>& currentDialog() const { return m_dialog; }

private:
    static std::string dialogURL(std::string_view action);
    std::shared_ptr<FBRequest> openUrl(std::string url, fnd::Ref<fnd::MutableDictionary>, std::string_view httpMethod, std::weak_ptr<FBRequestDelegate>);
    void requestStateChanged(FBRequest&);

    std::string m_appId;
    std::optional<std::string> m_urlSchemeSuffix;
    std::weak_ptr<FBSessionDelegate> m_sessionDelegate;
    std::optional<std::string> m_accessToken;
    fnd::Ref<fnd::Date> m_expirationDate;
    std::vector<std::string> m_permissions;
    std::map<FBRequest*, std::pair<std::shared_ptr<FBRequest>, fnd::ObserverToken>> m_requests;
    std::shared_ptr<FBDialog> m_loginDialog;
    std::shared_ptr<FBDialog> m_dialog;
};
