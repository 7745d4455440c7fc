#include "sharing/core/SHKSharer.h"

#include "platform/foundation/Assertion.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKConfiguration.h"
#include "sharing/core/SHKLocalizedText.h"
#include "sharing/core/SHKRequest.h"
#include "sharing/core/SHKSharerDelegate.h"
#include "sharing/ui/SHKCustomFormController.h"
#include "sharing/ui/SHKFormOptionController.h"

namespace {

constexpr const char* sourceFile = "Classes/Sharing/Classes/Sharing/Core/Base Sharer Classes/SHKSharer";

const DefaultSHKConfigurator& configuration()
{
    return SHKConfiguration::sharedInstance()->configurator();
}

bool autoShareAllowed()
{
    return configuration().allowAutoShare();
}

}

SHKSharer::SHKSharer() = default;

SHKSharer::~SHKSharer() = default;

void SHKSharer::init()
{
    m_shareDelegate = std::make_shared<SHKSharerDelegate>();
    m_item = SHKItem::create();
    setModalPresentationStyle(SHK::modalPresentationStyle());
    setModalTransitionStyle(SHK::modalTransitionStyle());
}

const SHKSharerClass& SHKSharer::sharerClass() const
{
    return m_class ? *m_class : SHKSharerClass::of<SHKSharer>();
}

std::string_view SHKSharer::className() const
{
    return sharerClass().className();
}

std::vector<fnd::Ref<SHKFormFieldSettings>> SHKSharer::authorizationFormFields()
{
    return {
        SHKFormFieldSettings::create(SHKLocalizedText("Username"), "username", FormFieldKind::TextNoCorrect, std::nullopt),
        SHKFormFieldSettings::create(SHKLocalizedText("Password"), "password", FormFieldKind::Password, std::nullopt),
    };
}

void SHKSharer::logout(const SHKSharerClass& sharerClass)
{
    auto sharerId = sharerClass.sharerId();
    for (auto& field : sharerClass.authorizationFormFields())
        SHK::removeAuthValueForKeyForSharer(field->key(), sharerId);
}

std::shared_ptr<SHKSharer> SHKSharer::protectedThis()
{
    return sharedAs<SHKSharer>();
}

void SHKSharer::keepAlive()
{
    m_self = protectedThis();
}

void SHKSharer::stopKeepingAlive()
{
    m_self = nullptr;
}

std::string SHKSharer::shouldAutoShareKey() const
{
    return fnd::format("%@_shouldAutoShare", sharerClass().sharerId());
}

bool SHKSharer::shouldAutoShare()
{
    return fnd::UserDefaults::standardUserDefaults()->boolForKey(shouldAutoShareKey());
}

void SHKSharer::setShouldAutoShare(bool shouldAutoShare)
{
    fnd::UserDefaults::standardUserDefaults()->setBoolForKey(shouldAutoShare, shouldAutoShareKey());
}

void SHKSharer::loadItem(fnd::Ref<SHKItem> item)
{
    if (item)
        SHK::pushOnFavoritesForType(sharerClass().sharerId(), item->shareType());
    setItem(std::move(item));
}

void SHKSharer::share()
{
    auto protect = protectedThis();
    if (!isAuthorized()) {
        // Recorded first: an authorisation that completes at once resumes the share.
        setPendingAction(PendingActionShare);
        promptAuthorization();
        return;
    }
    if (autoShareAllowed() && shouldAutoShare() && tryToSend())
        return;
    show();
}

bool SHKSharer::isAuthorized()
{
    auto& myClass = sharerClass();
    if (!myClass.requiresAuthentication())
        return true;
    for (auto& field : myClass.authorizationFormFields()) {
        if (getAuthValueForKey(field->key()))
            return true;
    }
    return false;
}

bool SHKSharer::authorize()
{
    if (isAuthorized())
        return true;
    promptAuthorization();
    return false;
}

void SHKSharer::promptAuthorization()
{
    auto protect = protectedThis();
    if (!sharerClass().shareRequiresInternetConnection() || SHK::connected()) {
        authorizationFormShow();
        return;
    }
    stopKeepingAlive();
    if (!quiet())
        showAlert(SHKLocalizedText("Offline"), SHKLocalizedText("You must be online to login to %@", sharerClass().sharerTitle()));
}

std::optional<std::string> SHKSharer::getAuthValueForKey(std::string_view key) const
{
    return SHK::getAuthValueForKeyForSharer(key, sharerClass().sharerId());
}

void SHKSharer::presentForm(const std::shared_ptr<SHKFormController>& form)
{
    keepAlive();
    pushViewController(form, false);
    SHK::currentHelper().showViewController(protectedThis());
}

void SHKSharer::authorizationFormShow()
{
    auto protect = protectedThis();
    auto form = SHKCustomFormController::create(ui::TableViewStyle::Grouped, SHKLocalizedText("Login"), SHKLocalizedText("Login"));
    form->addSection(sharerClass().authorizationFormFields(), std::nullopt, sharerClass().authorizationFormCaption());
    form->setDelegate(protect, &SHKSharer::authorizationFormValidate, &SHKSharer::authorizationFormSave, &SHKSharer::authorizationFormCancel);
    form->setAutoSelect(true);
    presentForm(form);
}

void SHKSharer::authorizationFormValidate(SHKFormController&)
{
}

void SHKSharer::authorizationFormSave(SHKFormController& form)
{
    auto protect = protectedThis();
    auto values = form.formValues();
    auto sharerId = sharerClass().sharerId();
    if (!form.sections().empty()) {
        for (auto& row : form.sections().front().rows) {
            if (!row)
                continue;
            auto value = values.find(row->key());
            // Saving an emptied field forgets the old value rather than silently keeping it.
            if (value == values.end() || value->second.empty())
                SHK::removeAuthValueForKeyForSharer(row->key(), sharerId);
            else
                SHK::setAuthValueForKeyForSharer(value->second, row->key(), sharerId);
        }
    }
    tryPendingAction();
}

void SHKSharer::authorizationFormCancel(SHKFormController&)
{
    sendDidCancel();
}

void SHKSharer::show()
{
    auto protect = protectedThis();
    auto fields = shareFormFieldsForType(m_item->shareType());
    if (!fields) {
        tryToSend();
        return;
    }
    auto& myClass = sharerClass();
    auto form = SHKCustomFormController::create(ui::TableViewStyle::Grouped, std::string(), SHKLocalizedText("Send to %@", myClass.sharerTitle()));
    std::optional<std::string> footer;
    if (m_item->URL())
        footer = m_item->URL()->absoluteString();
    form->addSection(std::move(*fields), std::nullopt, std::move(footer));
    if (autoShareAllowed() && myClass.canAutoShare()) {
        auto autoShare = SHKFormFieldSettings::create(SHKLocalizedText("Auto Share"), "autoShare", FormFieldKind::Switch, shouldAutoShare() ? "1" : "0");
        form->addSection({ autoShare }, std::nullopt, SHKLocalizedText("Enable auto share to skip this step in the future."));
    }
    form->setDelegate(protect, &SHKSharer::shareFormValidate, &SHKSharer::shareFormSave, &SHKSharer::shareFormCancel);
    presentForm(form);
}

std::optional<std::vector<fnd::Ref<SHKFormFieldSettings>>> SHKSharer::shareFormFieldsForType(SHKShareType type)
{
    if (type != SHKShareTypeURL)
        return std::nullopt;
    return std::vector<fnd::Ref<SHKFormFieldSettings>> {
        SHKFormFieldSettings::create(SHKLocalizedText("Title"), "title", FormFieldKind::Text, m_item->title()),
    };
}

void SHKSharer::shareFormValidate(SHKFormController& form)
{
    form.saveForm();
}

void SHKSharer::shareFormSave(SHKFormController& form)
{
    auto protect = protectedThis();
    updateItemWithForm(form);
    if (autoShareAllowed() && sharerClass().canAutoShare()) {
        auto values = form.formValuesForSection(1);
        auto autoShare = values.find("autoShare");
        if (autoShare != values.end())
            setShouldAutoShare(autoShare->second == "1");
    }
    tryToSend();
}

void SHKSharer::shareFormCancel(SHKFormController&)
{
    sendDidCancel();
}

void SHKSharer::updateItemWithForm(SHKFormController& form)
{
    for (auto& [key, value] : form.formValues()) {
        if (key == "title")
            m_item->setTitle(value);
        else if (key == "text")
            m_item->setText(value);
        else if (key == "tags")
            m_item->setTags(value);
        else
            m_item->setCustomValueForKey(value, key);
    }
}

bool SHKSharer::validateItem()
{
    switch (m_item->shareType()) {
    case SHKShareTypeURL:
        return static_cast<bool>(m_item->URL());
    case SHKShareTypeText:
        return m_item->text().has_value();
    case SHKShareTypeImage:
        return static_cast<bool>(m_item->image());
    case SHKShareTypeFile:
        return static_cast<bool>(m_item->data());
    case SHKShareTypeUserInfoRequest:
        return sharerClass().canGetUserInfo();
    default:
        return false;
    }
}

bool SHKSharer::tryToSend()
{
    auto protect = protectedThis();
    auto& myClass = sharerClass();
    if (!myClass.shareRequiresInternetConnection() || SHK::connected()) {
        // Held until the send reports; a send that does not start ends the work here.
        keepAlive();
        bool started = send();
        if (!started)
            stopKeepingAlive();
        return started;
    }
    stopKeepingAlive();
    if (configuration().allowOffline() && myClass.canShareOffline())
        return SHK::addToOfflineQueueForSharer(*m_item, myClass.sharerId());
    if (quiet())
        return false;
    showAlert(SHKLocalizedText("Offline"), SHKLocalizedText("You must be online in order to share with %@", myClass.sharerTitle()));
    return true;
}

bool SHKSharer::send()
{
    return false;
}

void SHKSharer::tryPendingAction()
{
    auto protect = protectedThis();
    // Reset before running, so that a new pending action set by what runs is kept.
    switch (m_pendingAction.exchange(PendingActionNone)) {
    case PendingActionShare:
        share();
        break;
    case PendingActionRefreshToken:
    case PendingActionSend:
        tryToSend();
        break;
    default:
        stopKeepingAlive();
        break;
    }
}

void SHKSharer::postNotification(std::string_view name, fnd::Ref<fnd::Dictionary> userInfo)
{
    fnd::NotificationCenter::defaultCenter().post(std::string(name), this, std::move(userInfo));
}

void SHKSharer::sendDidStart()
{
    auto protect = protectedThis();
    postNotification(sendDidStartNotification);
    if (auto delegate = m_shareDelegate)
        delegate->sharerStartedSending(*this);
}

void SHKSharer::sendDidFinish()
{
    auto protect = protectedThis();
    stopKeepingAlive();
    postNotification(sendDidFinishNotification);
    if (auto delegate = m_shareDelegate)
        delegate->sharerFinishedSending(*this);
}

void SHKSharer::sendDidCancel()
{
    auto protect = protectedThis();
    stopKeepingAlive();
    postNotification(sendDidCancelNotification);
    if (auto delegate = m_shareDelegate)
        delegate->sharerCancelledSending(*this);
}

void SHKSharer::shouldReloginWithPendingAction(PendingAction action)
{
    auto protect = protectedThis();
    if (action == PendingActionShare && m_curOptionController) {
        popViewControllerAnimated(false);
        m_curOptionController = nullptr;
        auto form = std::dynamic_pointer_cast<SHKCustomFormController>(topViewController());
        if (FND_ASSERT_AT_LINE(form, sourceFile, 738, "topViewController must be SHKCustomFormController now!"))
            updateItemWithForm(*form);
    }
    setPendingAction(action);
    sendDidFailWithErrorShouldRelogin(SHK::error("%@", SHKLocalizedText("Could not authenticate you. Please relogin.")), true);
}

void SHKSharer::sendDidFailWithError(fnd::Ref<fnd::Error> error)
{
    sendDidFailWithErrorShouldRelogin(std::move(error), false);
}

void SHKSharer::sendDidFailWithErrorShouldRelogin(fnd::Ref<fnd::Error> error, bool shouldRelogin)
{
    auto protect = protectedThis();
    m_lastError = std::move(error);
    // A new login, when asked for, holds the sharer again.
    stopKeepingAlive();
    postNotification(sendDidFailWithErrorNotification);
    if (auto delegate = m_shareDelegate)
        delegate->sharerFailedWithErrorShouldRelogin(*this, m_lastError, shouldRelogin);
}

void SHKSharer::authDidFinish(bool success)
{
    auto protect = protectedThis();
    if (!success)
        stopKeepingAlive();
    postNotification(authDidFinishNotification, fnd::Dictionary::create({ { fnd::String::create("success"), fnd::Number::withBool(success) } }));
    if (auto delegate = m_shareDelegate)
        delegate->sharerAuthDidFinishSuccess(*this, success);
}

void SHKSharer::viewDidDisappear(bool animated)
{
    NavigationController::viewDidDisappear(animated);
    SHK::currentHelper().viewWasDismissed();
}

void SHKSharer::showAlert(const std::string& title, const std::string& message)
{
    ui::AlertView::create(title, message, nullptr, SHKLocalizedText("Close"))->show();
}
