#include "RecordingSharerDelegate.h"
#include "SharingScreenTest.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/String.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/PressFinder.h"
#include "platform/ui/TableView.h"
#include "sharing/core/KeychainStore.h"
#include "sharing/core/MySHKConfigurator.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKSharer.h"
#include "sharing/core/SHKRequest.h"
#include "sharing/core/SHKSharerDelegate.h"
#include "sharing/ui/SHKActivityIndicator.h"
#include "sharing/ui/SHKCustomFormController.h"
#include "sharing/ui/SHKFormFieldCell.h"
#include "sharing/ui/SHKFormOptionController.h"
#include "support/LoopbackServer.h"

#include <functional>

using brenzo::testing::RecordingSharerDelegate;
using brenzo::testing::SharingScreenTest;

namespace {

// What the scripted sharer's class answers and how its instances behave; each test sets its own.
struct Script {
    std::string title = "Scripted";
    bool requiresAuthentication = true;
    bool needsInternet = true;
    bool canShareOffline = false;
    bool canAutoShare = true;
    std::optional<std::string> caption = "Create an account at example.org";
    // The login form is saved when validated.
    bool acceptLogin = true;
    // What send() does; by default it reports a start and a finish at once.
    std::function<bool(SHKSharer&)> send;
    int sendCount = 0;
    int logoutCount = 0;
};

Script& script()
{
    static Script current;
    return current;
}

class ScriptedSharer : public SHKSharer {
public:
    static constexpr std::string_view sharerClassName = "ScriptedSharer";

    static std::string sharerTitle() { return script().title; }
    static bool canShareText() { return true; }
    static bool canShareURL() { return true; }
    static bool requiresAuthentication() { return script().requiresAuthentication; }
    static bool shareRequiresInternetConnection() { return script().needsInternet; }
    static bool canShareOffline() { return script().canShareOffline; }
    static bool canAutoShare() { return script().canAutoShare; }
    static std::optional<std::string> authorizationFormCaption() { return script().caption; }
    static void logout(const SHKSharerClass& sharerClass)
    {
        ++script().logoutCount;
        SHKSharer::logout(sharerClass);
    }

    void authorizationFormValidate(SHKFormController& form) override
    {
        if (script().acceptLogin)
            form.saveForm();
    }

    bool send() override
    {
        ++script().sendCount;
        if (script().send)
            return script().send(*this);
        sendDidStart();
        sendDidFinish();
        return true;
    }

    // For the re-login of a service that had pushed an option screen over its share form.
    void recordOptionController(std::shared_ptr<SHKFormOptionController> controller) { m_curOptionController = std::move(controller); }
};

// A sharer of another class whose id is not its class name, answering everything by default.
class RenamedSharer : public SHKSharer {
public:
    static constexpr std::string_view sharerClassName = "RenamedSharer";
    static std::string sharerId(const SHKSharerClass&) { return "ScriptedSharer"; }
    static bool canShareImage() { return true; }
    static bool canGetUserInfo() { return true; }
};


class SHKSharerTest : public SharingScreenTest {
protected:
    explicit SHKSharerTest(std::shared_ptr<const DefaultSHKConfigurator> configurator = nullptr)
        : SharingScreenTest(std::move(configurator))
    {
        script() = Script();
        SHKSharerClass::registerSharer<ScriptedSharer>();
        m_notifications = fnd::NotificationCenter::defaultCenter().addObserver({}, nullptr, [this](const fnd::Notification& notification) {
            if (notification.name().rfind("SHK", 0) != 0 || notification.name() == SHK::hideCurrentViewFinishedNotification)
                return;
            std::string entry = notification.name();
            if (notification.userInfo())
                entry += " success=" + fnd::descriptionOf(notification.userInfo()->objectForKey("success"));
            if (notification.object() != m_observed)
                entry += " (another sender)";
            m_posted.push_back(std::move(entry));
        });
    }

    ~SHKSharerTest() override
    {
        m_notifications.remove();
        rt::ClassRegistry::shared().unregisterClass(ScriptedSharer::sharerClassName);
        script() = Script();
    }

    std::shared_ptr<SHKSharer> makeSharer(fnd::Ref<SHKItem> item = nullptr)
    {
        auto sharer = SHKSharer::create<ScriptedSharer>();
        sharer->setItem(item ? std::move(item) : urlItem());
        sharer->setShareDelegate(m_delegate);
        m_observed = sharer.get();
        return sharer;
    }

    static fnd::Ref<SHKItem> urlItem() { return SHKItem::createWithURL(fnd::URL::create("http://example.org/app?id=1"), std::string("Brenzo")); }

    static void storeLogin(std::string username = "joe", std::string password = "secret")
    {
        SHK::setAuthValueForKeyForSharer(username, "username", "ScriptedSharer");
        SHK::setAuthValueForKeyForSharer(password, "password", "ScriptedSharer");
    }

    static void press(std::string_view text) { ASSERT_EQ(ui::PressFinder::press(text).status, ui::PressFinder::Result::Status::Pressed) << text; }

    static std::string indicatorText()
    {
        auto& indicator = SHKActivityIndicator::currentIndicator();
        if (!indicator.superview() || indicator.alpha() <= 0)
            return "(hidden)";
        std::string text = indicator.centerMessageLabel() ? indicator.centerMessageLabel()->text() + " " : "";
        return text + (indicator.subMessageLabel() ? indicator.subMessageLabel()->text() : "");
    }

    std::shared_ptr<RecordingSharerDelegate> m_delegate = std::make_shared<RecordingSharerDelegate>(RecordingSharerDelegate::Failures::WithoutMessages);
    std::vector<std::string> m_posted;
    const void* m_observed = nullptr;
    fnd::ObserverToken m_notifications;
};

TEST_F(SHKSharerTest, ASharerIsMadeFromItsClassName)
{
    auto made = rt::ClassRegistry::shared().create<SHKSharer>("ScriptedSharer");
    ASSERT_TRUE(made);
    EXPECT_EQ(made->className(), "ScriptedSharer");
    EXPECT_TRUE(made->shareDelegate());
    EXPECT_EQ(made->item()->shareType(), SHKShareTypeUndefined);

    auto metaclass = SHKSharerMetaclass::named("ScriptedSharer");
    ASSERT_TRUE(metaclass);
    EXPECT_EQ(metaclass->sharerId(), "ScriptedSharer");
    EXPECT_EQ(metaclass->sharerTitle(), "Scripted");
    EXPECT_TRUE(metaclass->canShareType(SHKShareTypeText));
    EXPECT_FALSE(metaclass->canShareType(SHKShareTypeImage));
    EXPECT_FALSE(metaclass->canShareType(static_cast<SHKShareType>(9)));
    EXPECT_FALSE(SHKSharerClass::named("NoSuchSharer"));

    // What a class does not declare comes from the base.
    auto& renamed = SHKSharerClass::of<RenamedSharer>();
    EXPECT_EQ(renamed.sharerId(), "ScriptedSharer");
    EXPECT_TRUE(renamed.canShareType(SHKShareTypeUserInfoRequest));
    EXPECT_FALSE(renamed.canShareType(SHKShareTypeURL));
    EXPECT_TRUE(renamed.requiresAuthentication());
    auto fields = renamed.authorizationFormFields();
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[0]->key(), "username");
    EXPECT_EQ(fields[0]->type(), FormFieldKind::TextNoCorrect);
    EXPECT_EQ(fields[1]->key(), "password");
    EXPECT_EQ(fields[1]->type(), FormFieldKind::Password);
}

TEST_F(SHKSharerTest, AuthorisationNeedsOneStoredLoginField)
{
    auto& sharerClass = SHKSharerClass::of<ScriptedSharer>();
    EXPECT_FALSE(sharerClass.isServiceAuthorized());
    SHK::setAuthValueForKeyForSharer(std::string("only the password"), "password", "ScriptedSharer");
    EXPECT_TRUE(sharerClass.isServiceAuthorized());
    EXPECT_EQ(makeSharer()->getAuthValueForKey("password"), "only the password");

    sharerClass.logout();
    EXPECT_EQ(script().logoutCount, 1);
    EXPECT_FALSE(sharerClass.isServiceAuthorized());

    // A sharer that needs no login is authorised with nothing stored.
    script().requiresAuthentication = false;
    EXPECT_TRUE(makeSharer()->isAuthorized());
}

TEST_F(SHKSharerTest, AShareWithoutLoginAsksForItStoresItAndResumes)
{
    auto sharer = makeSharer();
    sharer->share();
    EXPECT_EQ(sharer->pendingAction(), SHKSharer::PendingActionShare);

    auto login = shownForm();
    ASSERT_TRUE(login);
    EXPECT_EQ(login->title(), "Login");
    EXPECT_EQ(login->navigationItem()->rightBarButtonItem()->displayTitle(), "Login");
    EXPECT_TRUE(login->autoSelect());
    ASSERT_EQ(login->sections().size(), 1u);
    auto& rows = login->sections()[0].rows;
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0]->key(), "username");
    EXPECT_EQ(rows[1]->key(), "password");
    EXPECT_EQ(login->sections()[0].footer, "Create an account at example.org");
    EXPECT_TRUE(cellAt(*login, 0)->getTextField()->isFirstResponder());

    type(*login, 0, "joe");
    type(*login, 1, "s3cret");
    press("Login");
    EXPECT_EQ(KeychainStore::passwordForServiceAccount("SHK_AUTH_ScriptedSharer", "username"), "joe");
    EXPECT_EQ(KeychainStore::passwordForServiceAccount("SHK_AUTH_ScriptedSharer", "password"), "s3cret");
    EXPECT_EQ(sharer->pendingAction(), SHKSharer::PendingActionNone);

    // Authorised now, the share goes on to its share form.
    auto shareForm = shownForm();
    ASSERT_TRUE(shareForm);
    EXPECT_NE(shareForm, login);
    EXPECT_EQ(shareForm->navigationItem()->rightBarButtonItem()->displayTitle(), "Send to Scripted");
    ASSERT_EQ(shareForm->sections().size(), 2u);
    EXPECT_EQ(shareForm->sections()[0].rows[0]->key(), "title");
    EXPECT_EQ(shareForm->sections()[0].rows[0]->start(), "Brenzo");
    EXPECT_EQ(shareForm->sections()[0].footer, "http://example.org/app?id=1");
    EXPECT_EQ(shareForm->sections()[1].rows[0]->key(), "autoShare");
    EXPECT_EQ(shareForm->sections()[1].rows[0]->type(), FormFieldKind::Switch);
    EXPECT_EQ(shareForm->sections()[1].rows[0]->start(), "0");
    EXPECT_EQ(shareForm->sections()[1].footer, "Enable auto share to skip this step in the future.");

    type(*shareForm, 0, " for phones");
    press("Send to Scripted");
    EXPECT_EQ(script().sendCount, 1);
    EXPECT_EQ(sharer->item()->title(), "Brenzo for phones");
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "started", "finished" }));
    EXPECT_EQ(indicatorText(), "\u2713 Saved!");
    settle();
    EXPECT_FALSE(SHK::currentHelper().currentView());
}

TEST_F(SHKSharerTest, TheAutoShareSwitchIsStoredAndTheNextShareSendsWithoutAForm)
{
    storeLogin();
    auto first = makeSharer();
    first->share();
    auto form = shownForm();
    ASSERT_TRUE(form);
    cellAt(*form, 0, 1)->toggle()->toggle();
    press("Send to Scripted");
    EXPECT_TRUE(fnd::UserDefaults::standardUserDefaults()->boolForKey("ScriptedSharer_shouldAutoShare"));
    EXPECT_EQ(script().sendCount, 1);
    settle();
    first = nullptr;

    auto second = makeSharer();
    EXPECT_TRUE(second->shouldAutoShare());
    second->share();
    EXPECT_EQ(script().sendCount, 2);
    EXPECT_FALSE(shownForm());

    // Shown again, the switch starts on.
    script().send = [](SHKSharer&) { return false; };
    auto third = makeSharer();
    third->share();
    form = shownForm();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->sections()[1].rows[0]->start(), "1");
    press("Cancel");
    settle();
}

TEST_F(SHKSharerTest, ATextItemHasNoShareFormAndSendsAtOnce)
{
    storeLogin();
    auto sharer = makeSharer(SHKItem::createWithText(std::string("hello")));
    sharer->share();
    EXPECT_EQ(script().sendCount, 1);
    EXPECT_FALSE(shownForm());
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "started", "finished" }));
}

TEST_F(SHKSharerTest, OfflineTheShareIsQueuedWhenTheSharerAllowsIt)
{
    storeLogin();
    setOnline(false);
    script().canShareOffline = true;
    auto sharer = makeSharer(SHKItem::createWithText(std::string("later")));
    EXPECT_TRUE(sharer->tryToSend());
    EXPECT_EQ(script().sendCount, 0);
    auto queue = SHK::getOfflineQueueList();
    ASSERT_TRUE(queue);
    ASSERT_EQ(queue->count(), 1u);
    auto entry = fnd::as<fnd::Dictionary>(queue->objectAtIndex(0));
    EXPECT_EQ(entry->stringForKey("sharer"), "ScriptedSharer");
    EXPECT_TRUE(alerts().empty());
    EXPECT_FALSE(sharer->isKeptAlive());
}

TEST_F(SHKSharerTest, OfflineOtherwiseTheUserIsToldAndNoFormFollows)
{
    storeLogin();
    setOnline(false);
    auto sharer = makeSharer();
    // Automatic sharing answers "under way", so no share form follows the alert.
    sharer->setShouldAutoShare(true);
    sharer->share();
    EXPECT_EQ(alertTexts(), (std::vector<std::string> { "Offline: You must be online in order to share with Scripted [Close]" }));
    EXPECT_FALSE(shownForm());
    EXPECT_EQ(script().sendCount, 0);
    EXPECT_FALSE(sharer->isKeptAlive());

    // Without a login, the login form is not offered offline.
    alerts().front()->pressButtonWithTitle("Close");
    settle();
    SHK::logoutOfService("ScriptedSharer");
    auto another = makeSharer();
    another->share();
    EXPECT_EQ(alertTexts(), (std::vector<std::string> { "Offline: You must be online to login to Scripted [Close]" }));
    EXPECT_FALSE(shownForm());
    EXPECT_EQ(another->pendingAction(), SHKSharer::PendingActionShare);
}

TEST_F(SHKSharerTest, AQuietSharerShowsNothing)
{
    storeLogin();
    setOnline(false);
    auto sharer = makeSharer(SHKItem::createWithText(std::string("quiet")));
    sharer->setQuiet(true);
    EXPECT_FALSE(sharer->tryToSend());
    EXPECT_TRUE(alerts().empty());

    setOnline(true);
    EXPECT_TRUE(sharer->tryToSend());
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "started", "finished" }));
    EXPECT_EQ(indicatorText(), "(hidden)");

    sharer->sendDidFailWithError(SHK::error("%@", "The service said no"));
    EXPECT_TRUE(alerts().empty());
}

TEST_F(SHKSharerTest, TheDefaultDelegateShowsProgressAndErrors)
{
    storeLogin();
    script().send = [](SHKSharer& sharer) {
        sharer.sendDidStart();
        return true;
    };
    auto sharer = makeSharer(SHKItem::createWithText(std::string("hello")));
    sharer->share();
    EXPECT_EQ(indicatorText(), "Saving to Scripted");
    sharer->sendDidFailWithError(SHK::error("%@", "Status is a duplicate."));
    EXPECT_EQ(indicatorText(), "(hidden)");
    EXPECT_EQ(alertTexts(), (std::vector<std::string> { "Error: Status is a duplicate. [Close]" }));
    EXPECT_EQ(sharer->lastError()->domain(), "sharing");

    alerts().front()->pressButtonWithTitle("Close");
    settle();
    sharer->setLastError(nullptr);
    SHKSharerDelegate().sharerFailedWithErrorShouldRelogin(*sharer, nullptr, false);
    EXPECT_EQ(alertTexts(), (std::vector<std::string> { "Error: There was an error while sharing [Close]" }));
}

TEST_F(SHKSharerTest, EveryReportPostsItsNotification)
{
    auto sharer = makeSharer();
    sharer->sendDidStart();
    sharer->sendDidFinish();
    sharer->sendDidCancel();
    sharer->setQuiet(true);
    sharer->sendDidFailWithError(nullptr);
    sharer->authDidFinish(true);
    sharer->authDidFinish(false);
    EXPECT_EQ(m_posted, (std::vector<std::string> { "SHKSendDidStartNotification", "SHKSendDidFinish", "SHKSendDidCancel", "SHKSendDidFailWithError",
                            "SHKAuthDidFinish success=1", "SHKAuthDidFinish success=0" }));
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "started", "finished", "cancelled", "failed", "auth yes", "auth no" }));
}

TEST_F(SHKSharerTest, ARejectedLoginAsksAgainAndThenResendsWithoutAnErrorAlert)
{
    storeLogin("joe", "old");
    script().send = [](SHKSharer& sharer) {
        sharer.sendDidStart();
        if (sharer.getAuthValueForKey("password") == "old")
            sharer.shouldReloginWithPendingAction(SHKSharer::PendingActionSend);
        else
            sharer.sendDidFinish();
        return true;
    };
    auto sharer = makeSharer(SHKItem::createWithText(std::string("hello")));
    sharer->share();
    EXPECT_EQ(script().sendCount, 1);
    EXPECT_EQ(sharer->pendingAction(), SHKSharer::PendingActionSend);
    EXPECT_TRUE(alerts().empty());
    EXPECT_EQ(sharer->lastError()->localizedDescription(), "Could not authenticate you. Please relogin.");
    EXPECT_EQ(m_posted, (std::vector<std::string> { "SHKSendDidStartNotification", "SHKSendDidFailWithError" }));

    auto login = shownForm();
    ASSERT_TRUE(login);
    EXPECT_EQ(login->title(), "Login");
    // The old values are not shown: the rows start empty and take new ones.
    type(*login, 0, "joe");
    type(*login, 1, "new");
    press("Login");
    EXPECT_EQ(script().sendCount, 2);
    EXPECT_EQ(sharer->pendingAction(), SHKSharer::PendingActionNone);
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "started", "failed relogin", "started", "finished" }));
    settle();
}

TEST_F(SHKSharerTest, AResumedSendThatAsksForAnotherLoginKeepsItsPendingAction)
{
    storeLogin("joe", "old");
    script().send = [](SHKSharer& sharer) {
        sharer.shouldReloginWithPendingAction(SHKSharer::PendingActionSend);
        return true;
    };
    auto sharer = makeSharer(SHKItem::createWithText(std::string("hello")));
    sharer->share();
    auto login = shownForm();
    ASSERT_TRUE(login);
    type(*login, 1, "still wrong");
    press("Login");
    // The send ran again and was refused again: it must still wait for the next login.
    EXPECT_EQ(script().sendCount, 2);
    EXPECT_EQ(sharer->pendingAction(), SHKSharer::PendingActionSend);
    ASSERT_TRUE(shownForm());
    press("Cancel");
    settle();
}

// A service whose login completes at once, as a stored token would.
class InstantLoginSharer : public SHKSharer {
public:
    static constexpr std::string_view sharerClassName = "InstantLoginSharer";
    static bool canShareText() { return true; }

    bool isAuthorized() override { return m_authorised; }
    void promptAuthorization() override
    {
        m_authorised = true;
        tryPendingAction();
    }
    bool send() override
    {
        ++script().sendCount;
        return false;
    }

private:
    bool m_authorised = false;
};

TEST_F(SHKSharerTest, AShareIsRecordedAsPendingBeforeTheLoginIsAskedFor)
{
    auto sharer = SHKSharer::create<InstantLoginSharer>();
    sharer->setItem(SHKItem::createWithText(std::string("hello")));
    sharer->share();
    EXPECT_EQ(script().sendCount, 1);
    EXPECT_EQ(sharer->pendingAction(), SHKSharer::PendingActionNone);
}

TEST_F(SHKSharerTest, SavingAnEmptiedLoginFieldForgetsTheStoredValue)
{
    storeLogin("joe", "old");
    script().requiresAuthentication = true;
    auto sharer = makeSharer();
    sharer->authorizationFormShow();
    auto login = shownForm();
    ASSERT_TRUE(login);
    type(*login, 0, "ann");
    press("Login");
    EXPECT_EQ(SHK::getAuthValueForKeyForSharer("username", "ScriptedSharer"), "ann");
    EXPECT_EQ(SHK::getAuthValueForKeyForSharer("password", "ScriptedSharer"), std::nullopt);
    settle();
}

TEST_F(SHKSharerTest, APendingRefreshOrSendIsTriedAgainOnce)
{
    storeLogin();
    auto sharer = makeSharer(SHKItem::createWithText(std::string("hello")));
    sharer->setPendingAction(SHKSharer::PendingActionRefreshToken);
    sharer->tryPendingAction();
    EXPECT_EQ(script().sendCount, 1);
    EXPECT_EQ(sharer->pendingAction(), SHKSharer::PendingActionNone);
    sharer->tryPendingAction();
    EXPECT_EQ(script().sendCount, 1);
}

TEST_F(SHKSharerTest, ASharerKeepsItselfOnlyWhileWorkIsPending)
{
    // Starts the work on a new sharer and lets go of it.
    auto start = [&](fnd::Ref<SHKItem> item, const std::function<void(SHKSharer&)>& work) {
        auto sharer = makeSharer(std::move(item));
        std::weak_ptr<SHKSharer> weakSharer = sharer;
        work(*sharer);
        return weakSharer;
    };
    auto share = [](SHKSharer& sharer) { sharer.share(); };
    auto text = [](std::string words) { return SHKItem::createWithText(std::move(words)); };
    storeLogin();

    // A send in flight holds the sharer until it reports.
    script().send = [](SHKSharer& sharer) {
        sharer.sendDidStart();
        return true;
    };
    auto sending = start(text("a"), share);
    ASSERT_FALSE(sending.expired());
    EXPECT_TRUE(sending.lock()->isKeptAlive());
    sending.lock()->sendDidFinish();
    EXPECT_TRUE(sending.expired());

    // A share form, then a login form, cancelled.
    script().send = nullptr;
    auto cancelled = start(urlItem(), share);
    ASSERT_TRUE(shownForm());
    EXPECT_FALSE(cancelled.expired());
    press("Cancel");
    settle();
    EXPECT_TRUE(cancelled.expired());

    SHK::logoutOfService("ScriptedSharer");
    auto loggingIn = start(urlItem(), share);
    ASSERT_TRUE(shownForm());
    press("Cancel");
    settle();
    EXPECT_TRUE(loggingIn.expired());
    EXPECT_EQ(m_delegate->events.back(), "cancelled");

    // A send that does not start, a queued share and an offline alert end the work too.
    storeLogin();
    script().send = [](SHKSharer&) { return false; };
    auto refused = start(text("b"), [](SHKSharer& sharer) { EXPECT_FALSE(sharer.tryToSend()); });
    EXPECT_TRUE(refused.expired());

    setOnline(false);
    script().canShareOffline = true;
    auto queued = start(text("c"), share);
    EXPECT_TRUE(queued.expired());
    script().canShareOffline = false;
    auto told = start(text("d"), share);
    EXPECT_TRUE(told.expired());
    press("Close");
    settle();

    // A failed login check ends the work; a failure that asks for a new login holds it again.
    setOnline(true);
    auto failing = start(urlItem(), [](SHKSharer& sharer) { sharer.authorizationFormShow(); });
    ASSERT_TRUE(shownForm());
    failing.lock()->authDidFinish(false);
    EXPECT_FALSE(failing.lock()->isKeptAlive());
    failing.lock()->shouldReloginWithPendingAction(SHKSharer::PendingActionNone);
    EXPECT_TRUE(failing.lock()->isKeptAlive());
    EXPECT_EQ(alertTexts(), (std::vector<std::string> { "Error: Could not authenticate you. Please relogin. [Close]" }));
    press("Close");
    ASSERT_TRUE(shownForm());
    press("Cancel");
    settle();
    EXPECT_TRUE(failing.expired());
}

// A service that posts the item's text and maps the reply's status as the bookmark services do.
class PostingSharer : public SHKSharer {
public:
    static constexpr std::string_view sharerClassName = "PostingSharer";
    static bool canShareText() { return true; }
    static bool requiresAuthentication() { return false; }

    bool send() override
    {
        auto body = "text=" + item()->text().value_or("");
        setRequest(SHKRequest::create(fnd::URL::create(address), body, sharedAs<PostingSharer>(), &PostingSharer::sendFinished, "POST", true));
        sendDidStart();
        return true;
    }

    void sendFinished(SHKRequest& request)
    {
        if (request.success())
            sendDidFinish();
        else if (request.response() && request.response()->statusCode() == 401)
            shouldReloginWithPendingAction(PendingActionSend);
        else
            sendDidFailWithError(SHK::error("%@", request.getResult().value_or("")));
    }

    static inline std::string address;
};

TEST_F(SHKSharerTest, ASharerWaitingForItsRequestNeedsNoOtherOwner)
{
    brenzo::testing::LoopbackServer server;
    server.http().Post("/add", [](const httplib::Request& request, httplib::Response& response) {
        response.status = request.body == "text=fail" ? 500 : 201;
        response.set_content(request.body == "text=fail" ? "Something broke" : "", "text/plain");
    });
    server.start();
    PostingSharer::address = server.url("/add");

    for (auto words : { "hello", "fail" }) {
        m_delegate->events.clear();
        auto sharer = SHKSharer::create<PostingSharer>();
        sharer->setShareDelegate(m_delegate);
        sharer->setItem(SHKItem::createWithText(std::string(words)));
        std::weak_ptr<SHKSharer> weakSharer = sharer;
        sharer->share();
        sharer = nullptr;
        ASSERT_FALSE(weakSharer.expired());
        EXPECT_EQ(indicatorText(), "Saving to ");
        ASSERT_TRUE(fnd::RunLoop::main().runUntil([&] { return weakSharer.expired(); }, 10)) << words;
        EXPECT_EQ(m_delegate->events.back(), words == std::string("fail") ? "failed" : "finished");
    }
    EXPECT_EQ(server.requestCount(), 2u);
    EXPECT_EQ(alertTexts(), (std::vector<std::string> { "Error: Something broke [Close]" }));
}

TEST_F(SHKSharerTest, AReloginOverAnOptionScreenTakesTheShareFormsValues)
{
    storeLogin();
    auto sharer = std::dynamic_pointer_cast<ScriptedSharer>(makeSharer());
    sharer->share();
    auto form = shownForm();
    ASSERT_TRUE(form);
    type(*form, 0, " edited");
    auto info = fnd::MutableDictionary::create();
    info->setObjectForKey(fnd::String::create("-1"), "curIndexes");
    info->setObjectForKey(fnd::Array::create({ fnd::String::create("Red") }), "itemsList");
    info->setObjectForKey(fnd::Number::yes(), "static");
    auto options = SHKFormOptionController::createWithOptionsInfoClient(SHKFormFieldSettings::create("A", "a", FormFieldKind::OptionPicker, std::nullopt, info),
        std::shared_ptr<SHKFormOptionControllerClient>(form));
    sharer->pushViewController(options, false);
    sharer->recordOptionController(options);

    sharer->shouldReloginWithPendingAction(SHKSharer::PendingActionShare);
    ASSERT_EQ(sharer->viewControllers().size(), 2u);
    EXPECT_EQ(sharer->viewControllers()[0], std::static_pointer_cast<ui::ViewController>(form));
    EXPECT_EQ(sharer->viewControllers()[1]->title(), "Login");
    EXPECT_EQ(sharer->item()->title(), "Brenzo edited");
    EXPECT_EQ(sharer->pendingAction(), SHKSharer::PendingActionShare);
    settle();
    m_time.advance(SHK::pendingViewDelay);
    settle();
    press("Cancel");
    settle();
}

TEST_F(SHKSharerTest, ClassLevelSharesFillTheirOwnItem)
{
    storeLogin();
    auto& sharerClass = SHKSharerClass::of<ScriptedSharer>();
    script().send = [](SHKSharer& sharer) {
        EXPECT_EQ(sharer.item()->shareType(), SHKShareTypeText);
        EXPECT_EQ(sharer.item()->text(), "words");
        return false;
    };
    auto sharer = sharerClass.shareText(std::string("words"));
    EXPECT_EQ(script().sendCount, 1);
    EXPECT_FALSE(sharer->isKeptAlive());

    script().send = nullptr;
    auto urlSharer = sharerClass.shareURL(fnd::URL::create("http://example.org/"), std::string("Example"));
    EXPECT_EQ(urlSharer->item()->shareType(), SHKShareTypeURL);
    EXPECT_EQ(urlSharer->item()->title(), "Example");
    ASSERT_TRUE(shownForm());
    press("Cancel");
    settle();

    auto info = sharerClass.getUserInfo();
    EXPECT_EQ(info->item()->shareType(), SHKShareTypeUserInfoRequest);
    // The scripted service cannot answer for the account.
    EXPECT_FALSE(info->validateItem());
}

TEST_F(SHKSharerTest, TheItemIsCheckedForWhatItsTypeNeeds)
{
    auto sharer = makeSharer();
    auto image = brenzo::testing::solidImage(2, 2, 1, 0, 0);
    for (auto [item, valid] : std::vector<std::pair<fnd::Ref<SHKItem>, bool>> { { SHKItem::create(), false }, { SHKItem::createWithURL(nullptr), false },
             { urlItem(), true }, { SHKItem::createWithText(std::nullopt), false }, { SHKItem::createWithImage(image), true },
             { SHKItem::createWithFile(nullptr, std::string("a.txt"), std::nullopt, std::nullopt), false },
             { SHKItem::createWithFile(fnd::Data::create("x"), std::string("a.txt"), std::nullopt, std::nullopt), true } }) {
        sharer->setItem(item);
        EXPECT_EQ(sharer->validateItem(), valid) << item->description();
    }
}

class NoAutoShareConfigurator : public MySHKConfigurator {
public:
    bool allowAutoShare() const override { return false; }
};

class SHKSharerWithoutAutoShareTest : public SHKSharerTest {
protected:
    SHKSharerWithoutAutoShareTest()
        : SHKSharerTest(std::make_shared<NoAutoShareConfigurator>())
    {
    }
};

TEST_F(SHKSharerWithoutAutoShareTest, TheFormIsAlwaysShownAndHasNoAutoShareSwitch)
{
    storeLogin();
    auto sharer = makeSharer();
    sharer->setShouldAutoShare(true);
    sharer->share();
    auto form = shownForm();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->sections().size(), 1u);
    EXPECT_EQ(script().sendCount, 0);
    press("Send to Scripted");
    EXPECT_EQ(script().sendCount, 1);
    settle();
}

}
