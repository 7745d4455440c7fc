#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/String.h"
#include "sharing/core/SHKRequest.h"
#include "sharing/core/SHKXMLResponseParser.h"
#include "support/LoopbackServer.h"
#include "support/VirtualTime.h"

#include <gtest/gtest.h>

using brenzo::testing::LoopbackServer;

namespace {

constexpr double patience = 10;

// Stands for a sharer waiting for its request: counts the calls of its finished operation.
class RequestOwner {
public:
    void sendFinished(SHKRequest& request)
    {
        ++finishedCount;
        success = request.success();
        result = request.getResult();
    }
    void otherFinished(SHKRequest&) { ++otherCount; }

    int finishedCount = 0;
    int otherCount = 0;
    bool success = false;
    std::optional<std::string> result;
};

class SHKRequestTest : public ::testing::Test {
protected:
    SHKRequestTest()
    {
        auto& http = m_server.http();
        http.Post("/status/(\\d+)", [](const httplib::Request& request, httplib::Response& response) {
            response.status = std::stoi(request.matches[1]);
            response.set_header("X-Error", "reason " + request.matches[1].str());
            if (response.status != 304)
                response.set_content("reply " + request.matches[1].str(), "text/plain");
        });
        http.Get("/status/(\\d+)", [](const httplib::Request& request, httplib::Response& response) {
            response.status = std::stoi(request.matches[1]);
            response.set_content("got " + request.matches[1].str(), "text/plain");
        });
        http.Get("/binary", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(std::string("\xff\xfe\x80 not text", 12), "application/octet-stream");
        });
        http.Get("/error.xml", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("<?xml version=\"1.0\"?>\n<hash>\n  <request>/1/statuses/update.xml</request>\n  <error code=\"187\">Status is a duplicate.</error>\n</hash>\n",
                "application/xml");
        });
        m_server.start();
    }

    fnd::Ref<fnd::URL> url(const std::string& path) { return fnd::URL::create(m_server.url(path)); }

    bool waitFor(const std::function<bool()>& condition) { return fnd::RunLoop::main().runUntil(condition, patience); }

    brenzo::testing::VirtualTime m_time;
    LoopbackServer m_server;
};

TEST_F(SHKRequestTest, SendsTheBodyWithItsMethodAndCallsTheChosenOperationOnce)
{
    auto owner = std::make_shared<RequestOwner>();
    auto request = SHKRequest::create(url("/status/201"), std::string("title=Caf\xc3\xa9&note=\xe2\x9c\x93"), owner, &RequestOwner::sendFinished, "POST", true);

    ASSERT_TRUE(waitFor([&] { return owner->finishedCount > 0; }));
    fnd::RunLoop::main().runUntilIdle();
    EXPECT_EQ(owner->finishedCount, 1);
    EXPECT_EQ(owner->otherCount, 0);
    EXPECT_TRUE(owner->success);
    EXPECT_EQ(owner->result, "reply 201");

    auto sent = m_server.lastRequest();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->method, "POST");
    EXPECT_EQ(sent->path, "/status/201");
    EXPECT_EQ(sent->body, "title=Caf\xc3\xa9&note=\xe2\x9c\x93");
    EXPECT_EQ(sent->header("Content-Length"), "20");

    ASSERT_TRUE(request->response());
    EXPECT_EQ(request->response()->statusCode(), 201);
    EXPECT_EQ(request->headers().value("x-error"), "reason 201");
    EXPECT_FALSE(request->hasDelegate());
}

TEST_F(SHKRequestTest, SuccessIsStatus200Or201Only)
{
    struct Case {
        int status;
        bool success;
    };
    for (auto [status, expected] : { Case { 200, true }, Case { 201, true }, Case { 202, false }, Case { 304, false }, Case { 403, false }, Case { 500, false } }) {
        auto owner = std::make_shared<RequestOwner>();
        auto request = SHKRequest::create(url("/status/" + std::to_string(status)), std::string("a=1"), owner, &RequestOwner::sendFinished, "POST", true);
        ASSERT_TRUE(waitFor([&] { return owner->finishedCount > 0; })) << status;
        EXPECT_EQ(owner->success, expected) << status;
        ASSERT_TRUE(request->response()) << status;
        EXPECT_EQ(request->response()->statusCode(), status);
        // A failed status still leaves its reply to read.
        if (status != 304) {
            EXPECT_EQ(request->getResult(), "reply " + std::to_string(status));
        }
        EXPECT_EQ(request->headers().value("X-Error"), "reason " + std::to_string(status));
    }
}

TEST_F(SHKRequestTest, APostWithoutABodyGoesOutAsAGet)
{
    auto owner = std::make_shared<RequestOwner>();
    SHKRequest::create(url("/status/200"), std::nullopt, owner, &RequestOwner::sendFinished, "POST", true);
    ASSERT_TRUE(waitFor([&] { return owner->finishedCount > 0; }));

    auto sent = m_server.lastRequest();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->method, "GET");
    EXPECT_TRUE(sent->body.empty());
    EXPECT_EQ(owner->result, "got 200");
}

TEST_F(SHKRequestTest, HeaderFieldsReplaceTheRequestsOwnAndWaitForStart)
{
    auto owner = std::make_shared<RequestOwner>();
    auto request = SHKRequest::create(url("/status/200"), std::string("x=1"), owner, &RequestOwner::sendFinished, "POST", false);
    fnd::RunLoop::main().runUntilIdle();
    EXPECT_EQ(m_server.requestCount(), 0u);

    request->setHeaderFields(fnd::HTTPHeaderFields {
        { "Authorization", "GoogleLogin auth=token" },
        { "Content-Type", "text/plain" },
        { "Cookie", "SID=abc" },
    });
    request->start();
    ASSERT_TRUE(waitFor([&] { return owner->finishedCount > 0; }));

    auto sent = m_server.lastRequest();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->header("Authorization"), "GoogleLogin auth=token");
    EXPECT_EQ(sent->header("Cookie"), "SID=abc");
    EXPECT_EQ(sent->header("Content-Type"), "text/plain");
}

TEST_F(SHKRequestTest, AFailedConnectionEndsWithoutSuccessOrResponse)
{
    auto owner = std::make_shared<RequestOwner>();
    std::weak_ptr<RequestOwner> weakOwner = owner;
    auto address = fnd::URL::create("http://127.0.0.1:" + std::to_string(LoopbackServer::closedPort()) + "/nothing");
    auto request = SHKRequest::create(address, std::string("a=1"), owner, &RequestOwner::sendFinished, "POST", true);
    owner = nullptr;
    // The request alone keeps its delegate until the one call.
    EXPECT_FALSE(weakOwner.expired());
    ASSERT_TRUE(waitFor([&] { return !request->hasDelegate(); }));
    EXPECT_TRUE(weakOwner.expired());
    EXPECT_FALSE(request->success());
    EXPECT_FALSE(request->response());
    EXPECT_EQ(request->data()->length(), 0u);
}

TEST_F(SHKRequestTest, ARequestWithoutAnAddressFailsAtOnceAndLetsItsDelegateGo)
{
    auto owner = std::make_shared<RequestOwner>();
    std::weak_ptr<RequestOwner> weakOwner = owner;
    ASSERT_FALSE(fnd::URL::create("not an address"));
    auto request = SHKRequest::create(fnd::URL::create("not an address"), std::string("a=1"), owner, &RequestOwner::sendFinished, "POST", true);
    EXPECT_EQ(owner->finishedCount, 1);
    EXPECT_FALSE(owner->success);
    EXPECT_FALSE(request->hasDelegate());
    EXPECT_FALSE(request->response());
    owner = nullptr;
    EXPECT_TRUE(weakOwner.expired());

    // Started by hand, after header fields were set, it ends the same way.
    auto second = std::make_shared<RequestOwner>();
    auto unstarted = SHKRequest::create<RequestOwner>(nullptr, std::nullopt, second, &RequestOwner::sendFinished, "GET", false);
    unstarted->setHeaderFields(fnd::HTTPHeaderFields());
    EXPECT_EQ(second->finishedCount, 0);
    unstarted->start();
    EXPECT_EQ(second->finishedCount, 1);
    EXPECT_FALSE(unstarted->hasDelegate());
}

TEST_F(SHKRequestTest, ADelegateWithoutAnOperationHearsNothingAndIsStillLetGo)
{
    auto owner = std::make_shared<RequestOwner>();
    std::weak_ptr<RequestOwner> weakOwner = owner;
    auto request = SHKRequest::create<RequestOwner>(url("/status/200"), std::string("a=1"), owner, nullptr, "POST", true);
    owner = nullptr;
    ASSERT_TRUE(waitFor([&] { return !request->hasDelegate(); }));
    EXPECT_TRUE(weakOwner.expired());
    EXPECT_TRUE(request->success());
}

TEST_F(SHKRequestTest, AReplyThatIsNotUTF8HasNoResultText)
{
    auto owner = std::make_shared<RequestOwner>();
    auto request = SHKRequest::create(url("/binary"), std::nullopt, owner, &RequestOwner::sendFinished, "GET", true);
    ASSERT_TRUE(waitFor([&] { return owner->finishedCount > 0; }));
    EXPECT_TRUE(owner->success);
    EXPECT_EQ(owner->result, std::nullopt);
    EXPECT_EQ(request->data()->length(), 12u);
}

TEST_F(SHKRequestTest, AnXMLReplyReadsAsAFlatDictionary)
{
    auto owner = std::make_shared<RequestOwner>();
    auto request = SHKRequest::create(url("/error.xml"), std::nullopt, owner, &RequestOwner::sendFinished, "GET", true);
    ASSERT_TRUE(waitFor([&] { return owner->finishedCount > 0; }));

    auto error = fnd::as<fnd::Dictionary>(SHKXMLResponseParser::getValueForElementFromResponse("error", request->data()));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->stringForKey("code"), "187");
    EXPECT_EQ(fnd::descriptionOf(SHKXMLResponseParser::getValueForElementFromResponse("request", request->data())), "/1/statuses/update.xml");
    EXPECT_EQ(fnd::descriptionOf(SHKXMLResponseParser::getValueForElementFromResponse("code", request->data())), "187");
}

TEST_F(SHKRequestTest, ItsDescriptionHoldsTheBodyButNeverReachesTheLog)
{
    fnd::LogCapture log;
    auto owner = std::make_shared<RequestOwner>();
    auto request = SHKRequest::create(url("/status/403"), std::string("username=joe&password=s3cret"), owner, &RequestOwner::sendFinished, "POST", true);
    ASSERT_TRUE(waitFor([&] { return owner->finishedCount > 0; }));

    EXPECT_EQ(request->description(), "method: POST\nurl: " + m_server.url("/status/403") + "\nparams: username=joe&password=s3cret\nresponse: 403 (forbidden)\ndata: reply 403");
    EXPECT_EQ(log.count("s3cret"), 0u);
}

}
