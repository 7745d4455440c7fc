#pragma once

#include "sharing/core/SHKOAuthSharer.h"
#include "sharing/ui/SHKFormControllerLargeTextFieldDelegate.h"

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class SHKRequest;

// Posts to Twitter: a status of at most 140 characters (a link shortened first when a shortener
// login is configured), a picture uploaded to the picture host with OAuth Echo and then linked
// from a status, or a request for the user's own profile. The login is OAuth 1.0 through the
// service's web page or, with "twitterUseXAuth", a password form exchanged for the token (xAuth),
// which may also follow the configured account.
//
// Where the platform's tweet sheet exists (and "forcePreIOS5TwitterAccess" is off), every share
// goes to SHKiOS5Twitter instead and the stored login is forgotten.
//
// Item custom values: "status" (the text to post), "followMe" ("1" after an xAuth login with the
// follow switch on) and "profile_update" (an image share replaces the profile picture).
class SHKTwitter : public SHKOAuthSharer, public SHKFormControllerLargeTextFieldDelegate {
public:
    static constexpr std::string_view sharerClassName = "SHKTwitter";
    static constexpr std::string_view userInfoDefaultsKey = "kSHKTwitterUserInfo";
    static constexpr std::string_view tweetSheetClassName = "TWTweetComposeViewController";
    static constexpr std::string_view errorDomain = "Twitter";
    static constexpr int errorCode = 2;
    static constexpr size_t maxStatusLength = 140;
    static constexpr size_t imageTextLength = 25;

    static std::string sharerTitle() { return "Twitter"; }
    static bool canShareURL() { return true; }
    static bool canShareText() { return true; }
    static bool canShareImage() { return true; }
    static bool canGetUserInfo() { return true; }
    static std::optional<std::string> authorizationFormCaption();
    // The base login fields; with a configured account to follow, also its "Follow %@" switch.
    static std::vector<fnd::Ref<SHKFormFieldSettings>> authorizationFormFields();
    // Forgets the access token, the service's web login and the stored profile.
    static void logout(const SHKSharerClass&);

    // The API address of the path (the configured API host).
    static std::string apiAddress(std::string_view path);

    bool shouldAutoShare() override { return false; }

    void share() override;
    bool isAuthorized() override;
    void promptAuthorization() override;

    bool twitterFrameworkAvailable() const;
    // True: go on with the share now; false: it goes on when the shortener has answered.
    bool prepareItem();
    bool shortenURL();
    void shortenURLFinished(SHKRequest&);

    // xAuth.
    void authorizationFormValidate(SHKFormController&) override;
    void tokenAccessModifyRequest(OAMutableURLRequest&) override;
    void tokenAccessTicketDidFinishWithData(OAServiceTicket&, const fnd::Ref<fnd::Data>&) override;

    // The compose screen.
    void show() override;
    void showTwitterForm();
    void sendForm(SHKFormControllerLargeTextField&) override;
    void sendDidCancel() override { SHKSharer::sendDidCancel(); }

    bool validateItem() override;
    bool validateItemAfterUserEdit();
    bool send() override;

    void sendUserInfo();
    void sendStatus();
    void sendImage();
    // Follows the configured account; nobody waits for the answer.
    void followMe();
    // The service's refusal: a new login when it no longer accepts ours, else a "Twitter" error.
    void handleUnsuccessfulTicket(const fnd::Ref<fnd::Data>&);

    void sendUserInfoTicketDidFinishWithData(OAServiceTicket&, const fnd::Ref<fnd::Data>&);
    void sendUserInfoTicketDidFailWithError(OAServiceTicket&, const fnd::Ref<fnd::Error>&);
    void sendStatusTicketDidFinishWithData(OAServiceTicket&, const fnd::Ref<fnd::Data>&);
    void sendStatusTicketDidFailWithError(OAServiceTicket&, const fnd::Ref<fnd::Error>&);
    void sendImageTicketDidFinishWithData(OAServiceTicket&, const fnd::Ref<fnd::Data>&);
    void sendImageTicketDidFailWithError(OAServiceTicket&, const fnd::Ref<fnd::Error>&);

    bool xAuth() const { return m_xAuth; }
    void setXAuth(bool xAuth) { m_xAuth = xAuth; }

    // "<title or text> <link>", or the link alone when the item has neither.
    static std::string statusWithLink(const std::optional<std::string>& titleOrText, std::string_view link);

    // Reads the configuration and the API host.
    void init() override;

private:
    std::shared_ptr<SHKTwitter> protectedTwitter();
    std::optional<std::string> itemTitleOrText() const;
    std::string unescapedItemURL() const;
    std::shared_ptr<OAMutableURLRequest> apiRequest(std::string_view path, std::string_view method, std::optional<std::string> realm);
    void shareFromPreparedItem();

    std::atomic<bool> m_xAuth { false };
};
