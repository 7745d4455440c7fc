#include "services/foursquare/SHKFoursquareV2.h"

#include "platform/foundation/String.h"
#include "platform/location/LocationManager.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/TextView.h"
#include "services/ServiceEndpoints.h"
#include "services/foursquare/SHKFoursquareV2CheckInForm.h"
#include "services/foursquare/SHKFoursquareV2Error.h"
#include "services/foursquare/SHKFoursquareV2OAuthView.h"
#include "services/foursquare/SHKFoursquareV2Venue.h"
#include "services/foursquare/SHKFoursquareV2VenuesForm.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKConfiguration.h"
#include "sharing/core/SHKDeleteCookiesForURL.h"
#include "sharing/core/SHKLocalizedText.h"
#include "sharing/oauth/OAURLEncodingAdditions.h"

namespace {

const DefaultSHKConfigurator& configuration()
{
    return SHKConfiguration::sharedInstance()->configurator();
}

}

bool SHKFoursquareV2::canShare()
{
    if (!loc::LocationManager::locationServicesEnabled())
        return false;
    auto status = loc::LocationManager::authorizationStatus();
    return status == loc::AuthorizationStatus::Authorized || status == loc::AuthorizationStatus::NotDetermined;
}

void SHKFoursquareV2::init()
{
    SHKSharer::init();
    m_clientId = configuration().foursquareV2ClientId();
    m_authorizeCallbackURL = fnd::URL::create(configuration().foursquareV2RedirectURI());
}

fnd::Ref<fnd::URL> SHKFoursquareV2::authenticateURL()
{
    return fnd::URL::create(ServiceEndpoints::shared().url("fsq.oauth") + "/oauth2/authenticate");
}

void SHKFoursquareV2::deleteStoredAccessToken(const SHKSharerClass& sharerClass)
{
    SHK::removeAuthValueForKeyForSharer(accessTokenKey, sharerClass.sharerId());
}

void SHKFoursquareV2::logout(const SHKSharerClass& sharerClass)
{
    deleteStoredAccessToken(sharerClass);
    if (auto page = authenticateURL())
        SHKDeleteCookiesForURL(*page);
}

bool SHKFoursquareV2::isAuthorized()
{
    return restoreAccessToken();
}

void SHKFoursquareV2::storeAccessToken()
{
    SHK::setAuthValueForKeyForSharer(m_accessToken, accessTokenKey, sharerClass().sharerId());
}

bool SHKFoursquareV2::restoreAccessToken()
{
    if (m_accessToken)
        return true;
    m_accessToken = getAuthValueForKey(accessTokenKey);
    return m_accessToken.has_value();
}

void SHKFoursquareV2::promptAuthorization()
{
    auto callback = m_authorizeCallbackURL ? m_authorizeCallbackURL->absoluteString() : std::string();
    auto page = authenticateURL();
    auto address = fnd::format("%@?client_id=%@&response_type=token&redirect_uri=%@", page ? page->absoluteString() : std::string(), m_clientId,
        OAURLEncodedString(callback));
    auto protect = sharedAs<SHKFoursquareV2>();
    keepAlive();
    auto view = SHKFoursquareV2OAuthView::createWithURLDelegate(fnd::URL::create(address), std::shared_ptr<SHKOAuthViewDelegate>(protect, this));
    SHK::currentHelper().showViewController(view);
}

void SHKFoursquareV2::showAccessError(const fnd::Ref<fnd::Error>& error)
{
    showAlert(SHKLocalizedText("Access Error"), error ? error->localizedDescription() : SHKLocalizedText("There was an error while sharing"));
}

void SHKFoursquareV2::tokenAuthorizeViewDidFinishWithSuccessQueryParamsError(SHKOAuthView&, bool success, const fnd::Ref<fnd::Dictionary>& queryParams,
    const fnd::Ref<fnd::Error>& error)
{
    auto protect = protectedThis();
    SHK::currentHelper().hideCurrentViewControllerAnimated(true);
    auto token = queryParams ? queryParams->objectForKeyAs<fnd::String>("access_token") : nullptr;
    // A callback without a token is no login: taking it for one would show the page again at
    // once, and again after that.
    if (success && token) {
        m_accessToken = token->utf8();
        storeAccessToken();
        tryPendingAction();
        authDidFinish(true);
        return;
    }
    showAccessError(error);
    authDidFinish(false);
}

void SHKFoursquareV2::tokenAuthorizeCancelledView(SHKOAuthView&)
{
    auto protect = protectedThis();
    SHK::currentHelper().hideCurrentViewControllerAnimated(true);
    authDidFinish(false);
}

void SHKFoursquareV2::show()
{
    if (item()->shareType() == SHKShareTypeText)
        showFoursquareV2VenuesForm();
}

void SHKFoursquareV2::showFoursquareV2VenuesForm()
{
    keepAlive();
    pushViewController(SHKFoursquareV2VenuesForm::create(sharedAs<SHKFoursquareV2>()), false);
    SHK::currentHelper().showViewController(protectedThis());
}

void SHKFoursquareV2::showFoursquareV2CheckInForm()
{
    auto form = SHKFoursquareV2CheckInForm::create(std::shared_ptr<SHKFormControllerLargeTextFieldDelegate>(protectedThis(), this));
    form->setText(item()->text().value_or(""));
    form->setMaxTextLength(maxMessageLength);
    navigationBar()->setTintColor(configuration().barTintForView(protectedThis()));
    pushViewController(form, true);
}

void SHKFoursquareV2::sendForm(SHKFormControllerLargeTextField& form)
{
    auto protect = protectedThis();
    item()->setText(form.textView() ? form.textView()->text() : form.text());
    startCheckInRequest();
}

void SHKFoursquareV2::startCheckInRequest()
{
    auto protect = sharedAs<SHKFoursquareV2>();
    sendDidStart();
    if (!m_venue) {
        sendDidFailWithError(SHK::error("%@", SHKLocalizedText("There was an error while sharing")));
        return;
    }
    setRequest(SHKFoursquareV2Request::requestCheckin(m_location, *m_venue, item()->text(), protect, &SHKFoursquareV2::finishCheckInRequest,
        m_accessToken.value_or(""), true));
}

void SHKFoursquareV2::finishCheckInRequest(SHKRequest& finished)
{
    auto protect = protectedThis();
    auto keepRequest = request();
    SHK::currentHelper().hideCurrentViewControllerAnimated(true);
    auto& request = static_cast<SHKFoursquareV2Request&>(finished);
    if (request.success()) {
        sendDidFinish();
    } else {
        auto error = request.getFoursquareError();
        sendDidFailWithErrorShouldRelogin(error, error && SHKFoursquareV2Error::getFoursquareRelogin(*error));
    }
    setRequest(nullptr);
}
