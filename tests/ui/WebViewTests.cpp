#include "UITest.h"

#include "platform/foundation/FileManager.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/URLError.h"
#include "platform/ui/PressFinder.h"
#include "platform/ui/WebPage.h"
#include "platform/ui/WebView.h"
#include "support/LoopbackServer.h"
#include "support/TemporaryDirectory.h"

namespace brenzo::testing {
namespace {

using Log = std::vector<std::string>;

class RecordingWebDelegate : public ui::WebViewDelegate {
public:
    bool shouldStartLoadWithRequest(ui::WebView&, const fnd::URLRequest& request, ui::WebViewNavigationType type) override
    {
        auto url = request.url()->absoluteString();
        log.push_back("should " + std::to_string(static_cast<int>(type)) + " " + url);
        if (!refusing.empty() && url.find(refusing) != std::string::npos)
            return false;
        return !(refuseLinks && type == ui::WebViewNavigationType::LinkClicked);
    }
    void webViewDidStartLoad(ui::WebView&) override { log.push_back("start"); }
    void webViewDidFinishLoad(ui::WebView& view) override
    {
        log.push_back("finish " + view.stringByEvaluatingJavaScriptFromString("document.title"));
        ++ended;
    }
    void didFailLoadWithError(ui::WebView&, const fnd::Ref<fnd::Error>& error) override
    {
        log.push_back("fail " + error->domain() + " " + std::to_string(error->code()));
        ++ended;
    }
    Log log;
    std::string refusing;
    bool refuseLinks = false;
    int ended = 0;
};

class WebViewTest : public UITest {
protected:
    WebViewTest()
    {
        auto& http = m_server.http();
        http.Get("/page", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("<html><head><title>Sign in</title></head><body><p>Hello</p><div id=\"oauth_pin\">12<b>34</b></div>"
                                 "<a href=\"/next\">Next page</a><a href=\"http://elsewhere.invalid/\">Away</a></body></html>",
                "text/html; charset=utf-8");
        });
        http.Get("/next", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("<title>Next</title>", "text/html");
        });
        http.Get("/start", [](const httplib::Request&, httplib::Response& response) { response.set_redirect("/middle"); });
        http.Get("/middle", [](const httplib::Request&, httplib::Response& response) { response.set_redirect("/page"); });
        http.Get("/authorize", [this](const httplib::Request&, httplib::Response& response) {
            response.set_redirect(m_server.url("/callback?oauth_token=a%2Fb&oauth_verifier=v"));
        });
        http.Get("/callback", [](const httplib::Request&, httplib::Response& response) { response.set_content("<title>Callback</title>", "text/html"); });
        http.Get("/slow", [this](const httplib::Request&, httplib::Response& response) {
            m_server.waitUntilReleased(std::chrono::seconds(10));
            response.set_content("<title>Slow</title>", "text/html");
        });
        m_server.start();
        m_window = makeKeyWindow();
        m_view = ui::WebView::create({ 0, 20, 320, 460 });
        m_view->setDelegate(m_delegate);
        m_window->addSubview(m_view);
    }
    ~WebViewTest() override { m_server.releaseWaiters(); }

    void load(const std::string& path) { m_view->loadRequest(fnd::URLRequest(fnd::URL::create(m_server.url(path)))); }
    void waitForLoads(int count)
    {
        fnd::RunLoop::main().runUntil([&] { return m_delegate->ended >= count; }, 20);
        runUntilIdle();
    }
    std::string url(const std::string& path) { return m_server.url(path); }

    LoopbackServer m_server;
    std::shared_ptr<ui::Window> m_window;
    std::shared_ptr<ui::WebView> m_view;
    std::shared_ptr<RecordingWebDelegate> m_delegate = std::make_shared<RecordingWebDelegate>();
};

TEST_F(WebViewTest, LoadsAPageAndAnswersScripts)
{
    load("/page");
    EXPECT_TRUE(m_view->isLoading());
    waitForLoads(1);
    EXPECT_EQ(m_delegate->log, (Log { "should 5 " + url("/page"), "start", "finish Sign in" }));
    EXPECT_FALSE(m_view->isLoading());
    EXPECT_EQ(m_view->stringByEvaluatingJavaScriptFromString("document.getElementById('oauth_pin').innerHTML"), "12<b>34</b>");
    EXPECT_EQ(m_view->stringByEvaluatingJavaScriptFromString("document.getElementById(\"oauth_pin\").innerHTML;"), "12<b>34</b>");
    EXPECT_EQ(m_view->stringByEvaluatingJavaScriptFromString("document.getElementById('missing').innerHTML"), "");
    EXPECT_EQ(m_view->stringByEvaluatingJavaScriptFromString("document.body.setAttribute('orientation', 90);"), "");
    ASSERT_EQ(m_view->shownPages().size(), 1u);
    EXPECT_EQ(m_view->shownPages()[0].url, url("/page"));
    EXPECT_EQ(m_view->shownPages()[0].title, "Sign in");
    EXPECT_EQ(m_view->shownPages()[0].statusCode, 200);
}

TEST_F(WebViewTest, RedirectsAreOfferedHopByHop)
{
    load("/start");
    waitForLoads(1);
    EXPECT_EQ(m_delegate->log, (Log { "should 5 " + url("/start"), "start", "should 5 " + url("/middle"), "should 5 " + url("/page"), "finish Sign in" }));
    EXPECT_EQ(m_view->request().url()->absoluteString(), url("/page"));
    EXPECT_EQ(m_view->shownPages().size(), 1u);
}

TEST_F(WebViewTest, ARefusedRedirectInterruptsTheLoad)
{
    m_delegate->refusing = "/callback";
    load("/authorize");
    waitForLoads(1);
    EXPECT_EQ(m_delegate->log, (Log { "should 5 " + url("/authorize"), "start", "should 5 " + url("/callback?oauth_token=a%2Fb&oauth_verifier=v"),
                                   "fail WebKitErrorDomain 102" }));
    // Nothing late arrives from the abandoned hop, and the callback was never fetched.
    fnd::RunLoop::main().runUntil([] { return false; }, 0.2);
    EXPECT_EQ(m_delegate->ended, 1);
    EXPECT_TRUE(m_view->shownPages().empty());
    for (auto& request : m_server.requests())
        EXPECT_NE(request.path, "/callback");
}

TEST_F(WebViewTest, ANewLoadCancelsTheRunningOne)
{
    load("/slow");
    load("/next");
    EXPECT_EQ(m_delegate->log.at(3), "fail NSURLErrorDomain -999");
    waitForLoads(2);
    m_server.releaseWaiters();
    EXPECT_EQ(m_delegate->log.back(), "finish Next");
    fnd::RunLoop::main().runUntil([] { return false; }, 0.2);
    EXPECT_EQ(m_delegate->ended, 2);
}

TEST_F(WebViewTest, LinksArePressedByTheirTextAndOfferedAsTapped)
{
    load("/page");
    waitForLoads(1);
    m_delegate->refuseLinks = true;
    EXPECT_EQ(ui::PressFinder::press("Away").status, ui::PressFinder::Result::Status::Pressed);
    EXPECT_EQ(m_delegate->log.back(), "should 0 http://elsewhere.invalid/");
    EXPECT_FALSE(m_view->isLoading());

    m_delegate->refuseLinks = false;
    ui::PressFinder::press("Next page");
    EXPECT_EQ(m_delegate->log.back(), "start");
    waitForLoads(2);
    EXPECT_EQ(m_delegate->log.back(), "finish Next");
    EXPECT_TRUE(m_view->canGoBack());
    m_view->goBack();
    waitForLoads(3);
    EXPECT_EQ(m_delegate->log.back(), "finish Sign in");
    EXPECT_EQ(m_delegate->log.at(m_delegate->log.size() - 3), "should 2 " + url("/page"));
}

TEST_F(WebViewTest, FailuresCarryThePlatformCodes)
{
    TemporaryDirectory directory;
    m_view->loadRequest(fnd::URLRequest(fnd::URL::fileURL((directory.path() / "missing.html").string())));
    waitForLoads(1);
    EXPECT_EQ(m_delegate->log.back(), "fail NSURLErrorDomain -1100");

    m_view->loadRequest(fnd::URLRequest(fnd::URL::create("fbconnect://success")));
    waitForLoads(2);
    EXPECT_EQ(m_delegate->log.back(), "fail WebKitErrorDomain 101");

    ASSERT_TRUE(fnd::FileManager::writeAtomically(directory.path() / "page.html", std::string_view("<title>From a file</title><a href=\"other.html\">Other</a>")));
    m_view->loadRequest(fnd::URLRequest(fnd::URL::fileURL((directory.path() / "page.html").string())));
    waitForLoads(3);
    EXPECT_EQ(m_delegate->log.back(), "finish From a file");

    m_view->loadHTMLString("<html><title>Inline</title><body><div id='x'>y</div></body></html>", fnd::URL::create(url("/base/")));
    waitForLoads(4);
    EXPECT_EQ(m_view->stringByEvaluatingJavaScriptFromString("document.getElementById('x').innerHTML"), "y");
    EXPECT_EQ(m_view->page()->url()->absoluteString(), url("/base/"));
}

}
}
