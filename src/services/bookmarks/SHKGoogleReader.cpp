#include "services/bookmarks/SHKGoogleReader.h"

#include "platform/foundation/Date.h"
#include "platform/foundation/HTTPCookie.h"
#include "platform/foundation/UserDefaults.h"
#include "services/ServiceEndpoints.h"
#include "sharing/core/SHKConfiguration.h"
#include "sharing/core/SHKEscaping.h"
#include "sharing/core/SHKLocalizedText.h"
#include "sharing/core/SHKRequest.h"
#include "sharing/ui/SHKFormController.h"

#include <cmath>

namespace {

const DefaultSHKConfigurator& configuration()
{
    return SHKConfiguration::sharedInstance()->configurator();
}

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (true) {
        auto end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

}

std::optional<std::string> SHKGoogleReader::authorizationFormCaption()
{
    return captionWithSignUpSite("Create a free account at %@", "greader.signup");
}

std::vector<fnd::Ref<SHKFormFieldSettings>> SHKGoogleReader::authorizationFormFields()
{
    return {
        SHKFormFieldSettings::create(SHKLocalizedText("Email"), "email", FormFieldKind::TextNoCorrect, std::nullopt),
        SHKFormFieldSettings::create(SHKLocalizedText("Password"), "password", FormFieldKind::Password, std::nullopt),
    };
}

void SHKGoogleReader::authorizationFormValidate(SHKFormController& form)
{
    showLoggingIn();
    auto values = form.formValues();
    getSession(values["email"], values["password"]);
    setPendingForm(form.sharedAs<SHKFormController>());
}

void SHKGoogleReader::getSession(const std::string& email, const std::string& password)
{
    auto protect = sharedAs<SHKGoogleReader>();
    auto source = fnd::format("Sharing-%@-%@", SHKEscapeFormValue(configuration().appName()), sourceVersion);
    auto body = fnd::format("service=reader&source=%@&Email=%@&Passwd=%@&accountType=GOOGLE", source, SHKEscapeFormValue(email), SHKEscapeFormValue(password));
    setRequest(SHKRequest::create(address("greader.login", "/accounts/ClientLogin"), std::move(body), protect, &SHKGoogleReader::authFinished, "POST", true));
    showLoggingIn();
}

std::map<std::string, std::string> SHKGoogleReader::parseSession(std::string_view reply)
{
    std::map<std::string, std::string> session;
    for (auto line : split(reply, '\n')) {
        auto parts = split(line, '=');
        // A value that itself holds "=" is not one the service sends: it is dropped.
        if (parts.size() == 2)
            session[std::string(parts[0])] = std::string(parts[1]);
    }
    return session;
}

void SHKGoogleReader::authFinished(SHKRequest& request)
{
    auto protect = protectedThis();
    hideActivity();
    m_session = parseSession(request.getResult().value_or(""));
    if (m_session->contains("Auth")) {
        if (auto form = pendingForm())
            form->saveForm();
        else
            tryPendingAction();
        authDidFinish(request.success());
        return;
    }
    auto error = m_session->find("Error");
    if (error != m_session->end() && error->second == "BadAuthentication" && pendingAction() == PendingActionSend) {
        shouldReloginWithPendingAction(PendingActionSend);
        return;
    }
    showLoginError(loginFailureMessage(request));
    authDidFinish(request.success());
}

std::optional<std::string> SHKGoogleReader::loginFailureMessage(SHKRequest&)
{
    auto error = m_session ? m_session->find("Error") : std::map<std::string, std::string>::iterator();
    if (!m_session || error == m_session->end())
        return SHKLocalizedText("There was an error logging into Google Reader");
    if (error->second == "BadAuthentication")
        return SHKLocalizedText("Incorrect username and password");
    return error->second;
}

std::optional<std::vector<fnd::Ref<SHKFormFieldSettings>>> SHKGoogleReader::shareFormFieldsForType(SHKShareType type)
{
    if (type != SHKShareTypeURL)
        return std::nullopt;
    return std::vector<fnd::Ref<SHKFormFieldSettings>> {
        SHKFormFieldSettings::create(SHKLocalizedText("Note"), "text", FormFieldKind::Text, item()->text()),
        SHKFormFieldSettings::create(SHKLocalizedText("Public"), "share", FormFieldKind::Switch, "0"),
    };
}

std::string SHKGoogleReader::isPublicKey() const
{
    return fnd::format("%@_isPublic", sharerClass().sharerId());
}

void SHKGoogleReader::shareFormSave(SHKFormController& form)
{
    auto protect = protectedThis();
    SHKBookmarkSharer::shareFormSave(form);
    auto values = form.formValues();
    fnd::UserDefaults::standardUserDefaults()->setBoolForKey(values["share"] == "1", isPublicKey());
}

bool SHKGoogleReader::send()
{
    if (!validateItem())
        return false;
    if (!m_session) {
        setPendingAction(PendingActionSend);
        getSession(storedCredential("email"), storedCredential("password"));
        return true;
    }
    // Seconds since 1970 as a 64-bit count, which stays right past 2038.
    auto seconds = static_cast<int64_t>(std::floor(fnd::Date::now()->timeIntervalSince1970()));
    auto protect = sharedAs<SHKGoogleReader>();
    auto request = SHKRequest::create(address("greader.api.http", fnd::format("/reader/api/0/token?ck=%lld", seconds)), std::nullopt, protect,
        &SHKGoogleReader::tokenFinished, "GET", false);
    signRequest(*request);
    setRequest(request);
    request->start();
    sendDidStart();
    return true;
}

void SHKGoogleReader::signRequest(SHKRequest& request) const
{
    static constexpr double cookieLifetime = 1600000000;
    std::vector<fnd::HTTPCookie> cookies;
    auto domain = ServiceEndpoints::shared().url("greader.cookieDomain");
    auto expires = fnd::Date::now()->timeIntervalSince1970() + cookieLifetime;
    std::string auth;
    for (auto& [name, value] : m_session.value_or(std::map<std::string, std::string>())) {
        cookies.push_back({ .name = name, .value = value, .domain = domain.starts_with('.') ? domain.substr(1) : domain, .path = "/",
            .hostOnly = !domain.starts_with('.'), .expiresDate = expires });
        if (name == "Auth")
            auth = value;
    }
    auto fields = fnd::HTTPCookie::requestHeaderFields(cookies);
    fields.set("Authorization", "GoogleLogin auth=" + auth);
    request.setHeaderFields(std::move(fields));
}

void SHKGoogleReader::tokenFinished(SHKRequest& request)
{
    auto protect = protectedThis();
    if (request.success()) {
        sendWithToken(request.getResult().value_or(""));
        return;
    }
    handleUnsuccessfulSave(request);
}

void SHKGoogleReader::sendWithToken(const std::string& token)
{
    bool isPublic = item()->customBoolForSwitchKey("share");
    if (shouldAutoShare())
        isPublic = fnd::UserDefaults::standardUserDefaults()->boolForKey(isPublicKey());
    // Every value is escaped: an "&" in the title or the application's name would split the body.
    auto body = fnd::format("T=%@&linkify=false&snippet=%@&srcTitle=%@&srcUrl=%@&title=%@&url=%@&share=%@", SHKEscapeFormValue(token),
        SHKEscapeFormValue(item()->text()), SHKEscapeFormValue(configuration().appName()), SHKEscapeFormValue(configuration().appURL()),
        SHKEscapeFormValue(item()->title()), SHKEscapeURL(item()->URL()), isPublic ? "true" : "");
    auto protect = sharedAs<SHKBookmarkSharer>();
    auto request = SHKRequest::create(address("greader.api.https", "/reader/api/0/item/edit"), std::move(body), protect, &SHKBookmarkSharer::sendFinished,
        "POST", false);
    signRequest(*request);
    setRequest(request);
    request->start();
}

std::string SHKGoogleReader::saveFailureMessage(SHKRequest& request)
{
    return serviceError(request).value_or(SHKLocalizedText("The service encountered an error. Please try again later."));
}
