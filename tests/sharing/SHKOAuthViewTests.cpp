#include "platform/foundation/RunLoop.h"
#include "platform/foundation/String.h"
#include "platform/foundation/URLError.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/NavigationItem.h"
#include "sharing/core/SHK.h"
#include "sharing/ui/SHKOAuthView.h"
#include "sharing/ui/SHKOAuthViewDelegate.h"
#include "support/LoopbackServer.h"
#include "support/VirtualTime.h"

#include <gtest/gtest.h>

#include <atomic>

using brenzo::testing::LoopbackServer;
using brenzo::testing::VirtualTime;

namespace {

class RecordingAuthorizeDelegate : public SHKOAuthViewDelegate {
public:
    explicit RecordingAuthorizeDelegate(std::string callback)
        : m_callback(fnd::URL::create(callback))
    {
    }

    fnd::Ref<fnd::URL> authorizeCallbackURL() const override { return m_callback; }
    void tokenAuthorizeViewDidFinishWithSuccessQueryParamsError(SHKOAuthView&, bool success, const fnd::Ref<fnd::Dictionary>& queryParams,
        const fnd::Ref<fnd::Error>& error) override
    {
        (success ? successes : failures)++;
        lastQueryParams = queryParams;
        lastError = error;
    }
    void tokenAuthorizeCancelledView(SHKOAuthView&) override { ++cancels; }

    std::string parameter(std::string_view name) const
    {
        return lastQueryParams ? lastQueryParams->stringForKey(name).value_or("<absent>") : "<no parameters>";
    }

    int successes = 0;
    int failures = 0;
    int cancels = 0;
    fnd::Ref<fnd::Dictionary> lastQueryParams;
    fnd::Ref<fnd::Error> lastError;

private:
    fnd::Ref<fnd::URL> m_callback;
};

class SHKOAuthViewTest : public ::testing::Test {
protected:
    SHKOAuthViewTest()
    {
        m_server.http().Get("/authorize", [](const httplib::Request& request, httplib::Response& response) {
            response.set_redirect("http://callback.test/cb?oauth_token=" + request.get_param_value("next_token") + "&oauth_verifier=v");
        });
        m_server.http().Get("/page", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("<html><head><title>Log in</title></head><body><a href='/authorize?next_token=a%252Fb'>Allow</a></body></html>",
                "text/html");
        });
        m_server.http().Get("/pin", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("<html><body><div id='oauth_pin'>1234</div></body></html>", "text/html");
        });
        m_server.http().Get("/slow", [this](const httplib::Request&, httplib::Response& response) {
            m_slowRequestArrived = true;
            m_server.waitUntilReleased(std::chrono::seconds(5));
            response.set_content("<html></html>", "text/html");
        });
        m_server.start();
    }

    ~SHKOAuthViewTest() override
    {
        SHKOAuthView::setTwitterAPIHost("api.twitter.com");
        m_server.releaseWaiters();
    }

    std::shared_ptr<SHKOAuthView> open(const std::string& path)
    {
        return SHKOAuthView::createWithURLDelegate(fnd::URL::create(m_server.url(path)), m_delegate);
    }

    bool settle(const std::function<bool()>& condition)
    {
        return fnd::RunLoop::main().runUntil(condition, 10);
    }

    void settleLoads(const SHKOAuthView& view)
    {
        settle([&] { return !view.webView()->isLoading(); });
        fnd::RunLoop::main().runUntilIdle();
    }

    VirtualTime m_time;
    std::atomic<bool> m_slowRequestArrived { false };
    LoopbackServer m_server;
    std::shared_ptr<RecordingAuthorizeDelegate> m_delegate = std::make_shared<RecordingAuthorizeDelegate>("http://callback.test/cb");
};

}

TEST_F(SHKOAuthViewTest, RedirectToTheCallbackReportsItsQueryUndecodedWithoutLoadingIt)
{
    std::weak_ptr<SHKOAuthViewDelegate> delegate = m_delegate;
    auto view = open("/authorize?next_token=a%252Fb");
    auto recorder = std::exchange(m_delegate, nullptr);
    EXPECT_FALSE(delegate.expired());
    ASSERT_TRUE(settle([&] { return recorder->successes > 0; }));
    settleLoads(*view);

    EXPECT_EQ(recorder->successes, 1);
    EXPECT_EQ(recorder->failures, 0);
    ASSERT_TRUE(recorder->lastQueryParams);
    EXPECT_EQ(recorder->lastQueryParams->count(), 2u);
    EXPECT_EQ(recorder->parameter("oauth_token"), "a%2Fb");
    EXPECT_EQ(recorder->parameter("oauth_verifier"), "v");
    EXPECT_TRUE(view->webView()->shownPages().empty());
    EXPECT_FALSE(view->delegate());
    recorder.reset();
    EXPECT_TRUE(delegate.expired());
}

TEST_F(SHKOAuthViewTest, CallbackWrittenInUpperCaseStillMatches)
{
    m_delegate = std::make_shared<RecordingAuthorizeDelegate>("HTTP://CALLBACK.TEST/CB");
    auto view = open("/page");
    settleLoads(*view);
    EXPECT_EQ(m_delegate->successes, 0);
    ASSERT_EQ(view->webView()->shownPages().size(), 1u);
    EXPECT_EQ(view->webView()->shownPages()[0].title, "Log in");

    view->webView()->clickLink("/authorize?next_token=T");
    ASSERT_TRUE(settle([&] { return m_delegate->successes > 0; }));
    EXPECT_EQ(m_delegate->parameter("oauth_token"), "T");
}

TEST_F(SHKOAuthViewTest, PageThatMerelyMentionsTheCallbackIsNotTheCallback)
{
    auto view = open("/page?redirect_uri=http://callback.test/cb?oauth_token=forged");
    settleLoads(*view);
    EXPECT_EQ(m_delegate->successes, 0);
    EXPECT_EQ(view->webView()->shownPages().size(), 1u);

    auto callback = fnd::URL::create("http://callback.test/cb");
    EXPECT_TRUE(SHKOAuthView::isCallbackURL(*fnd::URL::create("http://Callback.Test/cb"), *callback));
    EXPECT_TRUE(SHKOAuthView::isCallbackURL(*fnd::URL::create("http://callback.test/cb#x"), *callback));
    EXPECT_TRUE(SHKOAuthView::isCallbackURL(*fnd::URL::create("http://callback.test/cb/more"), *callback));
    EXPECT_FALSE(SHKOAuthView::isCallbackURL(*fnd::URL::create("http://callback.test/cbx?oauth_token=t"), *callback));
    EXPECT_FALSE(SHKOAuthView::isCallbackURL(*fnd::URL::create("http://callback.test.evil.example/cb"), *fnd::URL::create("http://callback.test")));
    EXPECT_TRUE(SHKOAuthView::isCallbackURL(*fnd::URL::create("myapp://oauth?oauth_token=t"), *fnd::URL::create("myapp://oauth")));
}

TEST_F(SHKOAuthViewTest, QueryPiecesNeedExactlyOneEqualsSign)
{
    auto parameters = SHKOAuthView::queryParametersOf(*fnd::URL::create("http://callback.test/cb?x=&flag&a=b=c&n=1&n=2"));
    ASSERT_TRUE(parameters);
    EXPECT_EQ(parameters->count(), 2u);
    EXPECT_EQ(parameters->stringForKey("x"), "");
    EXPECT_EQ(parameters->stringForKey("n"), "2");
    EXPECT_FALSE(parameters->objectForKey("flag"));
    EXPECT_FALSE(parameters->objectForKey("a"));

    EXPECT_FALSE(SHKOAuthView::queryParametersOf(*fnd::URL::create("http://callback.test/cb")));

    m_delegate = std::make_shared<RecordingAuthorizeDelegate>("http://callback.test/cb");
    auto view = SHKOAuthView::createWithURLDelegate(fnd::URL::create("http://callback.test/cb"), m_delegate);
    EXPECT_EQ(m_delegate->successes, 1);
    EXPECT_FALSE(m_delegate->lastQueryParams);
}

TEST_F(SHKOAuthViewTest, PINPageFromTheAPIHostIsAConfigurationFailure)
{
    SHKOAuthView::setTwitterAPIHost("LOCALHOST");
    auto elsewhere = open("/pin");
    settleLoads(*elsewhere);
    EXPECT_EQ(m_delegate->failures, 0);

    SHKOAuthView::setTwitterAPIHost("127.0.0.1");
    auto view = open("/pin");
    settleLoads(*view);
    ASSERT_EQ(m_delegate->failures, 1);
    ASSERT_TRUE(m_delegate->lastError);
    EXPECT_EQ(m_delegate->lastError->domain(), "sharing");
    EXPECT_EQ(m_delegate->lastError->localizedDescription(),
        "Your SHKTwitter config is incorrect.  You must set your application type to Browser and define a callback url.  "
        "See SHKConfig for more details");
    EXPECT_FALSE(m_delegate->lastQueryParams);
    EXPECT_TRUE(view->delegate());
}

TEST_F(SHKOAuthViewTest, ReplacedLoadIsNoFailureButARefusedConnectionIsAndACallbackStillSucceeds)
{
    auto view = open("/slow");
    ASSERT_TRUE(settle([&] { return m_slowRequestArrived.load(); }));
    view->webView()->clickLink("/page");
    settleLoads(*view);
    EXPECT_EQ(m_delegate->failures, 0);

    auto closedPort = std::make_unique<LoopbackServer>();
    closedPort->start();
    auto gone = closedPort->url("/gone");
    closedPort.reset();
    view->webView()->clickLink(gone);
    ASSERT_TRUE(settle([&] { return m_delegate->failures > 0; }));
    ASSERT_TRUE(m_delegate->lastError);
    EXPECT_EQ(m_delegate->lastError->code(), fnd::URLError::CannotConnectToHost);
    EXPECT_TRUE(view->delegate());
    EXPECT_FALSE(view->spinner()->isAnimating());

    view->webView()->clickLink(m_server.url("/authorize?next_token=later"));
    ASSERT_TRUE(settle([&] { return m_delegate->successes > 0; }));
    EXPECT_EQ(m_delegate->parameter("oauth_token"), "later");
}

TEST_F(SHKOAuthViewTest, ScreenHasCancelAndASpinnerWhileLoading)
{
    auto view = open("/page");
    auto item = view->navigationItem();
    ASSERT_TRUE(item->leftBarButtonItem());
    EXPECT_EQ(item->leftBarButtonItem()->systemItem(), ui::BarButtonSystemItem::Cancel);
    ASSERT_TRUE(view->spinner());
    EXPECT_TRUE(view->spinner()->isAnimating());
    EXPECT_TRUE(view->spinner()->hidesWhenStopped());
    EXPECT_EQ(view->view(), view->webView());
    EXPECT_TRUE(view->webView()->scalesPageToFit());

    settleLoads(*view);
    EXPECT_FALSE(view->spinner()->isAnimating());

    item->leftBarButtonItem()->action().send();
    EXPECT_EQ(m_delegate->cancels, 1);
    EXPECT_EQ(m_delegate->successes + m_delegate->failures, 0);
}
