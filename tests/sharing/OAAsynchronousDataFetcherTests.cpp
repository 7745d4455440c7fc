#include "OAuthTestSupport.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/URLError.h"
#include "sharing/oauth/OAAsynchronousDataFetcher.h"
#include "sharing/oauth/OAConsumer.h"
#include "sharing/oauth/OADataFetcher.h"
#include "sharing/oauth/OAMutableURLRequest.h"
#include "sharing/oauth/OAToken.h"
#include "sharing/oauth/OAURLEncodingAdditions.h"
#include "support/LoopbackServer.h"

#include <gtest/gtest.h>

#include <atomic>

using brenzo::testing::FixedOAuthMoment;
using brenzo::testing::LoopbackServer;

namespace {

// Hears one fetch and remembers what it was told.
class FetchRecorder {
public:
    void didFinish(OAServiceTicket& ticket, const fnd::Ref<fnd::Data>& data)
    {
        ++finishes;
        succeeded = ticket.didSucceed();
        body = ticket.body();
        status = ticket.response() ? ticket.response()->statusCode() : 0;
        dataMatchesTicket = data == ticket.data();
    }
    void didFail(OAServiceTicket& ticket, const fnd::Ref<fnd::Error>& failure)
    {
        ++failures;
        succeeded = ticket.didSucceed();
        error = failure;
        hadResponse = static_cast<bool>(ticket.response());
    }
    int reports() const { return finishes + failures; }

    int finishes = 0;
    int failures = 0;
    bool succeeded = false;
    bool dataMatchesTicket = false;
    bool hadResponse = false;
    int status = 0;
    std::optional<std::string> body;
    fnd::Ref<fnd::Error> error;
};

class OAAsynchronousDataFetcherTest : public ::testing::Test {
protected:
    OAAsynchronousDataFetcherTest()
    {
        m_server.http().Get(R"(/status/(\d+))", [](const httplib::Request& request, httplib::Response& response) {
            response.status = std::stoi(request.matches[1]);
            response.set_content("status " + std::string(request.matches[1]), "text/plain");
        });
        m_server.http().Get("/slow", [this](const httplib::Request&, httplib::Response& response) {
            m_slowRequestArrived = true;
            m_server.waitUntilReleased(std::chrono::seconds(5));
            response.set_content("late", "text/plain");
        });
        m_server.start();
    }

    std::shared_ptr<OAMutableURLRequest> requestFor(const std::string& path)
    {
        return OAMutableURLRequest::createWithURL(fnd::URL::create(m_server.url(path)), OAConsumer::createWithKeySecret("key", "secret"),
            OAToken::createWithKeySecret("token", "tokensecret"));
    }

    std::shared_ptr<OAAsynchronousDataFetcher> fetch(std::shared_ptr<OAMutableURLRequest> request)
    {
        auto fetcher = OAAsynchronousDataFetcher::asynchronousFetcherWithRequest(std::move(request), m_recorder,
            &FetchRecorder::didFinish, &FetchRecorder::didFail);
        fetcher->start();
        return fetcher;
    }

    bool waitForReport()
    {
        return fnd::RunLoop::main().runUntil([this] { return m_recorder->reports() > 0; }, 10);
    }

    FixedOAuthMoment m_moment { 1300000000, "NONCE" };
    std::atomic<bool> m_slowRequestArrived { false };
    LoopbackServer m_server;
    std::shared_ptr<FetchRecorder> m_recorder = std::make_shared<FetchRecorder>();
};

}

TEST_F(OAAsynchronousDataFetcherTest, StatusBelow400IsSuccessAndTheServerSeesTheSignedHeader)
{
    auto request = requestFor("/status/399");
    fetch(request);
    std::weak_ptr<FetchRecorder> delegate = m_recorder;
    ASSERT_TRUE(waitForReport());

    EXPECT_EQ(m_recorder->finishes, 1);
    EXPECT_TRUE(m_recorder->succeeded);
    EXPECT_EQ(m_recorder->status, 399);
    EXPECT_EQ(m_recorder->body, "status 399");
    EXPECT_TRUE(m_recorder->dataMatchesTicket);
    // Let go after its one report.
    m_recorder.reset();
    EXPECT_TRUE(delegate.expired());
    ASSERT_TRUE(request->didPrepare());
    auto received = m_server.lastRequest();
    ASSERT_TRUE(received);
    // The test server hands its handlers header values with their escapes replaced.
    EXPECT_EQ(received->header("Authorization"), OAURLDecodedString(request->valueForHTTPHeaderField("Authorization").value_or("")));
    EXPECT_NE(received->header("Authorization")->find("oauth_token=\"token\""), std::string::npos);
}

TEST_F(OAAsynchronousDataFetcherTest, StatusFrom400GoesToFinishAsFailureWithTheBody)
{
    fetch(requestFor("/status/400"));
    ASSERT_TRUE(waitForReport());
    EXPECT_EQ(m_recorder->finishes, 1);
    EXPECT_EQ(m_recorder->failures, 0);
    EXPECT_FALSE(m_recorder->succeeded);
    EXPECT_EQ(m_recorder->body, "status 400");
}

TEST_F(OAAsynchronousDataFetcherTest, TransportFailureGoesToFailWithTheError)
{
    auto closedPort = std::make_unique<LoopbackServer>();
    closedPort->start();
    auto url = closedPort->url("/gone");
    closedPort.reset();

    fetch(OAMutableURLRequest::createWithURL(fnd::URL::create(url), OAConsumer::createWithKeySecret("key", "secret")));
    ASSERT_TRUE(waitForReport());
    EXPECT_EQ(m_recorder->failures, 1);
    EXPECT_FALSE(m_recorder->succeeded);
    ASSERT_TRUE(m_recorder->error);
    EXPECT_EQ(m_recorder->error->domain(), fnd::URLError::domain);
}

TEST_F(OAAsynchronousDataFetcherTest, RequestWithoutAddressFailsAtOnceWithoutError)
{
    fetch(OAMutableURLRequest::createWithURL(nullptr, OAConsumer::createWithKeySecret("key", "secret")));
    EXPECT_EQ(m_recorder->failures, 1);
    EXPECT_FALSE(m_recorder->error);
    EXPECT_FALSE(m_recorder->hadResponse);
}

TEST_F(OAAsynchronousDataFetcherTest, CancelledFetchReportsNothingAndLetsTheDelegateGo)
{
    auto reports = std::make_shared<int>(0);
    auto delegate = std::make_shared<int>(0);
    std::weak_ptr<int> heldDelegate = delegate;
    auto fetcher = OAAsynchronousDataFetcher::asynchronousFetcherWithRequest(
        requestFor("/slow"), [reports, delegate](OAServiceTicket&, const fnd::Ref<fnd::Data>&) { ++*reports; },
        [reports, delegate](OAServiceTicket&, const fnd::Ref<fnd::Error>&) { ++*reports; });
    delegate.reset();
    fetcher->start();
    ASSERT_TRUE(fnd::RunLoop::main().runUntil([this] { return m_slowRequestArrived.load(); }, 10));

    fetcher->cancel();
    EXPECT_TRUE(heldDelegate.expired());
    m_server.releaseWaiters();
    fnd::RunLoop::main().runUntil([] { return false; }, 0.3);
    EXPECT_EQ(*reports, 0);
}

TEST_F(OAAsynchronousDataFetcherTest, SynchronousFetchReportsOnTheCallingThreadBeforeItReturns)
{
    OADataFetcher fetcher;
    auto request = requestFor("/status/399");
    fetcher.fetchDataWithRequest(request, *m_recorder, &FetchRecorder::didFinish, &FetchRecorder::didFail);
    EXPECT_EQ(m_recorder->finishes, 1);
    EXPECT_TRUE(m_recorder->succeeded);
    EXPECT_EQ(m_recorder->body, "status 399");
    EXPECT_TRUE(m_recorder->dataMatchesTicket);
    EXPECT_EQ(fetcher.request(), request);
    ASSERT_TRUE(request->didPrepare());
    auto received = m_server.lastRequest();
    ASSERT_TRUE(received);
    EXPECT_EQ(received->header("Authorization"), OAURLDecodedString(request->valueForHTTPHeaderField("Authorization").value_or("")));

    fetcher.fetchDataWithRequest(requestFor("/status/400"), *m_recorder, &FetchRecorder::didFinish, &FetchRecorder::didFail);
    EXPECT_EQ(m_recorder->finishes, 2);
    EXPECT_FALSE(m_recorder->succeeded);
    EXPECT_EQ(m_recorder->status, 400);
    EXPECT_EQ(m_recorder->body, "status 400");
    EXPECT_EQ(m_recorder->failures, 0);
}

TEST_F(OAAsynchronousDataFetcherTest, SynchronousFetchFailsWithTheErrorOfAFailedLoadOrAMissingAddress)
{
    OADataFetcher fetcher;
    auto url = fnd::URL::create("http://127.0.0.1:" + std::to_string(LoopbackServer::closedPort()) + "/gone");
    fetcher.fetchDataWithRequest(OAMutableURLRequest::createWithURL(url, OAConsumer::createWithKeySecret("key", "secret")), *m_recorder,
        &FetchRecorder::didFinish, &FetchRecorder::didFail);
    EXPECT_EQ(m_recorder->failures, 1);
    EXPECT_FALSE(m_recorder->succeeded);
    EXPECT_FALSE(m_recorder->hadResponse);
    ASSERT_TRUE(m_recorder->error);
    EXPECT_EQ(m_recorder->error->domain(), fnd::URLError::domain);
    EXPECT_EQ(fetcher.error(), m_recorder->error);

    fetcher.fetchDataWithRequest(OAMutableURLRequest::createWithURL(nullptr, OAConsumer::createWithKeySecret("key", "secret")), *m_recorder,
        &FetchRecorder::didFinish, &FetchRecorder::didFail);
    EXPECT_EQ(m_recorder->failures, 2);
    ASSERT_TRUE(m_recorder->error);
    EXPECT_EQ(m_recorder->error->code(), fnd::URLError::BadURL);
    EXPECT_EQ(m_recorder->finishes, 0);
}
