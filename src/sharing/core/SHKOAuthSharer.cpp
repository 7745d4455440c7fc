#include "sharing/core/SHKOAuthSharer.h"

#include "platform/foundation/Format.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKDeleteCookiesForURL.h"
#include "sharing/core/SHKLocalizedText.h"
#include "sharing/oauth/OAAsynchronousDataFetcher.h"
#include "sharing/oauth/OAConsumer.h"
#include "sharing/oauth/OAMutableURLRequest.h"
#include "sharing/oauth/OAServiceTicket.h"
#include "sharing/oauth/OAToken.h"
#include "sharing/oauth/OAURLEncodingAdditions.h"
#include "sharing/ui/SHKActivityIndicator.h"
#include "sharing/ui/SHKOAuthView.h"

namespace {

bool hasText(const std::optional<std::string>& text)
{
    return text && !text->empty();
}

// A reply that is not UTF-8 text holds no token.
std::shared_ptr<OAToken> tokenFromReply(const OAServiceTicket& ticket)
{
    return OAToken::createWithHTTPResponseBody(ticket.body().value_or(""));
}

}

SHKOAuthSharer::SHKOAuthSharer() = default;

SHKOAuthSharer::~SHKOAuthSharer() = default;

std::shared_ptr<SHKOAuthSharer> SHKOAuthSharer::protectedOAuthSharer()
{
    return sharedAs<SHKOAuthSharer>();
}

void SHKOAuthSharer::logout(const SHKSharerClass& sharerClass)
{
    deleteStoredAccessToken(sharerClass);
    auto temporary = std::dynamic_pointer_cast<SHKOAuthSharer>(sharerClass.createSharer());
    if (temporary && temporary->authorizeURL())
        SHKDeleteCookiesForURL(*temporary->authorizeURL());
}

void SHKOAuthSharer::deleteStoredAccessToken(const SHKSharerClass& sharerClass)
{
    auto sharerId = sharerClass.sharerId();
    SHK::removeAuthValueForKeyForSharer(accessKeyAccount, sharerId);
    SHK::removeAuthValueForKeyForSharer(accessSecretAccount, sharerId);
    SHK::removeAuthValueForKeyForSharer(sessionHandleAccount, sharerId);
}

bool SHKOAuthSharer::isAuthorized()
{
    return restoreAccessToken();
}

void SHKOAuthSharer::promptAuthorization()
{
    tokenRequest();
}

std::shared_ptr<OAMutableURLRequest> SHKOAuthSharer::signedRequestTo(const fnd::Ref<fnd::URL>& url, std::shared_ptr<OAToken> token)
{
    // Normally made when the authorisation was checked; a subclass may start a step straight away.
    if (!m_consumer)
        m_consumer = OAConsumer::createWithKeySecret(m_consumerKey, m_secretKey);
    auto request = OAMutableURLRequest::createWithURL(url, m_consumer, std::move(token), std::nullopt, m_signatureProvider);
    request->setHTTPMethod("POST");
    return request;
}

void SHKOAuthSharer::showFailureAlert(std::string_view title, const fnd::Ref<fnd::Error>& error, std::string_view textWithoutError)
{
    showAlert(SHKLocalizedText(title), error ? error->localizedDescription() : SHKLocalizedText(textWithoutError));
}

void SHKOAuthSharer::tokenRequest()
{
    SHKActivityIndicator::currentIndicator().displayActivity(SHKLocalizedText("Connecting..."));
    auto request = signedRequestTo(m_requestURL, nullptr);
    tokenRequestModifyRequest(*request);
    OAAsynchronousDataFetcher::asynchronousFetcherWithRequest(request, protectedOAuthSharer(), &SHKOAuthSharer::tokenRequestTicketDidFinishWithData,
        &SHKOAuthSharer::tokenRequestTicketDidFailWithError)
        ->start();
}

void SHKOAuthSharer::tokenRequestModifyRequest(OAMutableURLRequest&)
{
}

void SHKOAuthSharer::tokenRequestTicketDidFinishWithData(OAServiceTicket& ticket, const fnd::Ref<fnd::Data>&)
{
    SHKActivityIndicator::currentIndicator().hide();
    auto token = ticket.didSucceed() ? tokenFromReply(ticket) : nullptr;
    // Without a token there is nothing the user could authorise.
    if (!token || token->isEmpty()) {
        tokenRequestTicketDidFailWithError(ticket,
            SHK::error("%@", SHKLocalizedText("There was a problem requesting authorization from %@", sharerClass().sharerTitle())));
        return;
    }
    m_requestToken = std::move(token);
    tokenAuthorize();
}

void SHKOAuthSharer::tokenRequestTicketDidFailWithError(OAServiceTicket&, const fnd::Ref<fnd::Error>& error)
{
    SHKActivityIndicator::currentIndicator().hide();
    showFailureAlert("Request Error", error, "There was an error while sharing");
}

void SHKOAuthSharer::tokenAuthorize()
{
    auto authorizeAddress = m_authorizeURL ? m_authorizeURL->absoluteString() : std::string();
    auto requestTokenKey = m_requestToken ? m_requestToken->key().value_or("") : std::string();
    // Escaped, so that a key with reserved characters reaches the service as it was given.
    auto address = fnd::format("%@?oauth_token=%@", authorizeAddress, OAURLEncodedString(requestTokenKey));
    auto protect = protectedOAuthSharer();
    auto view = SHKOAuthView::createWithURLDelegate(fnd::URL::create(address), std::shared_ptr<SHKOAuthViewDelegate>(protect, this));
    SHK::currentHelper().showViewController(view);
}

void SHKOAuthSharer::tokenAuthorizeViewDidFinishWithSuccessQueryParamsError(SHKOAuthView&, bool success, const fnd::Ref<fnd::Dictionary>& queryParams,
    const fnd::Ref<fnd::Error>& error)
{
    auto protect = protectedOAuthSharer();
    SHK::currentHelper().hideCurrentViewControllerAnimated(true);
    bool reportsProblem = queryParams && queryParams->objectForKey("oauth_problem");
    if (success && !reportsProblem) {
        m_authorizeResponseQueryVars = queryParams;
        tokenAccess();
        return;
    }
    showFailureAlert("Authorize Error", error, "There was an error while authorizing");
    authDidFinish(false);
}

void SHKOAuthSharer::tokenAuthorizeCancelledView(SHKOAuthView&)
{
    auto protect = protectedOAuthSharer();
    SHK::currentHelper().hideCurrentViewControllerAnimated(true);
    authDidFinish(false);
}

void SHKOAuthSharer::tokenAccess(bool refresh)
{
    if (!refresh)
        SHKActivityIndicator::currentIndicator().displayActivity(SHKLocalizedText("Authenticating..."));
    auto request = signedRequestTo(m_accessURL, refresh ? m_accessToken : m_requestToken);
    tokenAccessModifyRequest(*request);
    OAAsynchronousDataFetcher::asynchronousFetcherWithRequest(request, protectedOAuthSharer(), &SHKOAuthSharer::tokenAccessTicketDidFinishWithData,
        &SHKOAuthSharer::tokenAccessTicketDidFailWithError)
        ->start();
}

void SHKOAuthSharer::tokenAccessModifyRequest(OAMutableURLRequest&)
{
}

void SHKOAuthSharer::tokenAccessTicketDidFinishWithData(OAServiceTicket& ticket, const fnd::Ref<fnd::Data>&)
{
    auto protect = protectedOAuthSharer();
    SHKActivityIndicator::currentIndicator().hide();
    auto token = ticket.didSucceed() ? tokenFromReply(ticket) : nullptr;
    // A reply without both parts is no login: nothing could be stored or signed with it.
    bool gotToken = token && !token->isEmpty() && hasText(token->secret());
    if (gotToken) {
        m_accessToken = std::move(token);
        storeAccessToken();
        tryPendingAction();
    } else {
        tokenAccessTicketDidFailWithError(ticket,
            SHK::error("%@", SHKLocalizedText("There was a problem requesting access from %@", sharerClass().sharerTitle())));
    }
    authDidFinish(gotToken);
}

void SHKOAuthSharer::tokenAccessTicketDidFailWithError(OAServiceTicket&, const fnd::Ref<fnd::Error>& error)
{
    SHKActivityIndicator::currentIndicator().hide();
    showFailureAlert("Access Error", error, "There was an error while sharing");
}

void SHKOAuthSharer::storeAccessToken()
{
    if (!m_accessToken)
        return;
    auto sharerId = sharerClass().sharerId();
    SHK::setAuthValueForKeyForSharer(m_accessToken->key(), accessKeyAccount, sharerId);
    SHK::setAuthValueForKeyForSharer(m_accessToken->secret(), accessSecretAccount, sharerId);
    // Without a handle of its own, the token must not inherit the previous login's.
    if (hasText(m_accessToken->sessionHandle()))
        SHK::setAuthValueForKeyForSharer(m_accessToken->sessionHandle(), sessionHandleAccount, sharerId);
    else
        SHK::removeAuthValueForKeyForSharer(sessionHandleAccount, sharerId);
}

bool SHKOAuthSharer::restoreAccessToken()
{
    m_consumer = OAConsumer::createWithKeySecret(m_consumerKey, m_secretKey);
    if (m_accessToken)
        return true;

    auto key = getAuthValueForKey(accessKeyAccount);
    auto secret = getAuthValueForKey(accessSecretAccount);
    if (!hasText(key) || !hasText(secret))
        return false;
    m_accessToken = OAToken::createWithKeySecret(std::move(*key), std::move(*secret));
    if (auto handle = getAuthValueForKey(sessionHandleAccount))
        m_accessToken->setSessionHandle(std::move(*handle));
    return true;
}

void SHKOAuthSharer::refreshToken()
{
    setPendingAction(PendingActionRefreshToken);
    tokenAccess(true);
}
