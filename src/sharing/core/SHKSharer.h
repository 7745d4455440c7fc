#pragma once

#include "platform/foundation/Error.h"
#include "platform/ui/NavigationController.h"
#include "sharing/core/SHKItem.h"
#include "sharing/core/SHKSharerClass.h"
#include "sharing/ui/SHKFormFieldSettings.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class SHKFormController;
class SHKFormOptionController;
class SHKRequest;
class SHKSharerDelegate;

// The base of every sharer: one share from start to end. share() authorises (or shows the login
// form and remembers the share as pending), then sends at once when the user switched automatic
// sharing on, or shows the share form; sending checks the network and falls back to the offline
// queue; the outcome is reported to the share delegate and posted as a notification. The sharer is
// a navigation controller onto which it pushes its own forms; the sharing helper presents it.
//
// A service derives from it and overrides what differs:
// - class-level answers, as static members of the same names (see SHKSharerClass): sharerTitle,
//   sharerId, canShareText, canShareURL, canShareImage, canShareFile, canGetUserInfo,
//   shareRequiresInternetConnection, canShareOffline, requiresAuthentication, canAutoShare,
//   canShare, authorizationFormFields, authorizationFormCaption and logout; it also declares
//   `static constexpr std::string_view sharerClassName`;
// - instance operations: send() above all, and as needed isAuthorized(), promptAuthorization(),
//   authorizationFormValidate(), shareFormFieldsForType(), show(), shouldAutoShare()...
//
// Sharers are made with SHKSharer::create<Sharer>() or through their class, and nobody needs to
// keep them: a sharer keeps itself alive while a form, a login or a send is pending, and lets go on
// every path that ends its work (a report, a cancel, a queued or refused send).
class SHKSharer : public ui::NavigationController {
public:
    enum PendingAction : int32_t {
        PendingActionNone = 0,
        PendingActionShare = 1,
        PendingActionRefreshToken = 2,
        PendingActionSend = 3,
    };

    static constexpr std::string_view sharerClassName = "SHKSharer";

    // Posted on the default notification centre with the sharer as sender.
    static constexpr std::string_view sendDidStartNotification = "SHKSendDidStartNotification";
    static constexpr std::string_view sendDidFinishNotification = "SHKSendDidFinish";
    static constexpr std::string_view sendDidFailWithErrorNotification = "SHKSendDidFailWithError";
    static constexpr std::string_view sendDidCancelNotification = "SHKSendDidCancel";
    // Its user information holds "success", a boolean number.
    static constexpr std::string_view authDidFinishNotification = "SHKAuthDidFinish";

    // A new sharer of the type with the default delegate and an empty item.
    template<typename Sharer>
    static std::shared_ptr<Sharer> create()
    {
        auto sharer = std::make_shared<Sharer>();
        sharer->m_class = SHKSharerClass::pointerOf<Sharer>().get();
        sharer->init();
        return sharer;
    }

    SHKSharer();
    ~SHKSharer() override;

    // Class-level answers: the defaults every sharer starts from. A subclass hides the ones it changes.
    static std::string sharerTitle() { return {}; }
    // The id that favourites, credentials and the offline queue use: the class name.
    static std::string sharerId(const SHKSharerClass& sharerClass) { return sharerClass.className(); }
    static bool canShareText() { return false; }
    static bool canShareURL() { return false; }
    static bool canShareImage() { return false; }
    static bool canShareFile() { return false; }
    static bool canGetUserInfo() { return false; }
    static bool shareRequiresInternetConnection() { return true; }
    static bool canShareOffline() { return true; }
    static bool requiresAuthentication() { return true; }
    static bool canAutoShare() { return true; }
    // Whether the service is usable on this device.
    static bool canShare() { return true; }
    // "Username" (uncorrected text) and "Password".
    static std::vector<fnd::Ref<SHKFormFieldSettings>> authorizationFormFields();
    // The login form's footer.
    static std::optional<std::string> authorizationFormCaption() { return std::nullopt; }
    // Forgets every stored login-form value.
    static void logout(const SHKSharerClass&);

    // This sharer's class: ask it for the title, id and capabilities.
    const SHKSharerClass& sharerClass() const;
    std::string_view className() const override;

    // The user's automatic-sharing switch for this sharer ("<id>_shouldAutoShare").
    virtual bool shouldAutoShare();
    void setShouldAutoShare(bool);
    // Moves this sharer to the front of the item type's favourites, then takes the item.
    void loadItem(fnd::Ref<SHKItem>);

    // The flow.
    virtual void share();
    // Authorised when no login is needed or any login-form field has a stored value.
    virtual bool isAuthorized();
    // True when authorised; otherwise asks for the login and answers false.
    bool authorize();
    // The login form when online (or the service needs no network); else an "Offline" alert.
    virtual void promptAuthorization();
    std::optional<std::string> getAuthValueForKey(std::string_view key) const;

    void authorizationFormShow();
    // Checks the entered values; when they are good, tells the form to save. The base does nothing.
    virtual void authorizationFormValidate(SHKFormController&);
    // Stores the values (an empty one removes the stored value), then resumes the pending action.
    void authorizationFormSave(SHKFormController&);
    void authorizationFormCancel(SHKFormController&);

    // The share form, or straight to sending when there are no share-form fields.
    virtual void show();
    // Nothing means no share form. The base asks a URL's title.
    virtual std::optional<std::vector<fnd::Ref<SHKFormFieldSettings>>> shareFormFieldsForType(SHKShareType);
    virtual void shareFormValidate(SHKFormController&);
    virtual void shareFormSave(SHKFormController&);
    void shareFormCancel(SHKFormController&);
    // "title", "text" and "tags" go to the item, every other value becomes a custom value.
    void updateItemWithForm(SHKFormController&);

    // Whether the item holds what its type needs.
    virtual bool validateItem();
    // Sends when the network allows; offline, queues the share or says so. Answers whether the
    // share is under way (an "Offline" alert counts, so that no form follows it).
    bool tryToSend();
    // Starts sending; answers whether it started. The base never sends.
    virtual bool send();
    // Runs what waited for the login: the share, or the send.
    void tryPendingAction();

    // Reports, each posted first and then told to the share delegate.
    void sendDidStart();
    void sendDidFinish();
    void sendDidCancel();
    // A service whose server rejected the stored login: remembers what to resume and reports a
    // failure that asks for a new login.
    void shouldReloginWithPendingAction(PendingAction);
    void sendDidFailWithError(fnd::Ref<fnd::Error>);
    void sendDidFailWithErrorShouldRelogin(fnd::Ref<fnd::Error>, bool shouldRelogin);
    void authDidFinish(bool success);

    bool shouldAutorotateToInterfaceOrientation(ui::InterfaceOrientation) const override { return true; }
    void viewDidDisappear(bool animated) override;

    // Retained.
    const std::shared_ptr<SHKSharerDelegate>& shareDelegate() const { return m_shareDelegate; }
    void setShareDelegate(std::shared_ptr<SHKSharerDelegate> delegate) { m_shareDelegate = std::move(delegate); }
    const fnd::Ref<SHKItem>& item() const { return m_item; }
    void setItem(fnd::Ref<SHKItem> item) { m_item = std::move(item); }
    // A login form a service keeps while it checks the entered details with its server.
    const std::shared_ptr<SHKFormController>& pendingForm() const { return m_pendingForm; }
    void setPendingForm(std::shared_ptr<SHKFormController> form) { m_pendingForm = std::move(form); }
    // The service's request in flight.
    const std::shared_ptr<SHKRequest>& request() const { return m_request; }
    void setRequest(std::shared_ptr<SHKRequest> request) { m_request = std::move(request); }
    const fnd::Ref<fnd::Error>& lastError() const { return m_lastError; }
    void setLastError(fnd::Ref<fnd::Error> error) { m_lastError = std::move(error); }
    // A quiet sharer shows no alert and no indicator message.
    bool quiet() const { return m_quiet; }
    void setQuiet(bool quiet) { m_quiet = quiet; }
    PendingAction pendingAction() const { return m_pendingAction; }
    void setPendingAction(PendingAction action) { m_pendingAction = action; }

    // Whether the sharer holds itself because work is pending.
    bool isKeptAlive() const { return static_cast<bool>(m_self); }

protected:
    // Sets up a new sharer; subclasses that override it call it first.
    virtual void init();
    // Holds the sharer until stopKeepingAlive(): for work that ends in a callback.
    void keepAlive();
    void stopKeepingAlive();
    // Keeps the sharer alive for the rest of the calling operation.
    std::shared_ptr<SHKSharer> protectedThis();
    void presentForm(const std::shared_ptr<SHKFormController>&);
    void showAlert(const std::string& title, const std::string& message);

    // An option picker pushed over the share form, popped when a new login is needed.
    std::shared_ptr<SHKFormOptionController> m_curOptionController;

private:
    void postNotification(std::string_view name, fnd::Ref<fnd::Dictionary> userInfo = nullptr);
    std::string shouldAutoShareKey() const;

    const SHKSharerClass* m_class = nullptr;
    std::shared_ptr<SHKSharerDelegate> m_shareDelegate;
    fnd::Ref<SHKItem> m_item;
    std::shared_ptr<SHKFormController> m_pendingForm;
    std::shared_ptr<SHKRequest> m_request;
    fnd::Ref<fnd::Error> m_lastError;
    std::atomic<bool> m_quiet { false };
    std::atomic<PendingAction> m_pendingAction { PendingActionNone };
    std::shared_ptr<SHKSharer> m_self;
};

#include "sharing/core/SHKSharerClassFor.h"
