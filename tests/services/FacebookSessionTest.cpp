#include "FacebookTestSupport.h"

#include "platform/foundation/Date.h"
#include "platform/foundation/HTTPCookieStorage.h"
#include "platform/foundation/String.h"
#include "platform/ui/Application.h"
#include "platform/ui/Device.h"
#include "services/facebook/Facebook.h"

#include <gtest/gtest.h>

using namespace brenzo::testing;

namespace {

constexpr std::string_view appId = "517390286044913";

class RecordingSessionDelegate : public FBSessionDelegate {
public:
    void fbDidLogin() override { events.push_back("login"); }
    void fbDidNotLogin(bool cancelled) override { events.push_back(cancelled ? "cancelled" : "failed"); }
    void fbDidLogout() override { events.push_back("logout"); }
    void fbSessionInvalidated() override { events.push_back("invalidated"); }

    std::vector<std::string> events;
};

class RecordingRequestDelegate : public FBRequestDelegate {
public:
    void requestDidFailWithError(FBRequest&, const fnd::Ref<fnd::Error>&) override { done = true; }
    void requestDidLoad(FBRequest&, const fnd::Id&) override { done = true; }
    bool done = false;
};

class FacebookSessionTest : public FacebookTest {
protected:
    FacebookSessionTest()
    {
        m_server.http().Get("/me", [this](const httplib::Request& request, httplib::Response& response) {
            m_calls.record(request);
            response.set_header("Set-Cookie", "datr=abc; Path=/");
            response.set_content("{\"id\":\"7\",\"name\":\"Ann\"}", "application/json");
        });
        m_server.http().Post("/me/feed", [this](const httplib::Request& request, httplib::Response& response) {
            m_calls.record(request);
            response.status = 400;
            response.set_content("{\"error\":{\"type\":\"OAuthException\",\"code\":190}}", "application/json");
        });
        m_server.http().Get("/method/users.getInfo", [this](const httplib::Request& request, httplib::Response& response) {
            m_calls.record(request);
            response.set_content("[]", "application/json");
        });
        m_server.http().Get("/dialog/oauth", [this](const httplib::Request& request, httplib::Response& response) {
            m_calls.record(request);
            response.set_content("<html><title>Log in</title></html>", "text/html");
        });
        startServer();
    }

    std::shared_ptr<Facebook> session(std::optional<std::string> suffix = std::nullopt)
    {
        return Facebook::create(std::string(appId), std::move(suffix), m_delegate);
    }

    void logIn(Facebook& facebook)
    {
        facebook.setAccessToken("TOKEN");
        facebook.setExpirationDate(fnd::Date::now()->addingTimeInterval(60));
    }

    std::shared_ptr<RecordingSessionDelegate> m_delegate = std::make_shared<RecordingSessionDelegate>();
    CallLog m_calls;
};

}

TEST_F(FacebookSessionTest, ReturningAddressCompletesTheLoginWithItsExpiry)
{
    auto facebook = session();
    EXPECT_FALSE(facebook->handleOpenURL(*fnd::URL::create("fb123://authorize#access_token=T")));
    EXPECT_FALSE(facebook->handleOpenURL(*fnd::URL::create("http://example.com/fb517390286044913://authorize")));
    EXPECT_TRUE(m_delegate->events.empty());

    double now = fnd::Date::now()->timeIntervalSince1970();
    EXPECT_TRUE(facebook->handleOpenURL(*fnd::URL::create("fb517390286044913://authorize#access_token=AB%2FC&expires_in=3600")));
    EXPECT_EQ(facebook->accessToken(), "AB/C");
    ASSERT_TRUE(facebook->expirationDate());
    EXPECT_DOUBLE_EQ(facebook->expirationDate()->timeIntervalSince1970(), now + 3600);
    EXPECT_TRUE(facebook->isSessionValid());

    for (auto address : { "fb517390286044913://authorize#access_token=T&expires_in=0", "fb517390286044913://authorize?access_token=T&junk&=&x==y" }) {
        EXPECT_TRUE(facebook->handleOpenURL(*fnd::URL::create(address)));
        EXPECT_TRUE(facebook->expirationDate()->isEqual(*Facebook::distantFuture())) << address;
    }
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "login", "login", "login" }));

    // An expiry of exactly now is over.
    facebook->setExpirationDate(fnd::Date::now());
    EXPECT_FALSE(facebook->isSessionValid());
}

TEST_F(FacebookSessionTest, ReturningErrorsTellCancelledFromFailed)
{
    auto facebook = session();
    for (auto address : { "fb517390286044913://authorize?error=access_denied", "fb517390286044913://authorize", "fb517390286044913://authorize#",
             "fb517390286044913://authorize?error=access_denied&error_code=200", "fb517390286044913://authorize?error=other" })
        EXPECT_TRUE(facebook->handleOpenURL(*fnd::URL::create(address))) << address;
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "cancelled", "cancelled", "cancelled", "failed", "failed" }));
    EXPECT_FALSE(facebook->accessToken());

    auto pieces = Facebook::parseURLParams("a=1&&b&c=x%20y=z&=v");
    EXPECT_EQ(pieces, (std::vector<std::pair<std::string, std::string>> { { "a", "1" }, { "c", "x y" }, { "", "v" } }));
}

TEST_F(FacebookSessionTest, LoginGoesToTheApplicationThenTheBrowserThenTheDialog)
{
    auto& application = ui::Application::shared();
    application.setCanOpenScheme("fbauth", true);
    auto facebook = session();
    facebook->authorize({ "publish_stream", "offline_access" });
    ASSERT_EQ(openedURLs().size(), 1u);
    EXPECT_EQ(openedURLs().back(),
        "fbauth://authorize?client_id=517390286044913&type=user_agent&redirect_uri=fbconnect%3A%2F%2Fsuccess&display=touch&sdk=ios"
        "&scope=publish_stream%2Coffline_access");

    // The Facebook application answers that its service is off: the browser instead.
    EXPECT_TRUE(facebook->handleOpenURL(*fnd::URL::create("fb517390286044913://authorize?error=service_disabled_use_browser")));
    ASSERT_EQ(openedURLs().size(), 2u);
    EXPECT_EQ(openedURLs().back(), m_server.url("/dialog/oauth") + "?client_id=517390286044913&type=user_agent"
        "&redirect_uri=fb517390286044913%3A%2F%2Fauthorize&display=touch&sdk=ios&scope=publish_stream%2Coffline_access");

    // Turned off altogether: the in-app login page.
    EXPECT_TRUE(facebook->handleOpenURL(*fnd::URL::create("fb517390286044913://authorize?error=service_disabled")));
    EXPECT_EQ(openedURLs().size(), 2u);
    ASSERT_TRUE(facebook->loginDialog());
    EXPECT_EQ(facebook->loginDialog()->className(), "FBLoginDialog");
    EXPECT_EQ(facebook->loginDialog()->superview(), m_window);
    ASSERT_TRUE(settle([&] { return m_calls.count() == 1; }));
    EXPECT_EQ(m_calls.calls().front().param("redirect_uri"), "fbconnect://success");
    EXPECT_TRUE(m_delegate->events.empty());
}

TEST_F(FacebookSessionTest, SuffixAndMissingMultitaskingChooseTheirRoutes)
{
    ui::Application::shared().setCanOpenScheme("fbauth2", true);
    auto withSuffix = session("free");
    EXPECT_EQ(withSuffix->getOwnBaseUrl(), "fb517390286044913free://authorize");
    withSuffix->authorize({});
    ASSERT_EQ(openedURLs().size(), 1u);
    EXPECT_EQ(openedURLs().back(),
        "fbauth2://authorize?client_id=517390286044913&type=user_agent&redirect_uri=fbconnect%3A%2F%2Fsuccess&display=touch&sdk=ios&local_client_id=free");
    EXPECT_FALSE(withSuffix->handleOpenURL(*fnd::URL::create("fb517390286044913://authorize#access_token=T")));

    ui::Device::current().setMultitaskingSupported(false);
    auto facebook = session();
    facebook->authorize({ "publish_stream" });
    EXPECT_EQ(openedURLs().size(), 1u);
    ASSERT_TRUE(facebook->loginDialog());
    ASSERT_TRUE(settle([&] { return m_calls.count() == 1; }));
    auto call = m_calls.calls().front();
    EXPECT_EQ(call.path, "/dialog/oauth");
    EXPECT_EQ(call.param("scope"), "publish_stream");
    EXPECT_EQ(call.param("client_id"), "517390286044913");

    // The login page gave no lifetime: the token is kept as one that does not expire.
    facebook->fbDialogLogin("T2", nullptr);
    EXPECT_TRUE(facebook->isSessionValid());
    EXPECT_TRUE(facebook->expirationDate()->isEqual(*Facebook::distantFuture()));
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "login" }));
}

TEST_F(FacebookSessionTest, RequestsCarryTheSessionAndAFailureDropsIt)
{
    auto facebook = session();
    logIn(*facebook);
    auto delegate = std::make_shared<RecordingRequestDelegate>();

    auto me = facebook->requestWithGraphPath("me", delegate);
    EXPECT_EQ(facebook->openRequestCount(), 1u);
    ASSERT_TRUE(settle([&] { return delegate->done; }));
    EXPECT_EQ(facebook->openRequestCount(), 0u);
    EXPECT_EQ(me->state(), FBRequest::StateComplete);
    auto call = m_calls.calls().back();
    EXPECT_EQ(call.path, "/me");
    EXPECT_EQ(call.userAgent, "FacebookConnect");
    for (auto [name, value] : { std::pair { "format", "json" }, { "sdk", "ios" }, { "sdk_version", "2" }, { "access_token", "TOKEN" } })
        EXPECT_EQ(call.param(name), value) << name;
    EXPECT_FALSE(fnd::HTTPCookieStorage::shared()->cookies().empty());

    fnd::LogCapture log;
    EXPECT_FALSE(facebook->requestWithParams(fnd::MutableDictionary::create(), delegate));
    EXPECT_EQ(log.lines(), (std::vector<std::string> { "API Method must be specified" }));
    auto restParams = fnd::MutableDictionary::create();
    restParams->setObjectForKey(fnd::String::create("users.getInfo"), "method");
    delegate->done = false;
    facebook->requestWithParams(restParams, delegate);
    ASSERT_TRUE(settle([&] { return delegate->done; }));
    EXPECT_EQ(m_calls.calls().back().path, "/method/users.getInfo");
    EXPECT_EQ(m_calls.calls().back().param("method"), "<absent>");

    auto post = fnd::MutableDictionary::create();
    post->setObjectForKey(fnd::String::create("hello"), "message");
    delegate->done = false;
    auto feed = facebook->requestWithGraphPath("me/feed", post, "POST", delegate);
    ASSERT_TRUE(settle([&] { return delegate->done; }));
    call = m_calls.calls().back();
    EXPECT_EQ(call.param("message"), "hello");
    EXPECT_EQ(call.contentType, "multipart/form-data; boundary=3i2ndDfv2rTHiSisAbouNdArYfORhtTPEefj3q2f");
    ASSERT_EQ(call.parts.count("message"), 1u);
    EXPECT_EQ(call.parts.find("message")->second.content, "hello");

    EXPECT_EQ(feed->state(), FBRequest::StateError);
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "invalidated" }));
    EXPECT_FALSE(facebook->accessToken());
    EXPECT_EQ(facebook->openRequestCount(), 0u);
    EXPECT_TRUE(fnd::HTTPCookieStorage::shared()->cookies().empty());
}
