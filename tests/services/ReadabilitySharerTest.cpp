#include "ServiceSharerTest.h"

#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Switch.h"
#include "services/readability/SHKReadability.h"
#include "sharing/core/MySHKConfigurator.h"
#include "sharing/core/SHKOAuthSharer.h"
#include "support/HttpForm.h"
#include "support/OAuth1Checker.h"

#include <gtest/gtest.h>

namespace brenzo::testing {

namespace {

constexpr std::string_view consumerSecret = "consumer&secret";
constexpr std::string_view tokenSecret = "token/secret";

class ReadabilityConfigurator : public MySHKConfigurator {
public:
    std::string readabilityConsumerKey() const override { return "consumer-key"; }
    std::string readabilitySecret() const override { return std::string(consumerSecret); }
};

class ReadabilitySharerTest : public ServiceSharerTest {
protected:
    ReadabilitySharerTest()
        : ServiceSharerTest(std::make_shared<ReadabilityConfigurator>(), { "readability.api" })
    {
        reply("/api/rest/v1/oauth/access_token/", { 200, "oauth_token=access-key&oauth_token_secret=token%2Fsecret", std::nullopt });
        reply("/api/rest/v1/bookmarks/", { 202, "", std::nullopt });
    }

    static fnd::Ref<SHKItem> linkItem() { return SHKItem::createWithURL(fnd::URL::create("http://example.org/read?id=1&b=2"), std::string("Reading")); }

    static void storeToken()
    {
        SHK::setAuthValueForKeyForSharer("access-key", SHKOAuthSharer::accessKeyAccount, "SHKReadability");
        SHK::setAuthValueForKeyForSharer(tokenSecret, SHKOAuthSharer::accessSecretAccount, "SHKReadability");
    }

    // A share that goes out without its form, from the stored token.
    void shareAtOnce()
    {
        auto sharer = makeSharer<SHKReadability>(linkItem());
        sharer->setShouldAutoShare(true);
        sharer->share();
    }

    static OAuth1Result checkSignature(const RecordedRequest& request, std::string_view secret)
    {
        return OAuth1Checker(std::string(consumerSecret), std::string(secret)).check(OAuth1Request::from(request));
    }
};

TEST_F(ReadabilitySharerTest, LogsInWithTheFormsDetailsAndSendsTheSwitchesOfThatSameShare)
{
    auto sharer = makeSharer<SHKReadability>(linkItem());
    sharer->share();
    logIn("joe@example.com", "p&ss word");
    ASSERT_TRUE(waitFor(1, 1));

    auto form = shownForm();
    ASSERT_TRUE(form);
    ASSERT_EQ(form->sections().front().rows.size(), 2u);
    EXPECT_EQ(form->sections().front().rows[0]->key(), "favorite");
    EXPECT_EQ(form->sections().front().rows[1]->key(), "archive");
    cellAt(*form, 0)->toggle()->setOn(true);
    press("Send to Readability");
    ASSERT_TRUE(waitFor(2, 3));

    auto sent = requests();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].method, "POST");
    EXPECT_EQ(sent[0].path, "/api/rest/v1/oauth/access_token/");
    EXPECT_EQ(sent[0].body, "x_auth_username=joe%40example.com&x_auth_password=p%26ss%20word&x_auth_mode=client_auth");
    auto login = checkSignature(sent[0], "");
    EXPECT_TRUE(login.ok) << login.reason;
    EXPECT_EQ(login.parameter("oauth_consumer_key"), "consumer-key");
    EXPECT_FALSE(login.parameter("oauth_token"));

    EXPECT_EQ(sent[1].method, "POST");
    EXPECT_EQ(sent[1].path, "/api/rest/v1/bookmarks/");
    EXPECT_EQ(decodeForm(sent[1].body), (FormPairs { { "url", "http://example.org/read?id=1&b=2" }, { "favorite", "1" }, { "archive", "0" } }));
    auto bookmark = checkSignature(sent[1], tokenSecret);
    EXPECT_TRUE(bookmark.ok) << bookmark.reason;
    EXPECT_EQ(bookmark.parameter("oauth_token"), "access-key");

    EXPECT_EQ(events(), (std::vector<std::string> { "auth yes", "started", "finished" }));
    EXPECT_TRUE(fnd::UserDefaults::standardUserDefaults()->boolForKey("SHKReadability_isFavorite"));
    EXPECT_FALSE(fnd::UserDefaults::standardUserDefaults()->boolForKey("SHKReadability_shouldArchive"));
    EXPECT_EQ(SHK::getAuthValueForKeyForSharer("accessSecret", "SHKReadability"), std::string(tokenSecret));
}

TEST_F(ReadabilitySharerTest, ARejectedLoginShowsTheServicesTextAsItStands)
{
    reply("/api/rest/v1/oauth/access_token/", { 401, "Invalid %@ login for %d", std::nullopt });
    makeSharer<SHKReadability>(linkItem())->share();
    logIn("joe", "wrong");
    ASSERT_TRUE(waitUntil([] { return !alertTexts().empty(); }));
    EXPECT_EQ(alertTexts(), (std::vector<std::string> { "Access Error: Invalid %@ login for %d [Close]" }));
    EXPECT_FALSE(SHK::getAuthValueForKeyForSharer("accessKey", "SHKReadability"));
    auto form = shownForm();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->title(), "Login");
}

TEST_F(ReadabilitySharerTest, UnsuccessfulRepliesAreMappedFromTheirText)
{
    storeToken();
    std::vector<std::pair<PeerReply, std::string>> cases = {
        { { 409, "{\"success\":1}", std::nullopt }, "finished" },
        { { 400, "{\"success\":0,\"messages\":[\"Bad URL\",\"Other\"]}", std::nullopt }, "failed: Bad URL" },
        { { 400, "{\"messages\":{\"url\":[\"Invalid address\"]}}", std::nullopt }, "failed: Invalid address" },
        { { 400, "{\"messages\":{\"title\":[\"Too long\"]}}", std::nullopt }, "failed: (no error)" },
        { { 500, "not json", std::nullopt }, "failed: (no error)" },
    };
    for (auto& [peerReply, outcome] : cases) {
        reply("/api/rest/v1/bookmarks/", peerReply);
        ASSERT_TRUE(waitForOneMoreRequest([&] {
            shareAtOnce();
        }, 2)) << peerReply.body;
        EXPECT_EQ(events().back(), outcome) << peerReply.body;
        takeAlerts();
    }
}

TEST_F(ReadabilitySharerTest, AnUnauthenticatedReplyAsksForANewLoginAndSendsAgain)
{
    storeToken();
    reply("/api/rest/v1/bookmarks/", { 401, "{\"messages\":[\"unauthenticated\"]}", std::nullopt });
    shareAtOnce();
    ASSERT_TRUE(waitFor(1, 2));
    EXPECT_EQ(events().back(), "failed: Could not authenticate you. Please relogin. relogin");
    auto form = shownForm();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->title(), "Login");
    form->cancel();

    // A reply that is not text at all counts as a rejected login too.
    reply("/api/rest/v1/bookmarks/", { 500, std::string("\xff\xfe not text", 11), std::nullopt });
    shareAtOnce();
    ASSERT_TRUE(waitFor(2, 5));
    EXPECT_EQ(events().back(), "failed: Could not authenticate you. Please relogin. relogin");

    reply("/api/rest/v1/bookmarks/", { 200, "", std::nullopt });
    logIn("joe", "again");
    ASSERT_TRUE(waitFor(4, 8));
    auto sent = requests();
    EXPECT_EQ(sent[2].path, "/api/rest/v1/oauth/access_token/");
    EXPECT_EQ(sent[3].path, "/api/rest/v1/bookmarks/");
    EXPECT_EQ(std::vector<std::string>(events().end() - 3, events().end()), (std::vector<std::string> { "started", "auth yes", "finished" }));
}

TEST_F(ReadabilitySharerTest, ALinkShareWithoutAnAddressIsNotSent)
{
    storeToken();
    auto item = linkItem();
    item->setURL(nullptr);
    auto sharer = makeSharer<SHKReadability>(item);
    ASSERT_TRUE(sharer->isAuthorized());
    EXPECT_FALSE(sharer->send());
    settle();
    EXPECT_EQ(m_server.requestCount(), 0u);
    EXPECT_TRUE(events().empty());
}

}

}
