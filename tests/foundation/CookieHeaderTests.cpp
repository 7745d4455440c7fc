#include "platform/foundation/Date.h"
#include "platform/foundation/HTTPCookie.h"
#include "platform/foundation/URLConnection.h"
#include "platform/foundation/URLRequest.h"
#include "support/LoopbackServer.h"

#include <gtest/gtest.h>

namespace brenzo::testing {
namespace {

TEST(CookieHeader, CookieRecordsTravelAsOneFieldInTheirOrder)
{
    EXPECT_TRUE(fnd::HTTPCookie::requestHeaderFields({}).isEmpty());

    LoopbackServer server;
    server.http().Get("/token", [](const httplib::Request&, httplib::Response& response) { response.set_content("T", "text/plain"); });
    server.start();
    fnd::URLRequest request(fnd::URL::create(server.url("/token")));
    fnd::HTTPCookie session { .name = "SID", .value = "abc", .domain = "127.0.0.1", .path = "/" };
    fnd::HTTPCookie auth { .name = "LSID", .value = "x=y", .domain = "127.0.0.1", .path = "/" };
    auto fields = fnd::HTTPCookie::requestHeaderFields({ session, auth });
    fields.set("Authorization", "GoogleLogin auth=Q");
    request.setAllHTTPHeaderFields(fields);
    fnd::Ref<fnd::HTTPURLResponse> response;
    fnd::Ref<fnd::Error> error;
    ASSERT_TRUE(fnd::URLConnection::sendSynchronousRequest(request, &response, &error));
    auto recorded = server.lastRequest();
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->header("Cookie"), "SID=abc; LSID=x=y");
    EXPECT_EQ(recorded->header("Authorization"), "GoogleLogin auth=Q");
}

TEST(DistantFuture, IsTheStartOfTheYear4001)
{
    EXPECT_EQ(fnd::Date::distantFuture()->description(), "4001-01-01 00:00:00 +0000");
    EXPECT_GT(fnd::Date::distantFuture()->timeIntervalSinceNow(), 60.0 * 60 * 24 * 365 * 1000);
}

}
}
