#include "SharingScreenTest.h"

#include "platform/crypto/Base64.h"
#include "platform/crypto/Digest.h"
#include "platform/foundation/HTTPCookieStorage.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/String.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Label.h"
#include "platform/ui/ModalPanelRegistry.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/NavigationController.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKOAuthSharer.h"
#include "sharing/core/SHKSharerDelegate.h"
#include "sharing/oauth/OAAsynchronousDataFetcher.h"
#include "sharing/oauth/OAConsumer.h"
#include "sharing/oauth/OAMutableURLRequest.h"
#include "sharing/oauth/OAToken.h"
#include "sharing/ui/SHKActivityIndicator.h"
#include "sharing/ui/SHKOAuthView.h"
#include "support/LoopbackServer.h"

#include <algorithm>
#include <map>
#include <mutex>

using brenzo::testing::LoopbackServer;
using brenzo::testing::SharingScreenTest;

namespace {

// The service's side of OAuth 1.0, written from the RFC rather than from the client: parameters
// of the header and of a form body, each percent-encoded, sorted by name then value.
std::string serviceEncode(std::string_view text)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string encoded;
    for (unsigned char byte : text) {
        if (std::isalnum(byte) || byte == '-' || byte == '.' || byte == '_' || byte == '~') {
            encoded += static_cast<char>(byte);
        } else {
            encoded += '%';
            encoded += hex[byte >> 4];
            encoded += hex[byte & 15];
        }
    }
    return encoded;
}

using ParameterList = std::vector<std::pair<std::string, std::string>>;

// The header's fields; the test server hands it over with its escapes already replaced.
ParameterList headerParameters(const std::string& header)
{
    ParameterList fields;
    if (header.rfind("OAuth ", 0) != 0)
        return fields;
    size_t position = 6;
    while (position < header.size()) {
        auto equals = header.find("=\"", position);
        auto close = header.find('"', equals + 2);
        if (equals == std::string::npos || close == std::string::npos)
            break;
        fields.emplace_back(header.substr(position, equals - position), header.substr(equals + 2, close - equals - 2));
        position = close + 1;
        while (position < header.size() && (header[position] == ',' || header[position] == ' '))
            ++position;
    }
    return fields;
}

std::string fieldOf(const ParameterList& fields, std::string_view name)
{
    for (auto& [field, value] : fields) {
        if (field == name)
            return value;
    }
    return {};
}

// What one request of the service was signed with, and whether the signature holds.
struct SignedCall {
    bool valid = false;
    std::string token;
    std::string timestamp;
};

SignedCall checkSignature(const httplib::Request& request, const std::string& address, const std::string& consumerSecret,
    const std::string& tokenSecret)
{
    auto fields = headerParameters(request.get_header_value("Authorization"));
    ParameterList signedParameters;
    for (auto& field : fields) {
        if (field.first != "realm" && field.first != "oauth_signature")
            signedParameters.push_back(field);
    }
    if (request.get_header_value("Content-Type") == "application/x-www-form-urlencoded") {
        httplib::Params body;
        httplib::detail::parse_query_text(request.body, body);
        for (auto& [name, value] : body)
            signedParameters.emplace_back(name, value);
    }
    std::vector<std::pair<std::string, std::string>> encoded;
    for (auto& [name, value] : signedParameters)
        encoded.emplace_back(serviceEncode(name), serviceEncode(value));
    std::sort(encoded.begin(), encoded.end());
    std::string joined;
    for (auto& [name, value] : encoded)
        joined += (joined.empty() ? "" : "&") + name + "=" + value;

    auto baseString = request.method + "&" + serviceEncode(address) + "&" + serviceEncode(joined);
    auto key = serviceEncode(consumerSecret) + "&" + serviceEncode(tokenSecret);
    auto expected = crypto::base64Encode(crypto::hmacSha1(key, baseString));
    return { !fieldOf(fields, "oauth_signature").empty() && fieldOf(fields, "oauth_signature") == expected, fieldOf(fields, "oauth_token"),
        fieldOf(fields, "oauth_timestamp") };
}

// Plays a service with the OAuth 1.0 login on 127.0.0.1: its authorisation page is served as
// "localhost" so that its cookies can be told apart from the API's.
class OAuthService {
public:
    static constexpr std::string_view consumerKey = "CK";
    static constexpr std::string_view consumerSecret = "CS";
    static constexpr std::string_view callback = "http://callback.test/done";

    OAuthService()
    {
        auto& http = m_server.http();
        http.Post("/oauth/request_token", [this](const httplib::Request& request, httplib::Response& response) {
            std::lock_guard guard(m_lock);
            response.set_header("Set-Cookie", "api=1; Path=/");
            auto call = verify(request, "/oauth/request_token", "", response);
            if (!call.token.empty())
                m_problems.push_back("request token asked with a token");
            if (!call.valid)
                return;
            response.status = m_answers.requestTokenStatus;
            response.set_content(m_answers.requestTokenReply, "text/plain");
        });
        http.Get("/oauth/authorize", [this](const httplib::Request& request, httplib::Response& response) {
            std::lock_guard guard(m_lock);
            m_authorizedToken = request.get_param_value("oauth_token");
            response.set_header("Set-Cookie", "login=secret; Path=/");
            response.set_content("<html><head><title>Allow?</title></head><body><a href='/oauth/allow'>Allow</a></body></html>", "text/html");
        });
        http.Get("/oauth/allow", [this](const httplib::Request&, httplib::Response& response) {
            std::lock_guard guard(m_lock);
            response.set_redirect(std::string(callback) + "?" + m_answers.callbackQuery);
        });
        http.Post("/oauth/access_token", [this](const httplib::Request& request, httplib::Response& response) {
            std::lock_guard guard(m_lock);
            auto secret = m_answers.refreshing ? std::string("ATS") : std::string("RTS");
            auto call = verify(request, "/oauth/access_token", secret, response);
            m_accessTokenAskedWith = call.token;
            if (!call.valid)
                return;
            response.status = m_answers.accessTokenStatus;
            response.set_content(m_answers.accessTokenReply, "text/plain");
        });
        http.Post("/update", [this](const httplib::Request& request, httplib::Response& response) {
            std::lock_guard guard(m_lock);
            auto call = verify(request, "/update", "ATS", response);
            if (!call.valid)
                return;
            if (call.token != "AT")
                m_problems.push_back("update signed with token " + call.token);
            m_updates.push_back(request.get_param_value("status"));
            response.set_content("{}", "application/json");
        });
        m_server.start();
    }

    std::string apiURL(const std::string& path) const { return m_server.url(path); }
    std::string webURL(const std::string& path) const { return "http://localhost:" + std::to_string(m_server.port()) + path; }

    std::vector<std::string> problems() const
    {
        std::lock_guard guard(m_lock);
        return m_problems;
    }
    std::vector<std::string> paths() const
    {
        std::vector<std::string> paths;
        for (auto& request : m_server.requests())
            paths.push_back(request.method + " " + request.path);
        return paths;
    }

    std::string authorizedToken() const
    {
        std::lock_guard guard(m_lock);
        return m_authorizedToken;
    }
    std::string accessTokenAskedWith() const
    {
        std::lock_guard guard(m_lock);
        return m_accessTokenAskedWith;
    }
    std::vector<std::string> updates() const
    {
        std::lock_guard guard(m_lock);
        return m_updates;
    }

    // What the service answers.
    struct Answers {
        int requestTokenStatus = 200;
        std::string requestTokenReply = "oauth_token=RT%2B1%2F%26&oauth_token_secret=RTS&oauth_callback_confirmed=true";
        std::string callbackQuery = "oauth_token=RT%2B1%2F%26&oauth_verifier=V";
        int accessTokenStatus = 200;
        std::string accessTokenReply = "oauth_token=AT&oauth_token_secret=ATS&oauth_session_handle=SH";
        bool refreshing = false;
        // The consumer secret the service knows.
        std::string secretOfConsumer { consumerSecret };
    };
    // Changes the answers under the lock that the server's threads read them with.
    template<typename Change>
    void answer(Change&& change)
    {
        std::lock_guard guard(m_lock);
        change(m_answers);
    }

private:
    // Answers 401 itself when the signature does not hold.
    SignedCall verify(const httplib::Request& request, const std::string& path, const std::string& tokenSecret, httplib::Response& response)
    {
        auto call = checkSignature(request, m_server.url(path), m_answers.secretOfConsumer, tokenSecret);
        if (!call.valid) {
            m_problems.push_back("bad signature on " + path + ": " + request.get_header_value("Authorization"));
            response.status = 401;
            response.set_content("oauth_problem=signature_invalid", "text/plain");
        }
        return call;
    }

    mutable std::mutex m_lock;
    Answers m_answers;
    std::vector<std::string> m_problems;
    std::string m_authorizedToken;
    std::string m_accessTokenAskedWith;
    std::vector<std::string> m_updates;
    LoopbackServer m_server;
};

OAuthService*& currentService()
{
    static OAuthService* service = nullptr;
    return service;
}

class LoopbackOAuthSharer : public SHKOAuthSharer {
public:
    static constexpr std::string_view sharerClassName = "LoopbackOAuthSharer";
    static std::string sharerTitle() { return "Loopback Service"; }
    static bool canShareText() { return true; }

    bool send() override
    {
        auto request = OAMutableURLRequest::createWithURL(fnd::URL::create(currentService()->apiURL("/update")), consumer(), accessToken(),
            std::nullopt, signatureProvider());
        request->setHTTPMethod("POST");
        request->setParameters({ OARequestParameter::requestParameterWithNameValue("status", item()->text().value_or("")) });
        auto self = sharedAs<LoopbackOAuthSharer>();
        OAAsynchronousDataFetcher::asynchronousFetcherWithRequest(
            request,
            [self](OAServiceTicket& ticket, const fnd::Ref<fnd::Data>&) {
                if (ticket.didSucceed())
                    self->sendDidFinish();
                else
                    self->sendDidFailWithError(SHK::error("rejected"));
            },
            [self](OAServiceTicket&, const fnd::Ref<fnd::Error>& error) { self->sendDidFailWithError(error); })
            ->start();
        sendDidStart();
        return true;
    }

    void init() override
    {
        SHKOAuthSharer::init();
        auto& service = *currentService();
        setConsumerKey(std::string(OAuthService::consumerKey));
        setSecretKey(std::string(OAuthService::consumerSecret));
        setAuthorizeCallbackURL(fnd::URL::create(OAuthService::callback));
        setRequestURL(fnd::URL::create(service.apiURL("/oauth/request_token")));
        setAuthorizeURL(fnd::URL::create(service.webURL("/oauth/authorize")));
        setAccessURL(fnd::URL::create(service.apiURL("/oauth/access_token")));
    }
};

class RecordingDelegate : public SHKSharerDelegate {
public:
    void sharerStartedSending(SHKSharer&) override { events.push_back("started"); }
    void sharerFinishedSending(SHKSharer&) override { events.push_back("finished"); }
    void sharerFailedWithErrorShouldRelogin(SHKSharer&, const fnd::Ref<fnd::Error>& error, bool) override
    {
        events.push_back("failed: " + (error ? error->localizedDescription() : std::string()));
    }
    void sharerCancelledSending(SHKSharer&) override { events.push_back("cancelled"); }
    void sharerAuthDidFinishSuccess(SHKSharer&, bool success) override { events.push_back(success ? "auth yes" : "auth no"); }

    std::vector<std::string> events;
};

class SHKOAuthSharerTest : public SharingScreenTest {
protected:
    SHKOAuthSharerTest()
    {
        currentService() = &m_service;
        SHKSharerClass::registerSharer<LoopbackOAuthSharer>();
        fnd::HTTPCookieStorage::shared()->deleteAllCookies();
    }

    ~SHKOAuthSharerTest() override
    {
        fnd::HTTPCookieStorage::shared()->deleteAllCookies();
        rt::ClassRegistry::shared().unregisterClass(LoopbackOAuthSharer::sharerClassName);
        currentService() = nullptr;
    }

    std::shared_ptr<LoopbackOAuthSharer> makeSharer(std::string text = "Hello from the board")
    {
        auto sharer = SHKSharer::create<LoopbackOAuthSharer>();
        sharer->setItem(SHKItem::createWithText(std::move(text)));
        sharer->setShareDelegate(m_delegate);
        return sharer;
    }

    bool waitFor(const std::function<bool()>& condition)
    {
        bool met = fnd::RunLoop::main().runUntil(condition, 10);
        settle();
        return met;
    }

    // The web view the helper shows, once it is on screen.
    std::shared_ptr<SHKOAuthView> shownAuthorizeView()
    {
        settle();
        auto navigation = std::dynamic_pointer_cast<ui::NavigationController>(SHK::currentHelper().currentView());
        return navigation ? std::dynamic_pointer_cast<SHKOAuthView>(navigation->topViewController()) : nullptr;
    }

    std::shared_ptr<SHKOAuthView> waitForAuthorizePage()
    {
        std::shared_ptr<SHKOAuthView> view;
        waitFor([&] {
            view = shownAuthorizeView();
            return view && !view->webView()->isLoading() && !view->webView()->shownPages().empty();
        });
        return view;
    }

    static std::optional<std::string> stored(std::string_view account)
    {
        return SHK::getAuthValueForKeyForSharer(account, "LoopbackOAuthSharer");
    }

    static std::vector<std::string> cookieDomains()
    {
        std::vector<std::string> domains;
        for (auto& cookie : fnd::HTTPCookieStorage::shared()->cookies())
            domains.push_back(cookie.domain + " " + cookie.name);
        std::sort(domains.begin(), domains.end());
        return domains;
    }

    // Runs a share from the start to the authorisation page and lets the user allow it.
    std::shared_ptr<LoopbackOAuthSharer> shareUpToTheCallback()
    {
        auto sharer = makeSharer();
        sharer->share();
        auto view = waitForAuthorizePage();
        if (!view)
            return sharer;
        view->webView()->clickLink("/oauth/allow");
        return sharer;
    }

    OAuthService m_service;
    std::shared_ptr<RecordingDelegate> m_delegate = std::make_shared<RecordingDelegate>();
};

}

TEST_F(SHKOAuthSharerTest, WholeDanceStoresTheTokenSendsSignedAndLogoutForgetsIt)
{
    auto sharer = makeSharer();
    EXPECT_FALSE(sharer->isAuthorized());
    sharer->share();
    EXPECT_EQ(sharer->pendingAction(), SHKSharer::PendingActionShare);
    EXPECT_EQ(SHKActivityIndicator::currentIndicator().subMessageLabel()->text(), "Connecting...");

    auto view = waitForAuthorizePage();
    ASSERT_TRUE(view);
    EXPECT_EQ(view->webView()->shownPages().front().title, "Allow?");
    // Reserved characters of the token reach the authorisation page as they were given.
    EXPECT_EQ(m_service.authorizedToken(), "RT+1/&");
    EXPECT_EQ(sharer->requestToken()->key(), "RT+1/&");
    EXPECT_EQ(sharer->requestToken()->secret(), "RTS");

    view->webView()->clickLink("/oauth/allow");
    ASSERT_TRUE(waitFor([&] { return m_service.updates().size() == 1; }));
    ASSERT_TRUE(waitFor([&] { return m_delegate->events.size() >= 3; }));

    EXPECT_TRUE(m_service.problems().empty()) << m_service.problems().front();
    EXPECT_EQ(m_service.accessTokenAskedWith(), "RT+1/&");
    EXPECT_EQ(m_service.updates(), std::vector<std::string> { "Hello from the board" });
    EXPECT_EQ(m_service.paths(), (std::vector<std::string> { "POST /oauth/request_token", "GET /oauth/authorize", "GET /oauth/allow",
                                     "POST /oauth/access_token", "POST /update" }));
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "started", "auth yes", "finished" }));
    EXPECT_EQ(sharer->authorizeResponseQueryVars()->stringForKey("oauth_verifier"), "V");
    EXPECT_EQ(sharer->pendingAction(), SHKSharer::PendingActionNone);
    EXPECT_FALSE(SHK::currentHelper().currentView());
    EXPECT_TRUE(alertTexts().empty());

    EXPECT_EQ(stored("accessKey"), "AT");
    EXPECT_EQ(stored("accessSecret"), "ATS");
    EXPECT_EQ(stored("sessionHandle"), "SH");
    EXPECT_EQ(cookieDomains(), (std::vector<std::string> { "127.0.0.1 api", "localhost login" }));

    auto later = makeSharer("Again");
    EXPECT_TRUE(later->isAuthorized());
    EXPECT_EQ(later->accessToken()->sessionHandle(), "SH");

    SHK::setAuthValueForKeyForSharer("joe", "username", "LoopbackOAuthSharer");
    SHKSharerClass::of<LoopbackOAuthSharer>().logout();
    EXPECT_FALSE(stored("accessKey"));
    EXPECT_FALSE(stored("accessSecret"));
    EXPECT_FALSE(stored("sessionHandle"));
    EXPECT_EQ(stored("username"), "joe");
    EXPECT_EQ(cookieDomains(), std::vector<std::string> { "127.0.0.1 api" });
    EXPECT_FALSE(makeSharer()->isAuthorized());
    // A sharer that holds its token keeps it until it goes.
    EXPECT_TRUE(later->isAuthorized());
}

TEST_F(SHKOAuthSharerTest, RefusedRequestTokenIsARequestError)
{
    m_service.answer([](auto& answers) { answers.secretOfConsumer = "another secret"; });
    auto sharer = makeSharer();
    sharer->share();
    ASSERT_TRUE(waitFor([] { return !alertTexts().empty(); }));

    EXPECT_EQ(alertTexts(), std::vector<std::string> { "Request Error: There was a problem requesting authorization from Loopback Service [Close]" });
    EXPECT_EQ(m_service.problems().size(), 1u);
    EXPECT_EQ(m_service.paths(), std::vector<std::string> { "POST /oauth/request_token" });
    EXPECT_FALSE(shownAuthorizeView());
    EXPECT_TRUE(m_delegate->events.empty());
    m_time.advance(1);
    EXPECT_FALSE(SHKActivityIndicator::currentIndicator().superview());
}

TEST_F(SHKOAuthSharerTest, RequestTokenReplyWithoutATokenIsARequestError)
{
    m_service.answer([](auto& answers) { answers.requestTokenReply = "oauth_token_secret=RTS"; });
    makeSharer()->share();
    ASSERT_TRUE(waitFor([] { return !alertTexts().empty(); }));
    EXPECT_EQ(alertTexts(), std::vector<std::string> { "Request Error: There was a problem requesting authorization from Loopback Service [Close]" });
    EXPECT_FALSE(shownAuthorizeView());
}

TEST_F(SHKOAuthSharerTest, ProblemInTheCallbackIsAnAuthorizeError)
{
    m_service.answer([](auto& answers) { answers.callbackQuery = "oauth_problem=user_refused&oauth_token=RT"; });
    shareUpToTheCallback();
    ASSERT_TRUE(waitFor([&] { return !m_delegate->events.empty(); }));

    EXPECT_EQ(alertTexts(), std::vector<std::string> { "Authorize Error: There was an error while authorizing [Close]" });
    EXPECT_EQ(m_delegate->events, std::vector<std::string> { "auth no" });
    EXPECT_EQ(m_service.paths().back(), "GET /oauth/allow");
    EXPECT_FALSE(SHK::currentHelper().currentView());
    EXPECT_TRUE(m_service.problems().empty());
}

TEST_F(SHKOAuthSharerTest, FailedWebStepShowsItsErrorAndCancelShowsNothing)
{
    auto sharer = makeSharer();
    sharer->share();
    auto view = waitForAuthorizePage();
    ASSERT_TRUE(view);
    sharer->tokenAuthorizeViewDidFinishWithSuccessQueryParamsError(*view, false, nullptr, SHK::error("The page went away"));
    settle();
    EXPECT_EQ(alertTexts(), std::vector<std::string> { "Authorize Error: The page went away [Close]" });
    EXPECT_EQ(m_delegate->events, std::vector<std::string> { "auth no" });

    ui::ModalPanelRegistry::shared().resetForTesting();
    m_delegate->events.clear();
    auto again = makeSharer();
    again->share();
    m_time.advance(1);
    view = waitForAuthorizePage();
    ASSERT_TRUE(view);
    view->navigationItem()->leftBarButtonItem()->action().send();
    settle();
    EXPECT_TRUE(alertTexts().empty());
    EXPECT_EQ(m_delegate->events, std::vector<std::string> { "auth no" });
    EXPECT_FALSE(SHK::currentHelper().currentView());
}

TEST_F(SHKOAuthSharerTest, RefusedAccessTokenIsAnAccessErrorEvenForAQuietSharer)
{
    m_service.answer([](auto& answers) { answers.accessTokenStatus = 401; });
    auto sharer = makeSharer();
    sharer->setQuiet(true);
    sharer->share();
    auto view = waitForAuthorizePage();
    ASSERT_TRUE(view);
    view->webView()->clickLink("/oauth/allow");
    ASSERT_TRUE(waitFor([&] { return !m_delegate->events.empty(); }));

    EXPECT_EQ(alertTexts(), std::vector<std::string> { "Access Error: There was a problem requesting access from Loopback Service [Close]" });
    EXPECT_EQ(m_delegate->events, std::vector<std::string> { "auth no" });
    EXPECT_TRUE(m_service.updates().empty());
    EXPECT_FALSE(stored("accessKey"));
    EXPECT_FALSE(sharer->accessToken());
}

TEST_F(SHKOAuthSharerTest, AccessTokenReplyWithoutASecretIsNoLogin)
{
    m_service.answer([](auto& answers) { answers.accessTokenReply = "oauth_token=AT"; });
    auto sharer = shareUpToTheCallback();
    ASSERT_TRUE(waitFor([&] { return !m_delegate->events.empty(); }));

    EXPECT_EQ(alertTexts(), std::vector<std::string> { "Access Error: There was a problem requesting access from Loopback Service [Close]" });
    EXPECT_EQ(m_delegate->events, std::vector<std::string> { "auth no" });
    EXPECT_FALSE(sharer->accessToken());
    EXPECT_FALSE(stored("accessKey"));
    EXPECT_FALSE(sharer->isAuthorized());
    EXPECT_TRUE(m_service.updates().empty());
}

TEST_F(SHKOAuthSharerTest, StoredKeyWithoutSecretStartsTheWebFlow)
{
    SHK::setAuthValueForKeyForSharer("AT", "accessKey", "LoopbackOAuthSharer");
    auto sharer = makeSharer();
    EXPECT_FALSE(sharer->isAuthorized());
    EXPECT_EQ(sharer->consumer()->key(), "CK");
    sharer->share();
    EXPECT_TRUE(waitForAuthorizePage());
    EXPECT_EQ(m_service.paths().front(), "POST /oauth/request_token");
}

TEST_F(SHKOAuthSharerTest, NewLoginWithoutSessionHandleForgetsThePreviousOne)
{
    SHK::setAuthValueForKeyForSharer("OLD", "sessionHandle", "LoopbackOAuthSharer");
    m_service.answer([](auto& answers) { answers.accessTokenReply = "oauth_token=AT&oauth_token_secret=ATS"; });
    shareUpToTheCallback();
    ASSERT_TRUE(waitFor([&] { return m_delegate->events.size() == 3; }));

    EXPECT_EQ(stored("accessKey"), "AT");
    EXPECT_FALSE(stored("sessionHandle"));
    auto later = makeSharer();
    ASSERT_TRUE(later->isAuthorized());
    EXPECT_FALSE(later->accessToken()->sessionHandle());
}

TEST_F(SHKOAuthSharerTest, RefreshSignsWithTheAccessTokenAndSendsAgain)
{
    SHK::setAuthValueForKeyForSharer("AT", "accessKey", "LoopbackOAuthSharer");
    SHK::setAuthValueForKeyForSharer("ATS", "accessSecret", "LoopbackOAuthSharer");
    m_service.answer([](auto& answers) {
        answers.refreshing = true;
        answers.accessTokenReply = "oauth_token=AT&oauth_token_secret=ATS&oauth_session_handle=NEW";
    });
    auto sharer = makeSharer("Refreshed");
    ASSERT_TRUE(sharer->isAuthorized());

    sharer->refreshToken();
    EXPECT_EQ(sharer->pendingAction(), SHKSharer::PendingActionRefreshToken);
    ASSERT_TRUE(waitFor([&] { return m_delegate->events.size() == 3; }));

    EXPECT_TRUE(m_service.problems().empty()) << m_service.problems().front();
    EXPECT_EQ(m_service.accessTokenAskedWith(), "AT");
    EXPECT_EQ(m_service.updates(), std::vector<std::string> { "Refreshed" });
    EXPECT_EQ(stored("sessionHandle"), "NEW");
    EXPECT_EQ(sharer->pendingAction(), SHKSharer::PendingActionNone);
}
