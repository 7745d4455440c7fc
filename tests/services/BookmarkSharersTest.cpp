#include "ServiceSharerTest.h"

#include "platform/foundation/Date.h"
#include "services/bookmarks/SHKDiigo.h"
#include "services/bookmarks/SHKGoogleReader.h"
#include "services/bookmarks/SHKInstapaper.h"
#include "services/bookmarks/SHKPinboard.h"
#include "services/bookmarks/SHKReadItLater.h"
#include "sharing/core/MySHKConfigurator.h"
#include "support/HttpForm.h"

#include <gtest/gtest.h>

namespace brenzo::testing {

namespace {

// A password with every character that ends or splits an address's user information.
constexpr std::string_view trickyPassword = "p/a@s&s?w#o:rd&amp;";

class BookmarkConfigurator : public MySHKConfigurator {
public:
    std::string diigoKey() const override { return "diigo-key"; }
    std::string readItLaterKey() const override { return "ril-key"; }
    std::string appName() const override { return "Brenzo & Co"; }
    std::string appURL() const override { return "http://brenzo.example/?from=app&x=1"; }
};

// What a peer receives as Basic authorisation, decoded.
std::optional<std::string> basicCredentials(const RecordedRequest& request)
{
    auto header = request.header("Authorization");
    auto credentials = header ? decodeBasicAuthorization(*header) : std::nullopt;
    if (!credentials)
        return std::nullopt;
    return credentials->user + ":" + credentials->password;
}

class BookmarkSharersTest : public ServiceSharerTest {
protected:
    BookmarkSharersTest()
        : ServiceSharerTest(std::make_shared<BookmarkConfigurator>(),
            { "instapaper", "pinboard", "diigo", "ril", "greader.login", "greader.api.http", "greader.api.https" })
    {
    }

    static fnd::Ref<SHKItem> linkItem()
    {
        auto item = SHKItem::createWithURL(fnd::URL::create("http://example.org/app?id=1&b=2"), std::string("Caf\xc3\xa9 & \"Co\""));
        item->setText("<b>Bold</b> note\nsecond line");
        item->setTags("phones \"best\"");
        return item;
    }

    static void storeLogin(std::string_view sharerId, std::string_view userKey, std::string_view user, std::string_view password)
    {
        SHK::setAuthValueForKeyForSharer(user, userKey, sharerId);
        SHK::setAuthValueForKeyForSharer(password, "password", sharerId);
    }
};

TEST_F(BookmarkSharersTest, InstapaperChecksTheLoginThenSavesTheLinkAtOnce)
{
    auto sharer = makeSharer<SHKInstapaper>(linkItem());
    sharer->share();
    logIn("joe@example.com", "pa:ss/w@rd");
    EXPECT_EQ(indicatorText(), "Logging In...");
    ASSERT_TRUE(waitFor(2, 3));

    auto sent = requests();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].method, "POST");
    EXPECT_EQ(sent[0].path, "/api/authenticate");
    EXPECT_EQ(sent[0].body, "username=joe%40example.com&password=pa:ss/w%40rd");
    EXPECT_EQ(sent[1].method, "POST");
    EXPECT_EQ(sent[1].path, "/api/add");
    EXPECT_EQ(sent[1].body,
        "url=http%3A%2F%2Fexample.org%2Fapp%3Fid%3D1%26b%3D2&title=Caf%C3%A9%20%26%20%22Co%22&selection=Bold%20%20note%0Asecond%20line"
        "&username=joe%40example.com&password=pa:ss/w%40rd");
    EXPECT_EQ(sent[1].header("Content-Type"), "application/x-www-form-urlencoded");
    // The save starts from the stored login before the login is reported done.
    EXPECT_EQ(events(), (std::vector<std::string> { "started", "auth yes", "finished" }));
    EXPECT_EQ(SHK::getAuthValueForKeyForSharer("password", "SHKInstapaper"), "pa:ss/w@rd");
}

TEST_F(BookmarkSharersTest, InstapaperRejectionsAndFailuresAreMappedByStatus)
{
    reply("/api/authenticate", { 403, "", std::nullopt });
    makeSharer<SHKInstapaper>(linkItem())->share();
    logIn("joe", "wrong");
    ASSERT_TRUE(waitFor(1, 1));
    auto shown = takeAlerts();
    reply("/api/authenticate", { 500, "", std::nullopt });
    press("Login");
    ASSERT_TRUE(waitFor(2, 2));
    shown.push_back(takeAlerts().at(0));
    EXPECT_EQ(shown, (std::vector<std::string> {
                                "Login Error: Sorry, Instapaper did not accept your credentials. Please try again. [Close]",
                                "Login Error: Sorry, Instapaper encountered an error. Please try again. [Close]",
                            }));
    EXPECT_EQ(events(), (std::vector<std::string> { "auth no", "auth no" }));
    EXPECT_FALSE(SHK::getAuthValueForKeyForSharer("username", "SHKInstapaper"));
    press("Cancel");

    storeLogin("SHKInstapaper", "username", "joe", "secret");
    std::vector<std::string> expected;
    for (auto [status, message] : std::vector<std::pair<int, std::string>> {
             { 500, "The service encountered an error. Please try again later." },
             { 404, "There was a problem saving to Instapaper." },
             { 401, "There was a problem saving to Instapaper." },
             { 403, "Could not authenticate you. Please relogin. relogin" },
         }) {
        reply("/api/add", { status, "", std::nullopt });
        ASSERT_TRUE(waitForOneMoreRequest([&] {
            makeSharer<SHKInstapaper>(linkItem())->share();
            expected.insert(expected.end(), { "started", "failed: " + message });
        }, 2)) << status;
        if (status != 403) {
            EXPECT_EQ(takeAlerts(), std::vector<std::string> { "Error: " + message + " [Close]" });
        }
    }
    EXPECT_EQ(std::vector<std::string>(events().begin() + 3, events().end()), expected);

    // The rejected save asked for a new login, after which it is sent again.
    reply("/api/add", { 201, "", std::nullopt });
    reply("/api/authenticate", { 200, "", std::nullopt });
    logIn("joe", "better");
    ASSERT_TRUE(waitFor(8, 14));
    EXPECT_EQ(requests()[6].path, "/api/authenticate");
    EXPECT_EQ(requests()[7].body.substr(requests()[7].body.find("&username=")), "&username=joe&password=better");
    EXPECT_EQ(std::vector<std::string>(events().end() - 3, events().end()), (std::vector<std::string> { "started", "auth yes", "finished" }));
}

TEST_F(BookmarkSharersTest, PinboardSendsTheLoginAsBasicAuthorisationThatDecodesExactly)
{
    auto sharer = makeSharer<SHKPinboard>(linkItem());
    sharer->share();
    logIn("joe@example.com", trickyPassword);
    ASSERT_TRUE(waitFor(1, 1));
    auto form = shownForm();
    ASSERT_TRUE(form);
    ASSERT_EQ(form->sections().size(), 2u);
    std::vector<std::string> keys;
    for (auto& row : form->sections()[0].rows)
        keys.push_back(row->key() + "=" + row->start().value_or("(none)"));
    EXPECT_EQ(keys, (std::vector<std::string> { "title=Caf\xc3\xa9 & \"Co\"", "tags=phones \"best\"", "text=<b>Bold</b> note\nsecond line", "shared=0" }));
    press("Send to Pinboard");
    ASSERT_TRUE(waitFor(2, 3));

    auto sent = requests();
    ASSERT_EQ(sent.size(), 2u);
    // Named a POST, but without a body the check goes out as a GET.
    EXPECT_EQ(sent[0].method, "GET");
    EXPECT_EQ(sent[0].path, "/v1/posts/get");
    EXPECT_EQ(sent[1].method, "GET");
    EXPECT_EQ(sent[1].path, "/v1/posts/add");
    EXPECT_EQ(sent[1].query,
        "url=http%3A%2F%2Fexample.org%2Fapp%3Fid%3D1%26b%3D2&description=Caf%C3%A9%20%26%20%22Co%22&tags=phones%20%22best%22"
        "&extended=%3Cb%3EBold%3C/b%3E%20note%0Asecond%20line&shared=no");
    for (auto& request : sent)
        EXPECT_EQ(basicCredentials(request), "joe@example.com:" + std::string(trickyPassword)) << request.path;
    EXPECT_EQ(events(), (std::vector<std::string> { "auth yes", "started", "finished" }));
}

TEST_F(BookmarkSharersTest, PinboardFailuresAskForANewLoginOrNameTheService)
{
    reply("/v1/posts/get", { 401, "", std::nullopt });
    makeSharer<SHKPinboard>(linkItem())->share();
    logIn("joe", "wrong");
    ASSERT_TRUE(waitFor(1, 1));
    EXPECT_EQ(takeAlerts(), (std::vector<std::string> { "Login Error: Invalid email or password. [Close]" }));
    press("Cancel");

    storeLogin("SHKPinboard", "username", "joe", "secret");
    for (int status : { 500, 401 }) {
        reply("/v1/posts/add", { status, "", std::nullopt });
        ASSERT_TRUE(waitForOneMoreRequest([&] {
            makeSharer<SHKPinboard>(linkItem())->share();
            press("Send to Pinboard");
        }, 2)) << status;
        if (status != 401)
            takeAlerts();
    }
    EXPECT_EQ(std::vector<std::string>(events().begin() + 2, events().end()), (std::vector<std::string> {
                                                                                   "started",
                                                                                   "failed: There was an error saving to Pinboard",
                                                                                   "started",
                                                                                   "failed: Could not authenticate you. Please relogin. relogin",
                                                                               }));
    // The new login is asked for at once.
    auto form = shownForm();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->title(), "Login");
}

TEST_F(BookmarkSharersTest, DiigoSendsItsKeyAndTheLoginAndNeedsTheBookmarkNamedInTheReply)
{
    reply("/api/v2/bookmarks", { 200, "[]", std::nullopt });
    auto sharer = makeSharer<SHKDiigo>(linkItem());
    sharer->share();
    logIn("joe@example.com", trickyPassword);
    ASSERT_TRUE(waitFor(1, 1));
    reply("/api/v2/bookmarks", { 200, "{\"message\":\"added 1 bookmark\"}", std::nullopt });
    press("Send to Diigo");
    ASSERT_TRUE(waitFor(2, 3));

    auto sent = requests();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].method, "GET");
    EXPECT_EQ(sent[0].path, "/api/v2/bookmarks");
    EXPECT_EQ(sent[0].query, "key=diigo-key&count=1&user=joe%40example.com");
    EXPECT_EQ(sent[1].method, "POST");
    EXPECT_EQ(sent[1].body,
        "key=diigo-key&url=http%3A%2F%2Fexample.org%2Fapp%3Fid%3D1%26b%3D2&title=Caf%C3%A9%20%26%20%22Co%22&tags=phones%20%22best%22"
        "&desc=%3Cb%3EBold%3C/b%3E%20note%0Asecond%20line&shared=no");
    for (auto& request : sent)
        EXPECT_EQ(basicCredentials(request), "joe@example.com:" + std::string(trickyPassword)) << request.path;
    EXPECT_EQ(events(), (std::vector<std::string> { "auth yes", "started", "finished" }));

    for (PeerReply saveReply : { PeerReply { 200, "rate limited", std::nullopt }, PeerReply { 200, "", std::nullopt }, PeerReply { 401, "", std::nullopt } }) {
        reply("/api/v2/bookmarks", saveReply);
        ASSERT_TRUE(waitForOneMoreRequest([&] {
            makeSharer<SHKDiigo>(linkItem())->share();
            press("Send to Diigo");
        }, 2));
        takeAlerts();
    }
    EXPECT_EQ(std::vector<std::string>(events().begin() + 3, events().end()), (std::vector<std::string> {
                                                                                   "started",
                                                                                   "failed: There was an error saving to Diigo",
                                                                                   "started",
                                                                                   "finished",
                                                                                   "started",
                                                                                   "failed: Could not authenticate you. Please relogin. relogin",
                                                                               }));
}

TEST_F(BookmarkSharersTest, DiigoLoginRejectionsNameTheService)
{
    makeSharer<SHKDiigo>(linkItem())->share();
    std::vector<std::string> shown;
    for (int status : { 401, 503 }) {
        reply("/api/v2/bookmarks", { status, "", std::nullopt });
        ASSERT_TRUE(waitForOneMoreRequest([&] {
            if (status == 401)
                logIn("joe", "wrong");
            else
                press("Login");
        }, 1));
        auto alerts = takeAlerts();
        shown.insert(shown.end(), alerts.begin(), alerts.end());
    }
    EXPECT_EQ(shown, (std::vector<std::string> {
                                "Login Error: Sorry, Diigo did not accept your credentials. Please try again. [Close]",
                                "Login Error: Sorry, Diigo encountered an error. Please try again. [Close]",
                            }));
}

TEST_F(BookmarkSharersTest, ReadItLaterSharesWithoutTheFormAndQuotesTitleAndTags)
{
    storeLogin("SHKReadItLater", "username", "joe", "pa&ss");
    makeSharer<SHKReadItLater>(linkItem())->share();
    ASSERT_TRUE(waitFor(1, 2));
    auto item = linkItem();
    item->setTags("");
    makeSharer<SHKReadItLater>(item)->share();
    ASSERT_TRUE(waitFor(2, 4));

    auto sent = requests();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].method, "POST");
    EXPECT_EQ(sent[0].path, "/v2/send");
    std::string expected = "apikey=ril-key&username=joe&password=pa%26ss"
                           "&new={\"0\":{\"url\":\"http%3A%2F%2Fexample.org%2Fapp%3Fid%3D1%26b%3D2\",\"title\":\"Caf%C3%A9%20%26%20%26quot;Co%26quot;\"}}";
    EXPECT_EQ(sent[0].body, expected + "&update_tags={\"0\":{\"url\":\"http%3A%2F%2Fexample.org%2Fapp%3Fid%3D1%26b%3D2\",\"tags\":\"phones%20%26quot;best%26quot;\"}}");
    EXPECT_EQ(sent[1].body, expected);
    // Decoded by the peer, the quotes are the service's entity and the JSON holds together.
    auto form = decodeForm(sent[0].body);
    EXPECT_EQ(formValue(form, "new"), "{\"0\":{\"url\":\"http://example.org/app?id=1&b=2\",\"title\":\"Caf\xc3\xa9 & &quot;Co&quot;\"}}");
    EXPECT_EQ(formValue(form, "update_tags"), "{\"0\":{\"url\":\"http://example.org/app?id=1&b=2\",\"tags\":\"phones &quot;best&quot;\"}}");
    EXPECT_EQ(events(), (std::vector<std::string> { "started", "finished", "started", "finished" }));

    reply("/v2/send", { 400, "", std::string("Missing 'url' & title") });
    makeSharer<SHKReadItLater>(linkItem())->share();
    ASSERT_TRUE(waitFor(3, 6));
    reply("/v2/send", { 401, "", std::string("Bad login") });
    makeSharer<SHKReadItLater>(linkItem())->share();
    ASSERT_TRUE(waitFor(4, 8));
    EXPECT_EQ(events()[5], "failed: Missing 'url' & title");
    EXPECT_EQ(events()[7], "failed: Could not authenticate you. Please relogin. relogin");
}

TEST_F(BookmarkSharersTest, ReadItLaterLoginShowsTheServiceErrorAsItStands)
{
    reply("/v2/auth", { 401, "", std::string("100% wrong: %@ %d") });
    makeSharer<SHKReadItLater>(linkItem())->share();
    logIn("joe", "pa&ss");
    ASSERT_TRUE(waitFor(1, 1));
    auto sent = requests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].path, "/v2/auth");
    EXPECT_EQ(sent[0].body, "apikey=ril-key&username=joe&password=pa%26ss");
    EXPECT_EQ(alertTexts(), (std::vector<std::string> { "Login Error: 100% wrong: %@ %d [Close]" }));
}

TEST_F(BookmarkSharersTest, GoogleReaderLogsInFetchesATokenAndPostsTheEscapedItem)
{
    reply("/accounts/ClientLogin", { 200, "SID=sid1\nLSID=lsid1\nAuth=auth1\nBroken=a=b\n", std::nullopt });
    reply("/reader/api/0/token", { 200, "tok/en", std::nullopt });
    auto sharer = makeSharer<SHKGoogleReader>(linkItem());
    sharer->share();
    logIn("joe@example.com", "pa&ss");
    ASSERT_TRUE(waitFor(1, 1));
    ASSERT_TRUE(sharer->session());
    EXPECT_EQ(*sharer->session(), (std::map<std::string, std::string> { { "Auth", "auth1" }, { "LSID", "lsid1" }, { "SID", "sid1" } }));
    auto before = static_cast<int64_t>(fnd::Date::now()->timeIntervalSince1970());
    press("Send to Google Reader");
    ASSERT_TRUE(waitFor(3, 3));

    auto sent = requests();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].method, "POST");
    EXPECT_EQ(sent[0].path, "/accounts/ClientLogin");
    EXPECT_EQ(sent[0].body, "service=reader&source=Sharing-Brenzo%20%26%20Co-0.2.1&Email=joe%40example.com&Passwd=pa%26ss&accountType=GOOGLE");
    EXPECT_EQ(sent[1].method, "GET");
    EXPECT_EQ(sent[1].path, "/reader/api/0/token");
    ASSERT_EQ(sent[1].query.rfind("ck=", 0), 0u);
    auto seconds = std::stoll(sent[1].query.substr(3));
    EXPECT_EQ(std::to_string(seconds), sent[1].query.substr(3));
    EXPECT_GE(seconds, before);
    EXPECT_EQ(sent[2].method, "POST");
    EXPECT_EQ(sent[2].path, "/reader/api/0/item/edit");
    EXPECT_EQ(sent[2].body,
        "T=tok/en&linkify=false&snippet=%3Cb%3EBold%3C/b%3E%20note%0Asecond%20line&srcTitle=Brenzo%20%26%20Co"
        "&srcUrl=http://brenzo.example/?from=app%26x=1&title=Caf%C3%A9%20%26%20%22Co%22&url=http%3A%2F%2Fexample.org%2Fapp%3Fid%3D1%26b%3D2&share=");
    for (size_t index : { 1u, 2u }) {
        EXPECT_EQ(sent[index].header("Cookie"), "Auth=auth1; LSID=lsid1; SID=sid1");
        EXPECT_EQ(sent[index].header("Authorization"), "GoogleLogin auth=auth1");
    }
    EXPECT_EQ(events(), (std::vector<std::string> { "auth yes", "started", "finished" }));
}

TEST_F(BookmarkSharersTest, GoogleReaderLoginErrorsAndRejectedTokens)
{
    makeSharer<SHKGoogleReader>(linkItem())->share();
    std::vector<std::string> shown;
    for (auto loginReply : { "Error=BadAuthentication\n", "Error=CaptchaRequired\nUrl=x\n", "Auth=a=b\n" }) {
        reply("/accounts/ClientLogin", { 403, loginReply, std::nullopt });
        ASSERT_TRUE(waitForOneMoreRequest([&] {
            if (m_server.requestCount() == 0)
                logIn("joe", "wrong");
            else
                press("Login");
        }, 1)) << loginReply;
        auto alerts = takeAlerts();
        shown.insert(shown.end(), alerts.begin(), alerts.end());
    }
    EXPECT_EQ(shown, (std::vector<std::string> {
                                "Login Error: Incorrect username and password [Close]",
                                "Login Error: CaptchaRequired [Close]",
                                "Login Error: There was an error logging into Google Reader [Close]",
                            }));

    // A stored login without a session logs in first; a rejected token asks for a new login
    // that resumes nothing.
    storeLogin("SHKGoogleReader", "email", "joe@example.com", "secret");
    reply("/accounts/ClientLogin", { 200, "Auth=auth2\n", std::nullopt });
    reply("/reader/api/0/token", { 401, "", std::nullopt });
    auto sharer = makeSharer<SHKGoogleReader>(linkItem());
    sharer->share();
    auto count = m_server.requestCount();
    press("Send to Google Reader");
    ASSERT_TRUE(waitFor(count + 2, events().size() + 3));
    auto sent = requests();
    EXPECT_EQ(sent[count].body, "service=reader&source=Sharing-Brenzo%20%26%20Co-0.2.1&Email=joe%40example.com&Passwd=secret&accountType=GOOGLE");
    EXPECT_EQ(sent[count + 1].path, "/reader/api/0/token");
    EXPECT_EQ(std::vector<std::string>(events().end() - 3, events().end()),
        (std::vector<std::string> { "started", "auth yes", "failed: Could not authenticate you. Please relogin. relogin" }));
    EXPECT_EQ(sharer->pendingAction(), SHKSharer::PendingActionNone);
}

}

}
