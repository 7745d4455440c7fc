#include "TwitterTest.h"

#include "platform/foundation/UserDefaults.h"
#include "platform/ui/TextView.h"
#include "platform/ui/WebView.h"
#include "sharing/core/SHKSharerClass.h"
#include "sharing/ui/SHKFormController.h"
#include "sharing/ui/SHKFormControllerLargeTextField.h"
#include "sharing/ui/SHKFormFieldCell.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"

using namespace brenzo::testing;

namespace {

class TwitterSharerTest : public TwitterTest {
protected:
    // Waits for the compose screen, checks it starts with the status, and sends what it holds
    // then (the given text when there is one).
    void composeAndSend(const std::string& expectedStatus, std::optional<std::string> edited = std::nullopt)
    {
        std::shared_ptr<SHKFormControllerLargeTextField> form;
        ASSERT_TRUE(waitFor([&] { return (form = shown<SHKFormControllerLargeTextField>()) != nullptr; }));
        EXPECT_EQ(form->textView()->text(), expectedStatus);
        EXPECT_EQ(form->maxTextLength(), 140u);
        if (edited)
            form->textView()->setText(*edited);
        form->save();
        settle();
    }

    // The same, then waits for the status to be posted and reported.
    void composeSendAndFinish(const std::string& expectedStatus)
    {
        auto posted = m_service.statuses().size();
        composeAndSend(expectedStatus);
        EXPECT_TRUE(waitFor([&] { return m_service.statuses().size() == posted + 1 && !m_delegate->events.empty() && m_delegate->events.back() == "finished"; }));
        EXPECT_EQ(m_service.statuses().back(), expectedStatus);
    }

    static std::shared_ptr<SHKFormFieldCell> cellAt(SHKFormController& form, int row)
    {
        form.tableView()->layoutIfNeeded();
        return std::dynamic_pointer_cast<SHKFormFieldCell>(form.tableView()->cellForRowAtIndexPath(ui::IndexPath::forRow(row, 0)));
    }

    static void type(SHKFormFieldCell& cell, std::string_view text)
    {
        auto field = cell.getTextField();
        ASSERT_TRUE(field->becomeFirstResponder());
        field->insertText(text);
    }

    static fnd::Ref<SHKItem> textItem(std::string text = "Hello from the board") { return SHKItem::createWithText(std::move(text)); }
    static fnd::Ref<SHKItem> linkItem(std::optional<std::string> title)
    {
        return SHKItem::createWithURL(fnd::URL::create("http://example.com/caf%C3%A9?q=a%20b"), std::move(title));
    }
    static std::optional<std::string> stored(std::string_view account) { return SHK::getAuthValueForKeyForSharer(account, "SHKTwitter"); }
};

}

TEST_F(TwitterSharerTest, WebLoginThenComposeSendsASignedStatus)
{
    auto sharer = makeSharer(textItem());
    EXPECT_FALSE(sharer->isAuthorized());
    sharer->share();
    auto view = waitForAuthorizePage();
    ASSERT_TRUE(view) << problems();
    EXPECT_EQ(view->webView()->shownPages().front().title, "Authorize Brenzo?");
    view->webView()->clickLink("/oauth/allow");

    composeAndSend("Hello from the board", "Edited on the compose screen");
    ASSERT_TRUE(waitForEvents(3));

    EXPECT_EQ(problems(), "");
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "auth yes", "started", "finished" }));
    EXPECT_EQ(m_service.statuses(), std::vector<std::string> { "Edited on the compose screen" });
    EXPECT_EQ(m_service.calls(), (std::vector<std::string> { "POST /oauth/request_token", "GET /oauth/authorize", "GET /oauth/allow",
                                     "POST /oauth/access_token", "POST /1/statuses/update.json" }));
    EXPECT_EQ(stored("accessKey"), "AT");
    EXPECT_EQ(stored("accessSecret"), "ATS");
    EXPECT_TRUE(alertTexts().empty());
}

TEST_F(TwitterSharerTest, EmptyCallbackAddressNeverEndsTheWebLogin)
{
    m_configuration->callbackURL = "";
    auto sharer = makeSharer(textItem());
    sharer->share();
    auto view = waitForAuthorizePage();
    ASSERT_TRUE(view);
    view->webView()->clickLink("/oauth/authorize?again=1");
    ASSERT_TRUE(waitFor([&] { return view->webView()->shownPages().size() == 2; }));

    EXPECT_EQ(shown<SHKOAuthView>(), view);
    EXPECT_EQ(m_service.calls(), (std::vector<std::string> { "POST /oauth/request_token", "GET /oauth/authorize", "GET /oauth/authorize" }));
    EXPECT_TRUE(m_delegate->events.empty());
}

TEST_F(TwitterSharerTest, XAuthExchangesThePasswordForATokenAndFollowsTheAccount)
{
    m_configuration->useXAuth = true;
    m_configuration->username = "brenzo_app";
    auto sharer = makeSharer(textItem());
    sharer->share();
    auto form = shown<SHKFormController>();
    ASSERT_TRUE(form);
    ASSERT_EQ(form->sections().front().rows.size(), 3u);
    EXPECT_EQ(form->sections().front().footer, "Create a free account at https://twitter.com/signup");
    type(*cellAt(*form, 0), "ann");
    type(*cellAt(*form, 1), "p&ss=word %");
    form->validateForm();

    composeAndSend("Hello from the board");
    ASSERT_TRUE(waitFor([&] { return m_service.statuses().size() == 1 && m_service.follows().size() == 1; }));
    ASSERT_TRUE(waitForEvents(3));

    EXPECT_EQ(problems(), "");
    ASSERT_EQ(m_service.accessTokenForms().size(), 1u);
    EXPECT_EQ(m_service.accessTokenForms().front(),
        (FormPairs { { "x_auth_username", "ann" }, { "x_auth_password", "p&ss=word %" }, { "x_auth_mode", "client_auth" } }));
    EXPECT_EQ(m_service.follows(), std::vector<std::string> { "brenzo_app" });
    EXPECT_FALSE(sharer->item()->customValueForKey("followMe"));
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "auth yes", "started", "finished" }));
}

TEST_F(TwitterSharerTest, RejectedXAuthLoginShowsTheServiceTextAsItIs)
{
    m_configuration->useXAuth = true;
    m_service.answer([](TwitterFakeService::Answers& answers) {
        answers.accessTokenStatus = 401;
        answers.accessTokenReply = "Invalid user %@ or password 100%";
    });
    auto sharer = makeSharer(textItem());
    sharer->share();
    auto form = shown<SHKFormController>();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->sections().front().rows.size(), 2u);
    type(*cellAt(*form, 0), "ann");
    form->validateForm();
    ASSERT_TRUE(waitFor([] { return !alertTexts().empty(); }));

    EXPECT_EQ(alertTexts(), std::vector<std::string> { "Access Error: Invalid user %@ or password 100% [Close]" });
    // The form stays for another try.
    EXPECT_EQ(shown<SHKFormController>(), form);
    EXPECT_TRUE(m_service.statuses().empty());
    EXPECT_FALSE(stored("accessKey"));
    form->cancel();
    settle();
    EXPECT_EQ(m_delegate->events, std::vector<std::string> { "cancelled" });
}

TEST_F(TwitterSharerTest, RejectedLoginWhileSendingAsksForANewLoginThenSendsAgain)
{
    storeLogin();
    m_service.answer([](TwitterFakeService::Answers& answers) {
        answers.statusReplyCode = 401;
        answers.statusReply = R"({"request":"/1/statuses/update.json","error":"Could not authenticate with OAuth."})";
        answers.nextStatusReplies = { { 200, R"({"id":2})" } };
    });
    auto sharer = makeSharer(textItem());
    sharer->share();
    composeAndSend("Hello from the board");

    // The new login is the web page again; the send resumes after it.
    auto view = waitForAuthorizePage();
    ASSERT_TRUE(view);
    ASSERT_GE(m_delegate->events.size(), 2u);
    EXPECT_EQ(m_delegate->events[1], "failed: sharing 1 Could not authenticate you. Please relogin. relogin");
    EXPECT_EQ(sharer->pendingAction(), SHKSharer::PendingActionSend);
    view->webView()->clickLink("/oauth/allow");
    ASSERT_TRUE(waitFor([&] { return m_service.statuses().size() == 2; }));
    ASSERT_TRUE(waitForEvents(5));

    EXPECT_EQ(problems(), "");
    EXPECT_EQ(m_service.statuses(), (std::vector<std::string> { "Hello from the board", "Hello from the board" }));
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "started", "failed: sharing 1 Could not authenticate you. Please relogin. relogin",
                                      "started", "auth yes", "finished" }));
    EXPECT_TRUE(alertTexts().empty());
}

TEST_F(TwitterSharerTest, UnsuccessfulRepliesMapToANewLoginOrATwitterError)
{
    struct Case {
        std::string reply;
        std::string event;
        SHKSharer::PendingAction pending;
    };
    const std::string relogin = "failed: sharing 1 Could not authenticate you. Please relogin. relogin";
    const std::vector<Case> cases = {
        { R"({"error":"Invalid / used nonce"})", relogin, SHKSharer::PendingActionSend },
        { R"({"request":"/x","error":"Status is a duplicate."})", "failed: Twitter 2 Status is a duplicate.", SHKSharer::PendingActionNone },
        { R"({"error":"100% %@ wrong"})", "failed: Twitter 2 100% %@ wrong", SHKSharer::PendingActionNone },
        { "<?xml version=\"1.0\"?><hash><code>401</code><error>Not authorized</error></hash>", relogin, SHKSharer::PendingActionSend },
        { "<?xml version=\"1.0\"?><hash><code>403</code></hash>", "failed: Twitter 2 Unknown Error", SHKSharer::PendingActionNone },
        { "Bad gateway", "failed: Twitter 2 Unknown Error", SHKSharer::PendingActionNone },
    };
    for (auto& entry : cases) {
        auto delegate = makeDelegate();
        // Only the report is looked at here, not the new login it asks for.
        delegate->loginAgain = false;
        auto sharer = makeSharer(textItem());
        sharer->setShareDelegate(delegate);
        sharer->handleUnsuccessfulTicket(fnd::Data::create(entry.reply));
        EXPECT_EQ(delegate->events, std::vector<std::string> { entry.event }) << entry.reply;
        EXPECT_EQ(sharer->pendingAction(), entry.pending) << entry.reply;
    }
}

TEST_F(TwitterSharerTest, PictureIsUploadedWithOAuthEchoThenLinkedFromTheStatus)
{
    storeLogin();
    auto sharer = makeSharer(SHKItem::createWithImage(solidImage(40, 30, 1, 0.5, 0), "Sunset"));
    sharer->share();
    auto form = shown<SHKFormControllerLargeTextField>();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->imageTextLength(), 25u);
    EXPECT_TRUE(form->image());
    composeAndSend("Sunset");
    ASSERT_TRUE(waitForEvents(3));

    EXPECT_EQ(problems(), "");
    EXPECT_EQ(m_service.uploadMessages(), std::vector<std::string> { "Sunset" });
    EXPECT_EQ(m_service.statuses(), std::vector<std::string> { "Sunset http://img.test/9" });
    EXPECT_EQ(m_service.calls(), (std::vector<std::string> { "POST /api/2/upload.xml", "POST /1/statuses/update.json" }));
    // The upload reports its start, and so does the send.
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "started", "started", "finished" }));
}

TEST_F(TwitterSharerTest, PictureUploadFailures)
{
    storeLogin();
    m_service.answer([](TwitterFakeService::Answers& answers) {
        answers.uploadStatus = 500;
    });
    auto refused = makeSharer(SHKItem::createWithImage(solidImage(4, 4, 0, 0, 0), "One"));
    refused->share();
    composeAndSend("One");
    ASSERT_TRUE(waitForEvents(3));
    EXPECT_EQ(m_delegate->events.back(), "failed: (no error)");

    SHK::resetForTesting();
    m_delegate->events.clear();
    m_service.answer([](TwitterFakeService::Answers& answers) {
        answers.uploadStatus = 200;
        answers.uploadReply = "<image><id>9</id></image>";
    });
    auto noLink = makeSharer(SHKItem::createWithImage(solidImage(4, 4, 0, 0, 0), "Two"));
    noLink->share();
    composeAndSend("Two");
    ASSERT_TRUE(waitForEvents(3));
    EXPECT_EQ(m_delegate->events.back(), "failed: Twitter 2 Unknown Error");
    EXPECT_TRUE(m_service.statuses().empty());
    EXPECT_EQ(problems(), "");
}

TEST_F(TwitterSharerTest, UserInfoIsFetchedWithoutAFormAndStoredWithNullsAsEmptyTexts)
{
    storeLogin();
    auto item = SHKItem::create();
    item->setShareType(SHKShareTypeUserInfoRequest);
    auto sharer = makeSharer(item);
    sharer->share();
    EXPECT_FALSE(shown<SHKFormControllerLargeTextField>());
    ASSERT_TRUE(waitForEvents(2));

    EXPECT_EQ(problems(), "");
    EXPECT_TRUE(sharer->quiet());
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "started", "finished" }));
    auto profile = fnd::UserDefaults::standardUserDefaults()->dictionaryForKey("kSHKTwitterUserInfo");
    ASSERT_TRUE(profile);
    EXPECT_EQ(profile->stringForKey("screen_name"), "brenzo");
    EXPECT_EQ(profile->stringForKey("location"), "");
    EXPECT_EQ(fnd::as<fnd::Dictionary>(profile->objectForKey("status"))->stringForKey("place"), "");

    SHKSharerClass::of<SHKTwitter>().logout();
    EXPECT_FALSE(fnd::UserDefaults::standardUserDefaults()->objectForKey("kSHKTwitterUserInfo"));
    EXPECT_FALSE(stored("accessKey"));
}

TEST_F(TwitterSharerTest, ShortenedLinkGoesIntoTheStatus)
{
    storeLogin();
    m_configuration->shortenerLogin = "brenzo";
    m_configuration->shortenerKey = "R_key";
    makeSharer(linkItem("Caf\xC3\xA9 news"))->share();
    composeSendAndFinish("Caf\xC3\xA9 news http://bit.ly/abc");

    auto shortening = m_service.server().requests().front();
    EXPECT_EQ(shortening.path, "/v3/shorten");
    EXPECT_EQ(shortening.query, "login=brenzo&apikey=R_key&longUrl=http%3A%2F%2Fexample.com%2Fcaf%25C3%25A9%3Fq%3Da%2520b&format=txt");

    SHK::resetForTesting();
    m_service.answer([](TwitterFakeService::Answers& answers) {
        answers.shortenerReply = "ALREADY_A_BITLY_LINK\r\n";
    });
    makeSharer(linkItem(std::nullopt))->share();
    // Without a title or a text, the link alone.
    composeSendAndFinish("http://example.com/caf\xC3\xA9?q=a b");
    EXPECT_TRUE(alertTexts().empty());
    EXPECT_EQ(problems(), "");
}

TEST_F(TwitterSharerTest, ShortenerFailureKeepsTheLongLinkAndNeverPostsTheErrorWord)
{
    storeLogin();
    m_configuration->shortenerLogin = "brenzo";
    m_configuration->shortenerKey = "R_key";
    m_service.answer([](TwitterFakeService::Answers& answers) {
        answers.shortenerStatus = 403;
        answers.shortenerReply = "RATE_LIMIT_EXCEEDED";
    });
    makeSharer(linkItem("News"))->share();
    ASSERT_TRUE(waitFor([] { return !alertTexts().empty(); }));
    EXPECT_EQ(alertTexts(), std::vector<std::string> { "Shorten URL Error: We could not shorten the URL. [Continue]" });
    composeSendAndFinish("News http://example.com/caf\xC3\xA9?q=a b");
}

TEST_F(TwitterSharerTest, WithoutAShortenerLoginTheLinkIsUsedAsItIs)
{
    storeLogin();
    m_configuration->shortenerKey = "R_key";
    makeSharer(linkItem("News"))->share();
    composeSendAndFinish("News http://example.com/caf\xC3\xA9?q=a b");
    EXPECT_EQ(m_service.calls(), std::vector<std::string> { "POST /1/statuses/update.json" });
}

TEST_F(TwitterSharerTest, StatusOverTheLimitIsNotSent)
{
    storeLogin();
    auto sharer = makeSharer(textItem());
    sharer->item()->setCustomValueForKey(std::string(140, 'x'), "status");
    EXPECT_TRUE(sharer->validateItemAfterUserEdit());
    // An emoji is two units of the limit.
    sharer->item()->setCustomValueForKey(std::string(139, 'x') + "\xF0\x9F\x98\x80", "status");
    EXPECT_FALSE(sharer->validateItemAfterUserEdit());
    EXPECT_FALSE(sharer->send());
    sharer->item()->setCustomValueForKey(std::nullopt, "status");
    EXPECT_FALSE(sharer->send());
    settle();
    EXPECT_TRUE(m_delegate->events.empty());
    EXPECT_TRUE(m_service.calls().empty());
}
