#include "services/twitter/SHKTwitter.h"

#include "json/fast/FastJSONDeserializing.h"
#include "platform/foundation/PercentEscaping.h"
#include "platform/foundation/String.h"
#include "platform/foundation/Unicode.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/NavigationBar.h"
#include "services/ServiceEndpoints.h"
#include "services/twitter/SHKTwitterImageUpload.h"
#include "services/twitter/SHKiOS5Twitter.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKConfiguration.h"
#include "sharing/core/SHKEscaping.h"
#include "sharing/core/SHKLocalizedText.h"
#include "sharing/core/SHKPlatformExtensions.h"
#include "sharing/core/SHKRequest.h"
#include "sharing/core/SHKXMLResponseParser.h"
#include "sharing/oauth/OAAsynchronousDataFetcher.h"
#include "sharing/oauth/OAMutableURLRequest.h"
#include "sharing/oauth/OARequestParameter.h"
#include "sharing/oauth/OAServiceTicket.h"
#include "sharing/ui/SHKActivityIndicator.h"
#include "sharing/ui/SHKCustomFormControllerLargeTextField.h"
#include "sharing/ui/SHKFormController.h"

#include <algorithm>

namespace {

constexpr std::string_view statusKey = "status";
constexpr std::string_view followMeKey = "followMe";
constexpr std::string_view profileUpdateKey = "profile_update";
constexpr std::string_view alreadyShortReply = "ALREADY_A_BITLY_LINK";

constexpr std::string_view statusUpdatePath = "/1/statuses/update.json";
constexpr std::string_view verifyCredentialsPath = "/1/account/verify_credentials.json";
constexpr std::string_view updateProfileImagePath = "/1/account/update_profile_image.json";

const DefaultSHKConfigurator& configuration()
{
    return SHKConfiguration::sharedInstance()->configurator();
}

// Line feed, carriage return, vertical tab, form feed, next line and the two separators.
constexpr std::string_view lineBreaks[] = { "\n", "\r", "\v", "\f", "\u0085", "\u2028", "\u2029" };

std::string_view trimmedOfLineBreaks(std::string_view text)
{
    for (bool trimmed = true; trimmed;) {
        trimmed = false;
        for (auto lineBreak : lineBreaks) {
            if (text.starts_with(lineBreak)) {
                text.remove_prefix(lineBreak.size());
                trimmed = true;
            }
            if (text.ends_with(lineBreak)) {
                text.remove_suffix(lineBreak.size());
                trimmed = true;
            }
        }
    }
    return text;
}

bool formsURL(const std::string& text)
{
    return !text.empty() && fnd::URL::create(text);
}

// The member "error" of a JSON reply, found by its opening text, not by parsing: replies that are
// not JSON still carry it.
std::optional<std::string> jsonErrorMember(std::string_view reply)
{
    static constexpr std::string_view opening = "\"error\":\"";
    auto start = reply.find(opening);
    if (start == std::string_view::npos)
        return std::nullopt;
    auto text = reply.substr(start + opening.size());
    text = text.substr(0, text.find('"'));
    if (text.empty())
        return std::nullopt;
    return std::string(text);
}

size_t findIgnoringASCIICase(std::string_view text, std::string_view piece, size_t from = 0)
{
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; };
    auto found = std::search(text.begin() + std::min(from, text.size()), text.end(), piece.begin(), piece.end(),
        [&](char a, char b) { return lower(a) == lower(b); });
    return found == text.end() ? std::string_view::npos : static_cast<size_t>(found - text.begin());
}

// The link between "<url>" and "</url>" of the picture host's reply, in any case.
std::optional<std::string> uploadedLink(std::string_view reply)
{
    auto opening = findIgnoringASCIICase(reply, "<url>");
    if (opening == std::string_view::npos)
        return std::nullopt;
    auto start = opening + 5;
    auto closing = findIgnoringASCIICase(reply, "</url>", start);
    if (closing == std::string_view::npos)
        return std::nullopt;
    return std::string(reply.substr(start, closing - start));
}

}

void SHKTwitter::init()
{
    SHKOAuthSharer::init();
    auto& config = configuration();
    setConsumerKey(config.twitterConsumerKey());
    setSecretKey(config.twitterSecret());
    setAuthorizeCallbackURL(fnd::URL::create(config.twitterCallbackUrl()));
    m_xAuth = config.twitterUseXAuth() != 0;
    setAuthorizeURL(fnd::URL::create(apiAddress("/oauth/authorize")));
    setRequestURL(fnd::URL::create(apiAddress("/oauth/request_token")));
    setAccessURL(fnd::URL::create(apiAddress("/oauth/access_token")));
}

std::string SHKTwitter::apiAddress(std::string_view path)
{
    return ServiceEndpoints::shared().url("tw.api") + std::string(path);
}

std::shared_ptr<SHKTwitter> SHKTwitter::protectedTwitter()
{
    return sharedAs<SHKTwitter>();
}

std::optional<std::string> SHKTwitter::authorizationFormCaption()
{
    return SHKLocalizedText("Create a free account at %@", ServiceEndpoints::shared().url("tw.signup"));
}

std::vector<fnd::Ref<SHKFormFieldSettings>> SHKTwitter::authorizationFormFields()
{
    auto username = configuration().twitterUsername();
    if (username.empty())
        return SHKSharer::authorizationFormFields();
    return {
        SHKFormFieldSettings::create(SHKLocalizedText("Username"), "username", FormFieldKind::TextNoCorrect, std::nullopt),
        SHKFormFieldSettings::create(SHKLocalizedText("Password"), "password", FormFieldKind::Password, std::nullopt),
        SHKFormFieldSettings::create(SHKLocalizedText("Follow %@", username), std::string(followMeKey), FormFieldKind::Switch, "1"),
    };
}

void SHKTwitter::logout(const SHKSharerClass& sharerClass)
{
    SHKOAuthSharer::logout(sharerClass);
    fnd::UserDefaults::standardUserDefaults()->removeObjectForKey(userInfoDefaultsKey);
}

bool SHKTwitter::twitterFrameworkAvailable() const
{
    return !configuration().forcePreIOS5TwitterAccess() && rt::ClassRegistry::shared().isRegistered(tweetSheetClassName);
}

void SHKTwitter::share()
{
    auto protect = protectedTwitter();
    if (twitterFrameworkAvailable()) {
        SHKSharerClass::of<SHKiOS5Twitter>().shareItem(item());
        SHKSharerClass::of<SHKTwitter>().logout();
        return;
    }
    if (prepareItem())
        SHKOAuthSharer::share();
}

bool SHKTwitter::isAuthorized()
{
    if (twitterFrameworkAvailable()) {
        SHKSharerClass::of<SHKTwitter>().logout();
        return false;
    }
    return restoreAccessToken();
}

void SHKTwitter::promptAuthorization()
{
    if (twitterFrameworkAvailable())
        return;
    if (m_xAuth)
        authorizationFormShow();
    else
        SHKOAuthSharer::promptAuthorization();
}

bool SHKTwitter::prepareItem()
{
    switch (item()->shareType()) {
    case SHKShareTypeURL:
        return shortenURL();
    case SHKShareTypeImage:
        item()->setCustomValueForKey(item()->title(), statusKey);
        return true;
    case SHKShareTypeText:
        item()->setCustomValueForKey(item()->text(), statusKey);
        return true;
    default:
        return true;
    }
}

std::optional<std::string> SHKTwitter::itemTitleOrText() const
{
    return item()->title() ? item()->title() : item()->text();
}

std::string SHKTwitter::unescapedItemURL() const
{
    auto& url = item()->URL();
    if (!url)
        return {};
    return fnd::PercentEscaping::removingPercentEscapes(url->absoluteString()).value_or(url->absoluteString());
}

std::string SHKTwitter::statusWithLink(const std::optional<std::string>& titleOrText, std::string_view link)
{
    if (!titleOrText || titleOrText->empty())
        return std::string(link);
    return fnd::format("%@ %@", *titleOrText, link);
}

bool SHKTwitter::shortenURL()
{
    auto& config = configuration();
    auto login = config.bitLyLogin();
    auto key = config.bitLyKey();
    if (login.empty() || key.empty() || !SHK::connected()) {
        item()->setCustomValueForKey(statusWithLink(itemTitleOrText(), unescapedItemURL()), statusKey);
        return true;
    }
    if (!quiet())
        SHKActivityIndicator::currentIndicator().displayActivity(SHKLocalizedText("Shortening URL..."));
    auto address = ServiceEndpoints::shared().url("tw.shortener")
        + fnd::format("/v3/shorten?login=%@&apikey=%@&longUrl=%@&format=txt", login, key, SHKEscapeURL(item()->URL()));
    setRequest(SHKRequest::create(fnd::URL::create(address), std::nullopt, protectedTwitter(), &SHKTwitter::shortenURLFinished, "GET", true));
    return false;
}

void SHKTwitter::shortenURLFinished(SHKRequest& request)
{
    auto protect = protectedTwitter();
    SHKActivityIndicator::currentIndicator().hide();
    // Only a reply of success holds a link: an error word ("RATE_LIMIT_EXCEEDED") would read as one.
    auto reply = request.success() ? request.getResult() : std::nullopt;
    auto shortLink = reply ? std::string(trimmedOfLineBreaks(*reply)) : std::string();
    if (formsURL(shortLink)) {
        auto link = shortLink == alreadyShortReply ? unescapedItemURL() : shortLink;
        item()->setCustomValueForKey(statusWithLink(itemTitleOrText(), link), statusKey);
    } else {
        ui::AlertView::create(SHKLocalizedText("Shorten URL Error"), SHKLocalizedText("We could not shorten the URL."), nullptr,
            SHKLocalizedText("Continue"))
            ->show();
        item()->setCustomValueForKey(statusWithLink(itemTitleOrText(), unescapedItemURL()), statusKey);
    }
    SHKOAuthSharer::share();
}

void SHKTwitter::authorizationFormValidate(SHKFormController& form)
{
    if (!m_xAuth) {
        SHKOAuthSharer::authorizationFormValidate(form);
        return;
    }
    setPendingForm(form.sharedAs<SHKFormController>());
    tokenAccess();
}

void SHKTwitter::tokenAccessModifyRequest(OAMutableURLRequest& request)
{
    if (!m_xAuth || !pendingForm()) {
        SHKOAuthSharer::tokenAccessModifyRequest(request);
        return;
    }
    auto values = pendingForm()->formValues();
    auto value = [&values](std::string_view key) {
        auto found = values.find(key);
        return found == values.end() ? std::string() : found->second;
    };
    request.setParameters({
        OARequestParameter::requestParameterWithNameValue("x_auth_username", value("username")),
        OARequestParameter::requestParameterWithNameValue("x_auth_password", value("password")),
        OARequestParameter::requestParameterWithNameValue("x_auth_mode", "client_auth"),
    });
}

void SHKTwitter::tokenAccessTicketDidFinishWithData(OAServiceTicket& ticket, const fnd::Ref<fnd::Data>& data)
{
    if (!m_xAuth) {
        SHKOAuthSharer::tokenAccessTicketDidFinishWithData(ticket, data);
        return;
    }
    auto protect = protectedTwitter();
    if (!ticket.didSucceed()) {
        // The service says why in plain text; it is shown as it is, never read as a format.
        tokenAccessTicketDidFailWithError(ticket, SHK::error("%@", ticket.body().value_or("")));
        return;
    }
    if (auto form = pendingForm()) {
        auto values = form->formValues();
        auto followMe = values.find(followMeKey);
        item()->setCustomValueForKey(followMe == values.end() ? std::nullopt : std::optional(followMe->second), followMeKey);
        form->close();
    }
    SHKOAuthSharer::tokenAccessTicketDidFinishWithData(ticket, data);
}

void SHKTwitter::show()
{
    switch (item()->shareType()) {
    case SHKShareTypeURL:
    case SHKShareTypeImage:
    case SHKShareTypeText:
        showTwitterForm();
        break;
    case SHKShareTypeUserInfoRequest:
        setQuiet(true);
        tryToSend();
        break;
    default:
        break;
    }
}

void SHKTwitter::showTwitterForm()
{
    auto protect = protectedTwitter();
    auto form = SHKCustomFormControllerLargeTextField::create(protect);
    form->setText(item()->customValueForKey(statusKey).value_or(""));
    form->setMaxTextLength(maxStatusLength);
    form->setImage(item()->image());
    form->setImageTextLength(imageTextLength);
    navigationBar()->setTintColor(configuration().barTintForView(protect));
    keepAlive();
    pushViewController(form, false);
    SHK::currentHelper().showViewController(protect);
}

void SHKTwitter::sendForm(SHKFormControllerLargeTextField& form)
{
    auto protect = protectedTwitter();
    item()->setCustomValueForKey(form.textView() ? form.textView()->text() : std::string(), statusKey);
    tryToSend();
}

bool SHKTwitter::validateItem()
{
    if (item()->shareType() == SHKShareTypeUserInfoRequest)
        return true;
    return item()->customValueForKey(statusKey).has_value();
}

bool SHKTwitter::validateItemAfterUserEdit()
{
    return validateItem() && fnd::unicode::utf16Length(item()->customValueForKey(statusKey).value_or("")) <= maxStatusLength;
}

bool SHKTwitter::send()
{
    if (m_xAuth && item()->customBoolForSwitchKey(followMeKey))
        followMe();
    if (!validateItemAfterUserEdit())
        return false;
    switch (item()->shareType()) {
    case SHKShareTypeUserInfoRequest:
        sendUserInfo();
        break;
    case SHKShareTypeImage:
        sendImage();
        break;
    default:
        sendStatus();
        break;
    }
    sendDidStart();
    return true;
}

std::shared_ptr<OAMutableURLRequest> SHKTwitter::apiRequest(std::string_view path, std::string_view method, std::optional<std::string> realm)
{
    auto request = OAMutableURLRequest::createWithURL(fnd::URL::create(apiAddress(path)), consumer(), accessToken(), std::move(realm), signatureProvider());
    request->setHTTPMethod(method);
    return request;
}

void SHKTwitter::sendUserInfo()
{
    auto request = apiRequest(verifyCredentialsPath, "GET", std::nullopt);
    OAAsynchronousDataFetcher::asynchronousFetcherWithRequest(request, protectedTwitter(), &SHKTwitter::sendUserInfoTicketDidFinishWithData,
        &SHKTwitter::sendUserInfoTicketDidFailWithError)
        ->start();
}

void SHKTwitter::sendUserInfoTicketDidFinishWithData(OAServiceTicket& ticket, const fnd::Ref<fnd::Data>& data)
{
    if (!ticket.didSucceed()) {
        handleUnsuccessfulTicket(data);
        return;
    }
    // The platform offers no JSON serialisation class of its own, so the fast decoder reads it.
    auto profile = data ? fnd::as<fnd::MutableDictionary>(FastJSONDeserializing::mutableObjectFromJSONData(*data)) : nullptr;
    if (!profile) {
        // Nothing could be stored; the reply says why, if anything.
        handleUnsuccessfulTicket(data);
        return;
    }
    SHKConvertNullsToEmptyStrings(*profile);
    fnd::UserDefaults::standardUserDefaults()->setObjectForKey(profile, userInfoDefaultsKey);
    sendDidFinish();
}

void SHKTwitter::sendUserInfoTicketDidFailWithError(OAServiceTicket&, const fnd::Ref<fnd::Error>& error)
{
    sendDidFailWithError(error);
}

void SHKTwitter::sendStatus()
{
    auto request = apiRequest(statusUpdatePath, "POST", std::nullopt);
    request->setParameters({ OARequestParameter::requestParameterWithNameValue("status", item()->customValueForKey(statusKey).value_or("")) });
    OAAsynchronousDataFetcher::asynchronousFetcherWithRequest(request, protectedTwitter(), &SHKTwitter::sendStatusTicketDidFinishWithData,
        &SHKTwitter::sendStatusTicketDidFailWithError)
        ->start();
}

void SHKTwitter::sendStatusTicketDidFinishWithData(OAServiceTicket& ticket, const fnd::Ref<fnd::Data>& data)
{
    if (ticket.didSucceed())
        sendDidFinish();
    else
        handleUnsuccessfulTicket(data);
}

void SHKTwitter::sendStatusTicketDidFailWithError(OAServiceTicket&, const fnd::Ref<fnd::Error>& error)
{
    sendDidFailWithError(error);
}

void SHKTwitter::sendImage()
{
    bool profileUpdate = item()->customValueForKey(profileUpdateKey).has_value();
    auto realm = apiAddress("/");
    auto echoed = apiRequest(profileUpdate ? updateProfileImagePath : verifyCredentialsPath, "GET", realm);
    echoed->prepare();

    auto upload = echoed;
    if (!profileUpdate) {
        // OAuth Echo: the picture host checks our login by replaying this signed request itself.
        auto authorization = echoed->valueForHTTPHeaderField("Authorization").value_or("");
        upload = OAMutableURLRequest::createWithURL(fnd::URL::create(ServiceEndpoints::shared().url("tw.pichost") + "/api/2/upload.xml"), consumer(),
            accessToken(), realm, signatureProvider());
        upload->setHTTPMethod("POST");
        upload->setValueForHTTPHeaderField(apiAddress(verifyCredentialsPath), "X-Auth-Service-Provider");
        upload->setValueForHTTPHeaderField(authorization, "X-Verify-Credentials-Authorization");
    }

    auto jpeg = item()->image() ? SHKTwitterImageUpload::jpegForUpload(*item()->image()) : nullptr;
    if (!jpeg)
        jpeg = fnd::Data::create();
    upload->setValueForHTTPHeaderField(SHKTwitterImageUpload::contentType(), "Content-Type");
    upload->setHTTPBody(SHKTwitterImageUpload::body(*jpeg, item()->customValueForKey(statusKey).value_or(""), profileUpdate));

    sendDidStart();
    OAAsynchronousDataFetcher::asynchronousFetcherWithRequest(upload, protectedTwitter(), &SHKTwitter::sendImageTicketDidFinishWithData,
        &SHKTwitter::sendImageTicketDidFailWithError)
        ->start();
}

void SHKTwitter::sendImageTicketDidFinishWithData(OAServiceTicket& ticket, const fnd::Ref<fnd::Data>& data)
{
    if (!ticket.didSucceed()) {
        sendDidFailWithError(nullptr);
        return;
    }
    auto link = uploadedLink(ticket.body().value_or(""));
    if (!link) {
        handleUnsuccessfulTicket(data);
        return;
    }
    item()->setCustomValueForKey(fnd::format("%@ %@", item()->customValueForKey(statusKey).value_or(""), *link), statusKey);
    sendStatus();
}

void SHKTwitter::sendImageTicketDidFailWithError(OAServiceTicket&, const fnd::Ref<fnd::Error>& error)
{
    sendDidFailWithError(error);
}

void SHKTwitter::followMe()
{
    item()->setCustomValueForKey(std::nullopt, followMeKey);
    auto request = apiRequest(fnd::format("/1/friendships/create/%@.json", configuration().twitterUsername()), "POST", std::nullopt);
    OAAsynchronousDataFetcher::asynchronousFetcherWithRequest(
        request, [](OAServiceTicket&, const fnd::Ref<fnd::Data>&) { }, [](OAServiceTicket&, const fnd::Ref<fnd::Error>&) { })
        ->start();
}

void SHKTwitter::handleUnsuccessfulTicket(const fnd::Ref<fnd::Data>& data)
{
    auto protect = protectedTwitter();
    std::string_view reply = data ? data->asStringView() : std::string_view();
    if (!fnd::unicode::isValidUTF8(reply))
        reply = {};
    auto message = jsonErrorMember(reply).value_or("Unknown Error");
    if (message == "Invalid / used nonce" || message == "Could not authenticate with OAuth.") {
        shouldReloginWithPendingAction(PendingActionSend);
        return;
    }
    auto code = fnd::as<fnd::String>(SHKXMLResponseParser::getValueForElementFromResponse("code", data));
    if (code && code->isEqualToString("401")) {
        shouldReloginWithPendingAction(PendingActionSend);
        return;
    }
    sendDidFailWithError(fnd::Error::withDescription(std::string(errorDomain), errorCode, message));
}
