#pragma once

#include "services/foursquare/SHKFoursquareV2Request.h"
#include "sharing/core/SHKSharer.h"
#include "sharing/ui/SHKFormControllerLargeTextFieldDelegate.h"
#include "sharing/ui/SHKOAuthViewDelegate.h"

#include <optional>
#include <string>

struct SHKFoursquareV2Venue;

// Shares a text as a check-in at a nearby place on the check-in service Foursquare: a web login
// whose token comes back in the redirect's fragment, the places near the device (with a search),
// a 140-character message, then the check-in.
class SHKFoursquareV2 : public SHKSharer, public SHKOAuthViewDelegate, public SHKFormControllerLargeTextFieldDelegate {
public:
    static constexpr std::string_view sharerClassName = "SHKFoursquareV2";
    static constexpr std::string_view accessTokenKey = "accessToken";
    static constexpr size_t maxMessageLength = 140;

    static std::string sharerTitle() { return "Foursquare"; }
    static bool canShareText() { return true; }
    static bool canShareOffline() { return false; }
    // Only where the device may tell where it is.
    static bool canShare();
    static void logout(const SHKSharerClass&);
    static void deleteStoredAccessToken(const SHKSharerClass&);
    // The service's login page.
    static fnd::Ref<fnd::URL> authenticateURL();

    // The client id and callback from the configuration.
    void init() override;

    bool shouldAutoShare() override { return false; }
    bool isAuthorized() override;
    void promptAuthorization() override;
    void storeAccessToken();
    bool restoreAccessToken();

    fnd::Ref<fnd::URL> authorizeCallbackURL() const override { return m_authorizeCallbackURL; }
    void tokenAuthorizeViewDidFinishWithSuccessQueryParamsError(SHKOAuthView&, bool success, const fnd::Ref<fnd::Dictionary>& queryParams,
        const fnd::Ref<fnd::Error>&) override;
    void tokenAuthorizeCancelledView(SHKOAuthView&) override;

    // A text share lists the places near by; other types show nothing.
    void show() override;
    void showFoursquareV2VenuesForm();
    void showFoursquareV2CheckInForm();
    void sendForm(SHKFormControllerLargeTextField&) override;
    void sendDidCancel() override { SHKSharer::sendDidCancel(); }
    void startCheckInRequest();
    void finishCheckInRequest(SHKRequest&);

    const std::string& clientId() const { return m_clientId; }
    const std::optional<std::string>& accessToken() const { return m_accessToken; }
    void setAccessToken(std::optional<std::string> token) { m_accessToken = std::move(token); }
    const std::optional<loc::Location>& location() const { return m_location; }
    void setLocation(std::optional<loc::Location> location) { m_location = std::move(location); }
    const std::shared_ptr<SHKFoursquareV2Venue>& venue() const { return m_venue; }
    void setVenue(std::shared_ptr<SHKFoursquareV2Venue> venue) { m_venue = std::move(venue); }

private:
    void showAccessError(const fnd::Ref<fnd::Error>&);

    std::string m_clientId;
    fnd::Ref<fnd::URL> m_authorizeCallbackURL;
    std::optional<std::string> m_accessToken;
    std::optional<loc::Location> m_location;
    std::shared_ptr<SHKFoursquareV2Venue> m_venue;
};
