#include "FacebookTestSupport.h"

#include "platform/foundation/String.h"
#include "platform/foundation/URLError.h"
#include "platform/ui/Application.h"
#include "services/facebook/FBLoginDialog.h"
#include "services/facebook/Facebook.h"

#include <gtest/gtest.h>

using namespace brenzo::testing;

namespace {

class RecordingDialogDelegate : public FBDialogDelegate {
public:
    void dialogDidComplete(FBDialog&) override { events.push_back("complete"); }
    void dialogCompleteWithUrl(const fnd::Ref<fnd::URL>& url) override { events.push_back("completeWithUrl " + text(url)); }
    void dialogDidNotCompleteWithUrl(const fnd::Ref<fnd::URL>& url) override { events.push_back("notCompleteWithUrl " + text(url)); }
    void dialogDidNotComplete(FBDialog&) override { events.push_back("notComplete"); }
    void dialogDidFailWithError(FBDialog&, const fnd::Ref<fnd::Error>& error) override
    {
        events.push_back("failed " + std::to_string(error->code()) + " " + error->userInfo()->stringForKey("error_msg").value_or("-"));
    }
    bool dialogShouldOpenURLInExternalBrowser(FBDialog&, const fnd::Ref<fnd::URL>&) override { return opensLinks; }

    static std::string text(const fnd::Ref<fnd::URL>& url) { return url ? url->absoluteString() : "nil"; }

    std::vector<std::string> events;
    bool opensLinks = true;
};

class RecordingLoginDelegate : public FBLoginDialogDelegate {
public:
    void fbDialogLogin(const std::string& token, const fnd::Ref<fnd::Date>& expiry) override
    {
        events.push_back("login " + token);
        expirationDate = expiry;
    }
    void fbDialogNotLogin(bool cancelled) override { events.push_back(cancelled ? "cancelled" : "failed"); }

    std::vector<std::string> events;
    fnd::Ref<fnd::Date> expirationDate;
};

class FacebookDialogTest : public FacebookTest {
protected:
    FacebookDialogTest()
    {
        m_server.http().Get("/dialog/feed", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("<html><title>Post to Wall</title><a href='/help'>Help</a></html>", "text/html");
        });
        startServer();
    }

    std::shared_ptr<FBDialog> dialog()
    {
        auto params = fnd::MutableDictionary::create();
        params->setObjectForKey(fnd::String::create("a b"), "name");
        return FBDialog::create(m_server.url("/dialog/feed"), params, m_delegate);
    }

    static bool navigate(FBDialog& dialog, std::string_view address, ui::WebViewNavigationType type = ui::WebViewNavigationType::Other)
    {
        return dialog.shouldStartLoadWithRequest(*dialog.webView(), fnd::URLRequest(fnd::URL::create(address)), type);
    }

    std::shared_ptr<RecordingDialogDelegate> m_delegate = std::make_shared<RecordingDialogDelegate>();
};

}

TEST_F(FacebookDialogTest, RedirectsToFbconnectEndTheDialogOnce)
{
    auto succeeded = dialog();
    EXPECT_FALSE(navigate(*succeeded, "fbconnect://success?post_id=1"));
    EXPECT_FALSE(navigate(*succeeded, "fbconnect://success"));
    succeeded->cancel();
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "completeWithUrl fbconnect://success?post_id=1", "complete" }));

    m_delegate->events.clear();
    auto shortAddress = dialog();
    EXPECT_FALSE(navigate(*shortAddress, "fbconnect:x"));
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "completeWithUrl fbconnect:x", "complete" }));

    m_delegate->events.clear();
    auto cancelled = dialog();
    EXPECT_FALSE(navigate(*cancelled, "fbconnect://cancel"));
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "notCompleteWithUrl fbconnect://cancel", "notComplete" }));

    m_delegate->events.clear();
    auto failed = dialog();
    EXPECT_FALSE(navigate(*failed, "fbconnect://cancel?error_code=190&error_msg=Bad%20token"));
    failed->dismissWithSuccess(true, false);
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "failed 190 Bad token" }));

    m_delegate->events.clear();
    auto closed = dialog();
    closed->closeButton()->sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
    closed->cancel();
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "notCompleteWithUrl nil", "notComplete" }));
}

TEST_F(FacebookDialogTest, TappedLinksOpenOutsideUnlessTheDelegateRefuses)
{
    auto shown = dialog();
    shown->show();
    EXPECT_EQ(shown->loadingURL()->absoluteString(), m_server.url("/dialog/feed") + "?name=a%20b");
    ASSERT_TRUE(settle([&] { return !shown->webView()->shownPages().empty(); }));
    EXPECT_EQ(shown->superview(), m_window);
    EXPECT_EQ(shown->webView()->frame(), (gfx::Rect { 11, 11, 320 - 22, 460 - 21 }));
    EXPECT_EQ(shown->closeButton()->frame(), (gfx::Rect { 2, 2, 29, 29 }));
    EXPECT_TRUE(shown->spinner()->isHidden());

    EXPECT_TRUE(navigate(*shown, shown->loadingURL()->absoluteString(), ui::WebViewNavigationType::LinkClicked));
    EXPECT_TRUE(navigate(*shown, m_server.url("/elsewhere"), ui::WebViewNavigationType::FormSubmitted));
    m_delegate->opensLinks = false;
    EXPECT_FALSE(navigate(*shown, m_server.url("/help"), ui::WebViewNavigationType::LinkClicked));
    EXPECT_TRUE(openedURLs().empty());
    m_delegate->opensLinks = true;
    EXPECT_FALSE(navigate(*shown, m_server.url("/help"), ui::WebViewNavigationType::LinkClicked));
    EXPECT_EQ(openedURLs(), (std::vector<std::string> { m_server.url("/help") }));

    // Replaced and interrupted loads are not failures; anything else ends the dialog.
    shown->didFailLoadWithError(*shown->webView(), fnd::URLError::create(fnd::URLError::Cancelled, nullptr));
    shown->didFailLoadWithError(*shown->webView(), fnd::Error::create("WebKitErrorDomain", 102));
    EXPECT_TRUE(m_delegate->events.empty());
    shown->didFailLoadWithError(*shown->webView(), fnd::Error::create("NSURLErrorDomain", -1004));
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "failed -1004 -" }));
    ASSERT_TRUE(settle([&] { return !shown->superview(); }));
    EXPECT_FALSE(shown->modalBackground()->superview());
    EXPECT_FALSE(shown->loadingURL());
}

TEST_F(FacebookDialogTest, LoginPageReadsTheTokenAndItsLifetime)
{
    auto delegate = std::make_shared<RecordingLoginDelegate>();
    auto login = [&](std::string_view redirect) {
        auto dialog = FBLoginDialog::create(m_server.url("/dialog/oauth"), fnd::MutableDictionary::create(), delegate);
        EXPECT_FALSE(navigate(*dialog, redirect));
        EXPECT_TRUE(dialog->isDismissed());
        return dialog;
    };

    double now = fnd::Date::now()->timeIntervalSince1970();
    login("fbconnect://success#access_token=A%2BB&expires_in=60");
    EXPECT_DOUBLE_EQ(delegate->expirationDate->timeIntervalSince1970(), now + 60);
    login("fbconnect://success#access_token=C&expires_in=0");
    EXPECT_TRUE(delegate->expirationDate->isEqual(*Facebook::distantFuture()));
    login("fbconnect://success#access_token=D");
    EXPECT_FALSE(delegate->expirationDate);
    // No token: a cancelled login, reported once.
    login("fbconnect://success#access_token=&expires_in=0");
    login("fbconnect://cancel");
    auto failed = FBLoginDialog::create(m_server.url("/dialog/oauth"), fnd::MutableDictionary::create(), delegate);
    failed->didFailLoadWithError(*failed->webView(), fnd::URLError::create(fnd::URLError::Cancelled, nullptr));
    failed->didFailLoadWithError(*failed->webView(), fnd::Error::create("NSURLErrorDomain", -1001));
    failed->cancel();
    EXPECT_EQ(delegate->events, (std::vector<std::string> { "login A+B", "login C", "login D", "cancelled", "cancelled", "failed" }));
}

TEST(FacebookDialogLayoutTest, AddressesNeedlesAndSizes)
{
    auto params = fnd::MutableDictionary::create();
    EXPECT_EQ(FBDialog::generateURL("https://m.example/dialog/feed", params), "https://m.example/dialog/feed");
    params->setObjectForKey(fnd::String::create("fbconnect://success"), "redirect_uri");
    params->setObjectForKey(fnd::String::create("{\"a\":1}"), "actions");
    EXPECT_EQ(FBDialog::generateURL("https://m.example/dialog/feed", params),
        "https://m.example/dialog/feed?redirect_uri=fbconnect%3A%2F%2Fsuccess&actions=%7B%22a%22%3A1%7D");

    std::string redirect = "fbconnect://success#access_token=AAA%7Cb&expires_in=0";
    EXPECT_EQ(FBDialog::getStringFromUrl(redirect, "access_token="), "AAA|b");
    EXPECT_EQ(FBDialog::getStringFromUrl(redirect, "expires_in="), "0");
    EXPECT_FALSE(FBDialog::getStringFromUrl(redirect, "error_code="));

    gfx::Rect frame { 0, 20, 768, 1004 };
    EXPECT_EQ(FBDialog::frameForOrientation(frame, ui::InterfaceOrientation::Portrait, true), (gfx::Rect { 384 - 230, 522 - 301, 460, 602 }));
    EXPECT_EQ(FBDialog::frameForOrientation(frame, ui::InterfaceOrientation::LandscapeLeft, false), (gfx::Rect { 384 - 502, 522 - 384, 1004, 768 }));
}
