#include "services/evernote/SHKEvernote.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Thread.h"
#include "platform/ui/AlertView.h"
#include "services/ServiceEndpoints.h"
#include "services/evernote/SHKEvernoteItem.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKLocalizedText.h"
#include "sharing/ui/SHKActivityIndicator.h"
#include "sharing/ui/SHKFormController.h"

#include <utility>

namespace {

constexpr double jpegQuality = 0.6;

void showCloseAlert(const std::string& title, const std::string& message)
{
    ui::AlertView::create(title, message, nullptr, SHKLocalizedText("Close"))->show();
}

std::string valueOrEmpty(const std::optional<std::string>& value)
{
    return value.value_or(std::string());
}

}

std::vector<fnd::Ref<SHKFormFieldSettings>> SHKEvernote::authorizationFormFields()
{
    return {
        SHKFormFieldSettings::create("Username", "username", FormFieldKind::TextNoCorrect, std::nullopt),
        SHKFormFieldSettings::create("Password", "password", FormFieldKind::Password, std::nullopt),
    };
}

std::optional<std::string> SHKEvernote::authorizationFormCaption()
{
    return SHKLocalizedText("Create a free account at %@", ServiceEndpoints::shared().url("evernote.signup"));
}

std::optional<std::vector<fnd::Ref<SHKFormFieldSettings>>> SHKEvernote::shareFormFieldsForType(SHKShareType)
{
    return std::vector<fnd::Ref<SHKFormFieldSettings>> {
        SHKFormFieldSettings::create(SHKLocalizedText("Title"), "title", FormFieldKind::Text, item()->title()),
        SHKFormFieldSettings::create(SHKLocalizedText("Tags"), "tags", FormFieldKind::Text, item()->tags()),
    };
}

std::shared_ptr<SHKEvernote> SHKEvernote::protectedEvernote()
{
    return std::static_pointer_cast<SHKEvernote>(protectedThis());
}

void SHKEvernote::handToMainThread(std::shared_ptr<SHKEvernote> sharer, std::function<void(SHKEvernote&)> work)
{
    // Both copies of the task share the hold, and the one that runs takes it.
    auto hold = std::make_shared<std::shared_ptr<SHKEvernote>>(std::move(sharer));
    fnd::RunLoop::main().performOnMainAndWait([hold, work = std::move(work)] {
        auto sharer = std::exchange(*hold, nullptr);
        if (sharer)
            work(*sharer);
    });
}

void SHKEvernote::showVersionRefused()
{
    fnd::RunLoop::main().post([] { showCloseAlert(SHKLocalizedText("EDMA Error"), SHKLocalizedText("EDMA Version is too old.")); });
}

void SHKEvernote::authorizationFormValidate(SHKFormController& form)
{
    if (!quiet())
        SHKActivityIndicator::currentIndicator().displayActivity(SHKLocalizedText("Logging In..."));
    setPendingForm(form.sharedAs<SHKFormController>());
    auto values = form.formValues();
    auto valueFor = [&](std::string_view key) {
        auto found = values.find(key);
        return found == values.end() ? std::string() : found->second;
    };
    fnd::Thread::detach("evernote login",
        [self = protectedEvernote(), service = EvernoteService::fromConfiguration(), username = valueFor("username"), password = valueFor("password")]() mutable {
            bool success = false;
            try {
                auto login = service.authenticate(username, password, showVersionRefused);
                success = login && login->__isset.user && login->__isset.authenticationToken;
            } catch (...) {
                // Any failure on the way is a failed login.
            }
            handToMainThread(std::move(self), [success](SHKEvernote& sharer) { sharer.authFinished(success); });
        });
}

void SHKEvernote::authFinished(bool success)
{
    SHKActivityIndicator::currentIndicator().hide();
    if (!success) {
        showAlert(SHKLocalizedText("Login Error"), SHKLocalizedText("Your username and password did not match"));
        return;
    }
    auto form = pendingForm();
    setPendingForm(nullptr);
    if (form)
        form->saveForm();
    authDidFinish(true);
}

EvernoteUpload::Share SHKEvernote::shareForUpload()
{
    auto& shared = *item();
    EvernoteUpload::Share share;
    share.service = EvernoteService::fromConfiguration();
    share.username = valueOrEmpty(getAuthValueForKey("username"));
    share.password = valueOrEmpty(getAuthValueForKey("password"));
    share.title = valueOrEmpty(shared.title());
    share.text = valueOrEmpty(shared.text());
    share.tags = valueOrEmpty(shared.tags());
    if (shared.URL())
        share.url = shared.URL()->absoluteString();
    if (auto& image = shared.image()) {
        if (auto jpeg = image->jpegRepresentation(jpegQuality)) {
            share.jpeg = jpeg->vector();
            share.imageWidth = image->size().width;
            share.imageHeight = image->size().height;
        }
    }
    if (auto& data = shared.data()) {
        share.file = data->vector();
        share.fileMimeType = shared.mimeType();
    }
    if (auto* evernoteItem = dynamic_cast<const SHKEvernoteItem*>(&shared)) {
        share.isEvernoteItem = true;
        if (auto note = evernoteItem->note())
            share.preparedNote = *note;
    }
    share.dtdAddress = ServiceEndpoints::shared().url("enml.dtd");
    share.untitled = SHKLocalizedText("Untitled");
    return share;
}

bool SHKEvernote::send()
{
    if (!validateItem())
        return false;
    sendDidStart();
    fnd::Thread::detach("evernote upload", [self = protectedEvernote(), share = shareForUpload()]() mutable {
        EvernoteUpload::Result result;
        try {
            result = EvernoteUpload::run(share, showVersionRefused);
        } catch (...) {
            result = {};
        }
        handToMainThread(std::move(self), [result](SHKEvernote& sharer) { sharer.sendFinished(result); });
    });
    return true;
}

void SHKEvernote::sendFinished(const EvernoteUpload::Result& result)
{
    if (result.success) {
        sendDidFinish();
        return;
    }
    if (result.shouldRelogin) {
        shouldReloginWithPendingAction(PendingActionSend);
        return;
    }
    auto message = result.errorMessage.empty() ? SHKLocalizedText("There was a problem sharing with Evernote") : result.errorMessage;
    sendDidFailWithError(SHK::error("%@", message));
}
