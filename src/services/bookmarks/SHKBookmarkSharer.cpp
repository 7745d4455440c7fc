#include "services/bookmarks/SHKBookmarkSharer.h"

#include "platform/foundation/HTTPURLResponse.h"
#include "platform/ui/AlertView.h"
#include "services/ServiceEndpoints.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKLocalizedText.h"
#include "sharing/core/SHKRequest.h"
#include "sharing/oauth/OAURLEncodingAdditions.h"
#include "sharing/ui/SHKActivityIndicator.h"
#include "sharing/ui/SHKFormController.h"

std::string SHKBookmarkSharer::escapeUserInformation(std::string_view text)
{
    return OAURLEncodedString(text);
}

fnd::Ref<fnd::URL> SHKBookmarkSharer::address(std::string_view endpointKey, std::string_view pathAndQuery)
{
    return fnd::URL::create(ServiceEndpoints::shared().url(endpointKey) + std::string(pathAndQuery));
}

fnd::Ref<fnd::URL> SHKBookmarkSharer::addressWithCredentials(std::string_view endpointKey, std::string_view pathAndQuery, std::string_view user,
    std::string_view password)
{
    auto base = ServiceEndpoints::shared().url(endpointKey);
    auto authority = base.find("://");
    if (authority == std::string::npos)
        return nullptr;
    base.insert(authority + 3, escapeUserInformation(user) + ":" + escapeUserInformation(password) + "@");
    return fnd::URL::create(base + std::string(pathAndQuery));
}

std::string SHKBookmarkSharer::captionWithSignUpSite(std::string_view caption, std::string_view signUpKey)
{
    return SHKLocalizedText(caption, ServiceEndpoints::shared().url(signUpKey));
}

void SHKBookmarkSharer::showLoggingIn()
{
    if (!quiet())
        SHKActivityIndicator::currentIndicator().displayActivity(SHKLocalizedText("Logging In..."));
}

void SHKBookmarkSharer::hideActivity()
{
    SHKActivityIndicator::currentIndicator().hide();
}

void SHKBookmarkSharer::startLoginCheck(SHKFormController& form, fnd::Ref<fnd::URL> url, std::optional<std::string> body, std::string method)
{
    auto protect = sharedAs<SHKBookmarkSharer>();
    showLoggingIn();
    setRequest(SHKRequest::create(std::move(url), std::move(body), protect, &SHKBookmarkSharer::authFinished, std::move(method), true));
    setPendingForm(form.sharedAs<SHKFormController>());
}

void SHKBookmarkSharer::authFinished(SHKRequest& request)
{
    auto protect = protectedThis();
    hideActivity();
    if (request.success()) {
        if (auto form = pendingForm())
            form->saveForm();
    } else {
        showLoginError(loginFailureMessage(request));
    }
    authDidFinish(request.success());
}

void SHKBookmarkSharer::showLoginError(const std::optional<std::string>& message)
{
    ui::AlertView::create(SHKLocalizedText("Login Error"), message.value_or(""), nullptr, SHKLocalizedText("Close"))->show();
}

void SHKBookmarkSharer::startSaveRequest(fnd::Ref<fnd::URL> url, std::optional<std::string> body, std::string method)
{
    auto protect = sharedAs<SHKBookmarkSharer>();
    setRequest(SHKRequest::create(std::move(url), std::move(body), protect, &SHKBookmarkSharer::sendFinished, std::move(method), true));
    sendDidStart();
}

bool SHKBookmarkSharer::saveSucceeded(SHKRequest& request)
{
    return request.success();
}

void SHKBookmarkSharer::sendFinished(SHKRequest& request)
{
    auto protect = protectedThis();
    if (saveSucceeded(request)) {
        sendDidFinish();
        return;
    }
    handleUnsuccessfulSave(request);
}

void SHKBookmarkSharer::handleUnsuccessfulSave(SHKRequest& request)
{
    if (statusOf(request) == reloginStatus()) {
        shouldReloginWithPendingAction(reloginPendingAction());
        return;
    }
    sendDidFailWithError(SHK::error("%@", saveFailureMessage(request)));
}

int SHKBookmarkSharer::statusOf(const SHKRequest& request)
{
    return request.response() ? request.response()->statusCode() : 0;
}

std::optional<std::string> SHKBookmarkSharer::serviceError(const SHKRequest& request)
{
    return request.headers().value("X-Error");
}

std::vector<fnd::Ref<SHKFormFieldSettings>> SHKBookmarkSharer::titleTagsNotesSharedFields()
{
    return {
        SHKFormFieldSettings::create(SHKLocalizedText("Title"), "title", FormFieldKind::Text, item()->title()),
        SHKFormFieldSettings::create(SHKLocalizedText("Tags"), "tags", FormFieldKind::Text, item()->tags()),
        SHKFormFieldSettings::create(SHKLocalizedText("Notes"), "text", FormFieldKind::Text, item()->text()),
        SHKFormFieldSettings::create(SHKLocalizedText("Shared"), "shared", FormFieldKind::Switch, "0"),
    };
}

std::string SHKBookmarkSharer::sharedFlag() const
{
    return item()->customBoolForSwitchKey("shared") ? "yes" : "no";
}
