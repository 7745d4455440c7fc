#include "platform/foundation/HTTPURLResponse.h"
#include "platform/foundation/URLRequest.h"

#include <gtest/gtest.h>

using namespace fnd;

TEST(HTTPHeaderFields, NamesMatchWithoutRegardToCase)
{
    HTTPHeaderFields fields;
    fields.set("Content-Type", "text/plain");
    fields.set("content-type", "text/html");
    EXPECT_EQ(fields.count(), 1u);
    EXPECT_EQ(fields.value("CONTENT-TYPE"), "text/html");
    EXPECT_EQ(fields.entries().front().first, "Content-Type") << "the first spelling stays";

    fields.add("Accept", "a");
    fields.add("accept", "b");
    EXPECT_EQ(fields.value("Accept"), "a, b");
    fields.remove("ACCEPT");
    EXPECT_FALSE(fields.contains("Accept"));
    EXPECT_EQ(fields.dictionary()->stringForKey("Content-Type"), "text/html");
}

TEST(URLRequest, DefaultsAndCopies)
{
    URLRequest request(URL::create("http://example.com/"));
    EXPECT_EQ(request.httpMethod(), "GET");
    EXPECT_EQ(request.timeoutInterval(), 60);
    EXPECT_EQ(request.cachePolicy(), URLRequest::CachePolicy::UseProtocolCachePolicy);
    EXPECT_TRUE(request.httpShouldHandleCookies());
    EXPECT_FALSE(request.httpBody());

    auto body = Data::createMutable({ 'a' });
    request.setHTTPBody(body);
    body->append(std::string_view("b"));
    EXPECT_EQ(request.httpBody()->asStringView(), "a") << "the request keeps its own bytes";

    URLRequest copy = request;
    copy.setHTTPMethod("DELETE");
    copy.setCachePolicy(URLRequest::CachePolicy::ReloadIgnoringLocalAndRemoteCacheData);
    EXPECT_EQ(request.httpMethod(), "GET");
    EXPECT_EQ(int(copy.cachePolicy()), 4);
    copy.setHTTPMethod("");
    EXPECT_EQ(copy.httpMethod(), "GET");
}

TEST(HTTPURLResponse, ReadsLengthAndContentType)
{
    auto url = URL::create("http://example.com/a");
    HTTPURLResponse response(url, 200, { { "content-length", " 42 " }, { "Content-Type", "Text/HTML; Charset=\"ISO-8859-1\"" } });
    EXPECT_EQ(response.expectedContentLength(), 42);
    EXPECT_EQ(response.mimeType(), "text/html");
    EXPECT_EQ(response.textEncodingName(), "iso-8859-1");
    EXPECT_EQ(response.url(), url);

    HTTPURLResponse bare(url, 204, {});
    EXPECT_EQ(bare.expectedContentLength(), -1);
    EXPECT_FALSE(bare.mimeType());
    EXPECT_FALSE(bare.textEncodingName());
    EXPECT_EQ(HTTPURLResponse(url, 200, { { "Content-Length", "12x" } }).expectedContentLength(), -1);
    EXPECT_EQ(HTTPURLResponse(url, 200, { { "Content-Type", "application/json" } }).textEncodingName(), std::nullopt);
}

TEST(HTTPURLResponse, StatusCodePhrasesArePinned)
{
    EXPECT_EQ(HTTPURLResponse::statusCodePhrase(200), "no error");
    EXPECT_EQ(HTTPURLResponse::statusCodePhrase(201), "created");
    EXPECT_EQ(HTTPURLResponse::statusCodePhrase(302), "found");
    EXPECT_EQ(HTTPURLResponse::statusCodePhrase(304), "not modified");
    EXPECT_EQ(HTTPURLResponse::statusCodePhrase(401), "unauthorized");
    EXPECT_EQ(HTTPURLResponse::statusCodePhrase(403), "forbidden");
    EXPECT_EQ(HTTPURLResponse::statusCodePhrase(404), "not found");
    EXPECT_EQ(HTTPURLResponse::statusCodePhrase(500), "internal server error");
    EXPECT_EQ(HTTPURLResponse::statusCodePhrase(503), "service unavailable");
    EXPECT_EQ(HTTPURLResponse::statusCodePhrase(299), "success");
    EXPECT_EQ(HTTPURLResponse::statusCodePhrase(399), "redirected");
    EXPECT_EQ(HTTPURLResponse::statusCodePhrase(499), "client error");
    EXPECT_EQ(HTTPURLResponse::statusCodePhrase(599), "server error");
    EXPECT_EQ(HTTPURLResponse::statusCodePhrase(0), "server error");
}
