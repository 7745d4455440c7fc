#pragma once

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/URL.h"
#include "sharing/core/SHKSharer.h"
#include "sharing/ui/SHKOAuthViewDelegate.h"

#include <memory>
#include <string>
#include <string_view>

class OAConsumer;
class OAMutableURLRequest;
class OAServiceTicket;
class OASignatureProviding;
class OAToken;

// A sharer whose login is the three steps of OAuth 1.0: a request token from requestURL, the
// user's consent on the authorizeURL page in an SHKOAuthView until the service redirects to
// authorizeCallbackURL, and the access token from accessURL, kept in the keychain ("accessKey",
// "accessSecret" and "sessionHandle" under the sharer id). A service derives from it and, in its
// init(), sets its consumer key and secret and its four addresses; a password login (xAuth) calls
// tokenAccess() from its login form and adds its parameters in tokenAccessModifyRequest().
//
// Failures show "Request Error", "Authorize Error" or "Access Error" (also for a quiet sharer);
// the web and access steps then report authDidFinish(false). A stored access token resumes the
// pending share or send.
class SHKOAuthSharer : public SHKSharer, public SHKOAuthViewDelegate {
public:
    static constexpr std::string_view sharerClassName = "SHKOAuthSharer";

    static constexpr std::string_view accessKeyAccount = "accessKey";
    static constexpr std::string_view accessSecretAccount = "accessSecret";
    static constexpr std::string_view sessionHandleAccount = "sessionHandle";

    SHKOAuthSharer();
    ~SHKOAuthSharer() override;

    // Forgets the stored access token and the cookies of the class's authorisation page, so that
    // the service's web login is forgotten too. A sharer that holds a token keeps it.
    static void logout(const SHKSharerClass&);
    static void deleteStoredAccessToken(const SHKSharerClass&);

    // Authorised when an access token is held or can be restored from the keychain.
    bool isAuthorized() override;
    // Starts the web flow.
    void promptAuthorization() override;

    // Step 1: the request token.
    void tokenRequest();
    virtual void tokenRequestModifyRequest(OAMutableURLRequest&);
    virtual void tokenRequestTicketDidFinishWithData(OAServiceTicket&, const fnd::Ref<fnd::Data>&);
    virtual void tokenRequestTicketDidFailWithError(OAServiceTicket&, const fnd::Ref<fnd::Error>&);

    // Step 2: the user's consent in the web view.
    void tokenAuthorize();
    fnd::Ref<fnd::URL> authorizeCallbackURL() const override { return m_authorizeCallbackURL; }
    void tokenAuthorizeViewDidFinishWithSuccessQueryParamsError(SHKOAuthView&, bool success, const fnd::Ref<fnd::Dictionary>& queryParams,
        const fnd::Ref<fnd::Error>&) override;
    void tokenAuthorizeCancelledView(SHKOAuthView&) override;

    // Step 3: the access token, for the request token, or with `refresh` for the access token held.
    void tokenAccess() { tokenAccess(false); }
    virtual void tokenAccess(bool refresh);
    virtual void tokenAccessModifyRequest(OAMutableURLRequest&);
    virtual void tokenAccessTicketDidFinishWithData(OAServiceTicket&, const fnd::Ref<fnd::Data>&);
    virtual void tokenAccessTicketDidFailWithError(OAServiceTicket&, const fnd::Ref<fnd::Error>&);

    void storeAccessToken();
    // Makes the consumer from key and secret, then answers whether an access token is held or
    // stored (both its key and its secret).
    bool restoreAccessToken();
    // Renews the access token held, then sends again.
    void refreshToken();

    const std::string& consumerKey() const { return m_consumerKey; }
    void setConsumerKey(std::string key) { m_consumerKey = std::move(key); }
    const std::string& secretKey() const { return m_secretKey; }
    void setSecretKey(std::string secret) { m_secretKey = std::move(secret); }
    void setAuthorizeCallbackURL(fnd::Ref<fnd::URL> url) { m_authorizeCallbackURL = std::move(url); }
    const fnd::Ref<fnd::URL>& authorizeURL() const { return m_authorizeURL; }
    void setAuthorizeURL(fnd::Ref<fnd::URL> url) { m_authorizeURL = std::move(url); }
    const fnd::Ref<fnd::URL>& accessURL() const { return m_accessURL; }
    void setAccessURL(fnd::Ref<fnd::URL> url) { m_accessURL = std::move(url); }
    const fnd::Ref<fnd::URL>& requestURL() const { return m_requestURL; }
    void setRequestURL(fnd::Ref<fnd::URL> url) { m_requestURL = std::move(url); }
    const std::shared_ptr<OAConsumer>& consumer() const { return m_consumer; }
    void setConsumer(std::shared_ptr<OAConsumer> consumer) { m_consumer = std::move(consumer); }
    const std::shared_ptr<OAToken>& requestToken() const { return m_requestToken; }
    void setRequestToken(std::shared_ptr<OAToken> token) { m_requestToken = std::move(token); }
    const std::shared_ptr<OAToken>& accessToken() const { return m_accessToken; }
    void setAccessToken(std::shared_ptr<OAToken> token) { m_accessToken = std::move(token); }
    // Nil: the requests' default, HMAC-SHA1.
    const std::shared_ptr<const OASignatureProviding>& signatureProvider() const { return m_signatureProvider; }
    void setSignatureProvider(std::shared_ptr<const OASignatureProviding> provider) { m_signatureProvider = std::move(provider); }
    // The query parameters of the callback that ended the web step.
    const fnd::Ref<fnd::Dictionary>& authorizeResponseQueryVars() const { return m_authorizeResponseQueryVars; }
    void setAuthorizeResponseQueryVars(fnd::Ref<fnd::Dictionary> vars) { m_authorizeResponseQueryVars = std::move(vars); }

private:
    std::shared_ptr<OAMutableURLRequest> signedRequestTo(const fnd::Ref<fnd::URL>&, std::shared_ptr<OAToken>);
    std::shared_ptr<SHKOAuthSharer> protectedOAuthSharer();
    void showFailureAlert(std::string_view title, const fnd::Ref<fnd::Error>&, std::string_view textWithoutError);

    std::string m_consumerKey;
    std::string m_secretKey;
    fnd::Ref<fnd::URL> m_authorizeCallbackURL;
    fnd::Ref<fnd::URL> m_authorizeURL;
    fnd::Ref<fnd::URL> m_accessURL;
    fnd::Ref<fnd::URL> m_requestURL;
    std::shared_ptr<OAConsumer> m_consumer;
    std::shared_ptr<OAToken> m_requestToken;
    std::shared_ptr<OAToken> m_accessToken;
    std::shared_ptr<const OASignatureProviding> m_signatureProvider;
    fnd::Ref<fnd::Dictionary> m_authorizeResponseQueryVars;
};
