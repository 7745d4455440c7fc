#include "FacebookTestSupport.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"
#include "platform/foundation/URLError.h"
#include "platform/graphics/Image.h"
#include "services/facebook/FBRequest.h"
#include "services/facebook/Facebook.h"

#include <gtest/gtest.h>

using namespace brenzo::testing;

namespace {

constexpr std::string_view boundary = "3i2ndDfv2rTHiSisAbouNdArYfORhtTPEefj3q2f";

fnd::Ref<fnd::MutableDictionary> params(std::vector<std::pair<std::string, fnd::Id>> entries)
{
    auto dictionary = fnd::MutableDictionary::create();
    for (auto& [key, value] : entries)
        dictionary->setObjectForKey(value, key);
    return dictionary;
}

fnd::Id text(std::string_view value)
{
    return fnd::String::create(value);
}

std::string bodyOf(fnd::Ref<fnd::MutableDictionary> parameters)
{
    FBRequest request(std::move(parameters), "POST", {}, "http://127.0.0.1/me/photos");
    return std::string(request.generatePostBody()->asStringView());
}

class RecordingRequestDelegate : public FBRequestDelegate {
public:
    void requestLoading(FBRequest&) override { events.push_back("loading"); }
    void requestDidFailWithError(FBRequest&, const fnd::Ref<fnd::Error>& failure) override
    {
        events.push_back("failed");
        error = failure;
    }
    void requestDidLoad(FBRequest&, const fnd::Id& loaded) override
    {
        events.push_back("loaded");
        result = loaded;
    }
    void requestDidLoadRawResponse(FBRequest&, const fnd::Ref<fnd::Data>& data) override { raw = std::string(data->asStringView()); }

    bool finished() const { return !events.empty() && events.back() != "loading"; }

    std::vector<std::string> events;
    fnd::Ref<fnd::Error> error;
    fnd::Id result;
    std::string raw;
};

struct Reply {
    std::string body;
    fnd::Ref<fnd::Error> error;
    fnd::Id result;
};

Reply parse(std::string_view body)
{
    Reply reply { std::string(body), nullptr, nullptr };
    reply.result = FBRequest::parseJsonResponse(*fnd::Data::create(body), &reply.error);
    return reply;
}

}

TEST(FacebookRequestAddressTest, QueryTextEscapesValuesAndKeepsTheSeparatorRules)
{
    EXPECT_EQ(FBRequest::serializeURL("https://graph.example/me", params({ { "a", text("x y") } })), "https://graph.example/me?a=x%20y");
    EXPECT_EQ(FBRequest::serializeURL("https://graph.example/me?b=1", params({ { "a", text("x") } })), "https://graph.example/me?b=1&a=x");
    EXPECT_EQ(FBRequest::serializeURL("https://graph.example/me", params({})), "https://graph.example/me?");
    EXPECT_EQ(FBRequest::serializeURL("https://graph.example/me", nullptr), "https://graph.example/me?");
    EXPECT_EQ(FBRequest::serializeURL("https://g/me", params({ { "q", text("!*'();:@&=+$,/?%#[]~-._é") } })),
        "https://g/me?q=%21%2A%27%28%29%3B%3A%40%26%3D%2B%24%2C%2F%3F%25%23%5B%5D~-._%C3%A9");

    // Pictures and data never go into a query; a GET says it cannot carry them.
    fnd::LogCapture log;
    auto withFile = params({ { "message", text("hi") }, { "picture", solidImage(2, 2, 1, 0, 0) }, { "blob", fnd::Data::create("xyz") }, { "n", text("1") } });
    EXPECT_EQ(FBRequest::serializeURL("https://g/me/photos", withFile, "POST"), "https://g/me/photos?message=hi&n=1");
    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(FBRequest::serializeURL("https://g/me/photos", withFile), "https://g/me/photos?message=hi&n=1");
    EXPECT_EQ(log.lines(), (std::vector<std::string> { "can not use GET to upload a file", "can not use GET to upload a file" }));
}

TEST(FacebookRequestBodyTest, MultipartBodyPutsTextFirstThenFilesAndAlwaysCloses)
{
    auto picture = solidImage(3, 2, 0, 0, 1);
    auto png = picture->pngRepresentation();
    std::string B(boundary);
    auto body = bodyOf(params({ { "picture", picture }, { "message", text("Café") }, { "raw", fnd::Data::create(std::string_view("\x00\x01", 2)) }, { "caption", text("a\r\nb") } }));
    std::string expected = "--" + B + "\r\n"
        + "Content-Disposition: form-data; name=\"message\"\r\n\r\nCafé"
        + "\r\n--" + B + "\r\n"
        + "Content-Disposition: form-data; name=\"caption\"\r\n\r\na\r\nb"
        + "\r\n--" + B + "\r\n"
        + "Content-Disposition: form-data; filename=\"picture\"\r\nContent-Type: image/png\r\n\r\n" + std::string(png->asStringView())
        + "\r\n--" + B + "\r\n"
        + "Content-Disposition: form-data; filename=\"raw\"\r\nContent-Type: content/unknown\r\n\r\n" + std::string("\x00\x01", 2)
        + "\r\n--" + B + "--\r\n";
    EXPECT_EQ(body, expected);

    EXPECT_EQ(bodyOf(params({ { "message", text("x") } })), "--" + B + "\r\nContent-Disposition: form-data; name=\"message\"\r\n\r\nx\r\n--" + B + "--\r\n");
    // No parameters at all: the body still ends with its closing delimiter.
    EXPECT_EQ(bodyOf(params({})), "--" + B + "\r\n\r\n--" + B + "--\r\n");
}

TEST(FacebookRequestReplyTest, ReplyRulesTurnServiceErrorsIntoFailures)
{
    auto yes = parse("true");
    ASSERT_TRUE(fnd::as<fnd::Dictionary>(yes.result));
    EXPECT_EQ(fnd::as<fnd::Dictionary>(yes.result)->stringForKey("result"), "true");
    EXPECT_FALSE(yes.error);

    auto no = parse("false");
    EXPECT_FALSE(no.result);
    ASSERT_TRUE(no.error);
    EXPECT_EQ(no.error->domain(), "facebookErrDomain");
    EXPECT_EQ(no.error->code(), 10000);
    EXPECT_EQ(no.error->userInfo()->stringForKey("error_msg"), "This operation can not be completed");

    auto list = parse("[1,{\"error\":\"inside\"}]");
    EXPECT_TRUE(fnd::as<fnd::Array>(list.result));
    EXPECT_FALSE(list.error);

    auto graphError = parse("{\"error\":{\"type\":\"OAuthException\",\"code\":190,\"message\":\"Invalid token\"}}");
    EXPECT_FALSE(graphError.result);
    ASSERT_TRUE(graphError.error);
    EXPECT_EQ(graphError.error->code(), 10000);
    auto detail = graphError.error->userInfo()->objectForKeyAs<fnd::Dictionary>("error");
    ASSERT_TRUE(detail);
    EXPECT_EQ(fnd::as<fnd::Number>(detail->objectForKey("code"))->longLongValue(), 190);

    auto restError = parse("{\"error_code\":190,\"error_msg\":\"Session expired\"}");
    ASSERT_TRUE(restError.error);
    EXPECT_EQ(restError.error->code(), 190);
    EXPECT_EQ(restError.error->userInfo()->stringForKey("error_msg"), "Session expired");
    EXPECT_EQ(parse("{\"error_code\":\"17\"}").error->code(), 17);

    auto decodedButFailed = parse("{\"id\":\"1\",\"error_msg\":\"x\"}");
    EXPECT_TRUE(decodedButFailed.result);
    ASSERT_TRUE(decodedButFailed.error);
    EXPECT_EQ(decodedButFailed.error->code(), 10000);
    EXPECT_TRUE(parse("{\"id\":\"1\",\"error_reason\":\"user_denied\"}").error);

    auto plain = parse("{\"id\":\"42\",\"name\":\"Ann\"}");
    EXPECT_FALSE(plain.error);
    EXPECT_EQ(fnd::as<fnd::Dictionary>(plain.result)->stringForKey("name"), "Ann");

    auto html = parse("<html><body>Down</body></html>");
    EXPECT_FALSE(html.result);
    EXPECT_FALSE(html.error);
    EXPECT_FALSE(FBRequest::parseJsonResponse(*fnd::Data::create("false"), nullptr));
}

class FacebookRequestLoadTest : public FacebookTest {
protected:
    FacebookRequestLoadTest()
    {
        auto answer = [](int status, std::string body, std::string type) {
            return [status, body, type](const httplib::Request&, httplib::Response& response) {
                response.status = status;
                response.set_content(body, type);
            };
        };
        m_server.http().Get("/ok-html", answer(200, "<html>fine</html>", "text/html"));
        m_server.http().Get("/down", answer(500, "Internal error", "text/plain"));
        m_server.http().Get("/bad-json", answer(400, "{\"error\":{\"code\":190}}", "application/json"));
        m_server.http().Get("/me", answer(200, "{\"id\":\"7\"}", "application/json"));
        startServer();
    }

    std::shared_ptr<FBRequest> load(const std::string& path, std::string base = {})
    {
        auto request = FBRequest::getRequestWithParams(params({ { "x", text("1") } }), "GET", m_delegate, (base.empty() ? m_server.url("") : base) + path);
        m_observer = request->addObserverForKey("state", [this, raw = request.get()](std::string_view, fnd::KeyValueChange change) {
            if (change == fnd::KeyValueChange::DidChange)
                m_states.push_back(raw->state());
        });
        request->connect();
        EXPECT_TRUE(settle([&] { return m_delegate->finished(); })) << path;
        return request;
    }

    std::shared_ptr<RecordingRequestDelegate> m_delegate = std::make_shared<RecordingRequestDelegate>();
    std::vector<uint32_t> m_states;
    fnd::ObserverToken m_observer;
};

TEST_F(FacebookRequestLoadTest, HtmlWithStatus200IsDeliveredRaw)
{
    auto request = load("/ok-html");
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "loading", "loaded" }));
    auto data = fnd::as<fnd::Data>(m_delegate->result);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->asStringView(), "<html>fine</html>");
    EXPECT_EQ(m_states, (std::vector<uint32_t> { 1, 2 }));
    EXPECT_FALSE(request->loading());
}

TEST_F(FacebookRequestLoadTest, ErrorStatusWithoutJsonErrorFailsWithTheStatus)
{
    load("/down");
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "loading", "failed" }));
    ASSERT_TRUE(m_delegate->error);
    EXPECT_EQ(m_delegate->error->domain(), "facebookErrDomain");
    EXPECT_EQ(m_delegate->error->code(), 500);
    EXPECT_EQ(m_delegate->raw, "Internal error");
    EXPECT_EQ(m_states, (std::vector<uint32_t> { 1, 3 }));

    m_delegate = std::make_shared<RecordingRequestDelegate>();
    m_states.clear();
    load("/bad-json");
    ASSERT_TRUE(m_delegate->error);
    EXPECT_EQ(m_delegate->error->code(), 10000);
    EXPECT_TRUE(m_delegate->error->userInfo()->objectForKey("error"));
    EXPECT_EQ(m_states, (std::vector<uint32_t> { 1, 3 }));
}

TEST_F(FacebookRequestLoadTest, RefusedConnectionReportsThePlatformError)
{
    load("/me", "http://127.0.0.1:" + std::to_string(LoopbackServer::closedPort()));
    ASSERT_TRUE(m_delegate->error);
    EXPECT_EQ(m_delegate->error->domain(), fnd::URLError::domain);
    EXPECT_EQ(m_states, (std::vector<uint32_t> { 1, 3 }));
}
