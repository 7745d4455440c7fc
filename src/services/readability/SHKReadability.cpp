#include "services/readability/SHKReadability.h"

#include "json/fast/FastJSONDeserializing.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/Unicode.h"
#include "platform/foundation/UserDefaults.h"
#include "services/ServiceEndpoints.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKConfiguration.h"
#include "sharing/core/SHKLocalizedText.h"
#include "sharing/oauth/OAAsynchronousDataFetcher.h"
#include "sharing/oauth/OAMutableURLRequest.h"
#include "sharing/oauth/OARequestParameter.h"
#include "sharing/oauth/OAServiceTicket.h"
#include "sharing/ui/SHKFormController.h"

namespace {

const DefaultSHKConfigurator& configuration()
{
    return SHKConfiguration::sharedInstance()->configurator();
}

fnd::Ref<fnd::URL> apiURL(std::string_view path)
{
    return fnd::URL::create(ServiceEndpoints::shared().url("readability.api") + std::string(path));
}

int64_t integerValueOf(const fnd::Id& value)
{
    if (auto number = fnd::as<fnd::Number>(value))
        return number->longLongValue();
    if (auto text = fnd::as<fnd::String>(value))
        return text->intValue();
    return 0;
}

// The first text of a list, as the service sends its messages.
std::optional<std::string> firstText(const fnd::Id& list)
{
    auto array = fnd::as<fnd::Array>(list);
    if (!array || array->isEmpty())
        return std::nullopt;
    if (auto text = fnd::as<fnd::String>(array->firstObject()))
        return text->utf8();
    return std::nullopt;
}

}

void SHKReadability::init()
{
    SHKOAuthSharer::init();
    setConsumerKey(configuration().readabilityConsumerKey());
    setSecretKey(configuration().readabilitySecret());
    setAuthorizeCallbackURL(fnd::URL::create(""));
    m_xAuth = configuration().readabilityUseXAuth() != 0;
    setAuthorizeURL(apiURL("/api/rest/v1/oauth/authorize/"));
    setRequestURL(apiURL("/api/rest/v1/oauth/request_token/"));
    setAccessURL(apiURL("/api/rest/v1/oauth/access_token/"));
}

std::optional<std::string> SHKReadability::authorizationFormCaption()
{
    return SHKLocalizedText("Create a free account at %@", ServiceEndpoints::shared().url("readability.signup"));
}

void SHKReadability::logout(const SHKSharerClass& sharerClass)
{
    fnd::UserDefaults::standardUserDefaults()->removeObjectForKey(userInfoDefaultsKey);
    SHKOAuthSharer::logout(sharerClass);
}

bool SHKReadability::isAuthorized()
{
    return restoreAccessToken();
}

void SHKReadability::promptAuthorization()
{
    if (m_xAuth)
        authorizationFormShow();
    else
        SHKOAuthSharer::promptAuthorization();
}

void SHKReadability::authorizationFormValidate(SHKFormController& form)
{
    setPendingForm(form.sharedAs<SHKFormController>());
    tokenAccess();
}

void SHKReadability::tokenAccessModifyRequest(OAMutableURLRequest& request)
{
    if (!m_xAuth)
        return;
    auto values = pendingForm() ? pendingForm()->formValues() : SHKFormValues();
    request.setParameters({
        OARequestParameter::requestParameterWithNameValue("x_auth_username", values["username"]),
        OARequestParameter::requestParameterWithNameValue("x_auth_password", values["password"]),
        OARequestParameter::requestParameterWithNameValue("x_auth_mode", "client_auth"),
    });
}

void SHKReadability::tokenAccessTicketDidFinishWithData(OAServiceTicket& ticket, const fnd::Ref<fnd::Data>& data)
{
    auto protect = protectedThis();
    if (m_xAuth) {
        if (!ticket.didSucceed()) {
            // The service explains the refusal in its reply: shown as it stands, never as a format.
            tokenAccessTicketDidFailWithError(ticket, SHK::error("%@", ticket.body().value_or("")));
            return;
        }
        if (auto form = pendingForm())
            form->close();
    }
    SHKOAuthSharer::tokenAccessTicketDidFinishWithData(ticket, data);
}

std::optional<std::vector<fnd::Ref<SHKFormFieldSettings>>> SHKReadability::shareFormFieldsForType(SHKShareType type)
{
    if (type != SHKShareTypeURL)
        return std::nullopt;
    return std::vector<fnd::Ref<SHKFormFieldSettings>> {
        SHKFormFieldSettings::create(SHKLocalizedText("Favorite"), "favorite", FormFieldKind::Switch, "0"),
        SHKFormFieldSettings::create(SHKLocalizedText("Archive"), "archive", FormFieldKind::Switch, "0"),
    };
}

std::string SHKReadability::favoriteKey() const
{
    return fnd::format("%@_isFavorite", sharerClass().sharerId());
}

std::string SHKReadability::archiveKey() const
{
    return fnd::format("%@_shouldArchive", sharerClass().sharerId());
}

void SHKReadability::shareFormSave(SHKFormController& form)
{
    auto protect = protectedThis();
    auto values = form.formValues();
    auto defaults = fnd::UserDefaults::standardUserDefaults();
    defaults->setBoolForKey(values["favorite"] == "1", favoriteKey());
    defaults->setBoolForKey(values["archive"] == "1", archiveKey());
    SHKOAuthSharer::shareFormSave(form);
}

bool SHKReadability::send()
{
    // A bookmark without an address would be saved as an empty one.
    if (!item()->URL())
        return false;
    sendBookmark();
    sendDidStart();
    return true;
}

void SHKReadability::sendBookmark()
{
    auto request = OAMutableURLRequest::createWithURL(apiURL("/api/rest/v1/bookmarks/"), consumer(), accessToken(), std::nullopt, signatureProvider());
    request->setHTTPMethod("POST");
    auto defaults = fnd::UserDefaults::standardUserDefaults();
    request->setParameters({
        OARequestParameter::requestParameterWithNameValue("url", item()->URL()->absoluteString()),
        OARequestParameter::requestParameterWithNameValue("favorite", defaults->boolForKey(favoriteKey()) ? "1" : "0"),
        OARequestParameter::requestParameterWithNameValue("archive", defaults->boolForKey(archiveKey()) ? "1" : "0"),
    });
    OAAsynchronousDataFetcher::asynchronousFetcherWithRequest(request, sharedAs<SHKReadability>(), &SHKReadability::sendBookmarkTicketDidFinishWithData,
        &SHKReadability::sendBookmarkTicketDidFailWithError)
        ->start();
}

void SHKReadability::sendBookmarkTicketDidFinishWithData(OAServiceTicket& ticket, const fnd::Ref<fnd::Data>& data)
{
    auto protect = protectedThis();
    if (ticket.didSucceed())
        sendDidFinish();
    else
        handleUnsuccessfulTicket(data);
}

void SHKReadability::sendBookmarkTicketDidFailWithError(OAServiceTicket&, const fnd::Ref<fnd::Error>& error)
{
    sendDidFailWithError(error);
}

void SHKReadability::handleUnsuccessfulTicket(const fnd::Ref<fnd::Data>& data)
{
    auto protect = protectedThis();
    auto bytes = data ? data->asStringView() : std::string_view();
    if (!fnd::unicode::isValidUTF8(bytes) || bytes.find("unauthenticated") != std::string_view::npos) {
        shouldReloginWithPendingAction(PendingActionSend);
        return;
    }
    auto reply = fnd::as<fnd::Dictionary>(FastJSONDeserializing::objectFromJSONString(*fnd::String::create(bytes)));
    if (reply && integerValueOf(reply->objectForKey("success")) != 0) {
        sendDidFinish();
        return;
    }
    std::optional<std::string> message;
    if (reply) {
        auto messages = reply->objectForKey("messages");
        if (auto byField = fnd::as<fnd::Dictionary>(messages))
            message = firstText(byField->objectForKey("url"));
        else
            message = firstText(messages);
    }
    if (!message) {
        sendDidFailWithError(nullptr);
        return;
    }
    sendDidFailWithError(fnd::Error::withDescription(std::string(errorDomain), 2, *message));
}
