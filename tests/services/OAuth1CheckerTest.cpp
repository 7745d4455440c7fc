#include "support/LoopbackServer.h"
#include "support/OAuth1Checker.h"

#include <gtest/gtest.h>

namespace {

using brenzo::testing::LoopbackServer;
using brenzo::testing::OAuth1Checker;
using brenzo::testing::OAuth1Request;

// The photo request of RFC 5849's walk-through, signed with the published secrets.
constexpr auto photoConsumerSecret = "kd94hf93k423kf44";
constexpr auto photoTokenSecret = "pfkkdhi9sl3r4s00";
constexpr auto photoAuthorization = "OAuth realm=\"Photos\",\r\n    oauth_consumer_key=\"dpf43f3p2l4k3l03\",\r\n    oauth_token=\"nnch734d00sl2jdk\",\r\n"
                                    "    oauth_signature_method=\"HMAC-SHA1\",\r\n    oauth_timestamp=\"137131202\",\r\n    oauth_nonce=\"chapoH\",\r\n"
                                    "    oauth_signature=\"MdpQcU8iPSUjWoN%2FUDMsK2sui9I%3D\"";

OAuth1Request photoRequest()
{
    return { "GET", "http://photos.example.net/photos?file=vacation.jpg&size=original", photoAuthorization, "", "" };
}

TEST(OAuth1CheckerTest, BaseStringOfThePublishedExample)
{
    OAuth1Request request { "POST", "http://EXAMPLE.com:80/request?b5=%3D%253D&a3=a&c%40=&a2=r%20b#part",
        "OAuth realm=\"Example\", oauth_consumer_key=\"9djdj82h48djs9d2\", oauth_token=\"kkk9d7dh3k39sjv7\", "
        "oauth_signature_method=\"HMAC-SHA1\", oauth_timestamp=\"137131201\", oauth_nonce=\"7d8f3e4a\", "
        "oauth_signature=\"bYT5CMsGcbgUdFHObYMEfcx6bsw%3D\"",
        "application/x-www-form-urlencoded; charset=utf-8", "c2&a3=2+q" };
    auto parameters = OAuth1Checker::parseAuthorization(request.authorization);
    ASSERT_TRUE(parameters);
    EXPECT_EQ(OAuth1Checker::baseString(request, *parameters),
        "POST&http%3A%2F%2Fexample.com%2Frequest&a2%3Dr%2520b%26a3%3D2%2520q%26a3%3Da%26b5%3D%253D%25253D%26c%2540%3D%26c2%3D%26"
        "oauth_consumer_key%3D9djdj82h48djs9d2%26oauth_nonce%3D7d8f3e4a%26oauth_signature_method%3DHMAC-SHA1%26"
        "oauth_timestamp%3D137131201%26oauth_token%3Dkkk9d7dh3k39sjv7");

    // A body that is not a form takes no part.
    request.contentType = "multipart/form-data; boundary=x";
    EXPECT_EQ(OAuth1Checker::baseString(request, *parameters).find("c2"), std::string::npos);
}

TEST(OAuth1CheckerTest, AcceptsThePublishedSignatureAndRefusesWrongOnes)
{
    auto result = OAuth1Checker(photoConsumerSecret, photoTokenSecret).check(photoRequest());
    EXPECT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(result.realm, "Photos");
    EXPECT_EQ(result.parameter("oauth_token"), "nnch734d00sl2jdk");
    EXPECT_EQ(result.parameter("oauth_signature"), "MdpQcU8iPSUjWoN/UDMsK2sui9I=");

    auto wrongSecret = OAuth1Checker(photoConsumerSecret, "another").check(photoRequest());
    EXPECT_FALSE(wrongSecret.ok);
    EXPECT_NE(wrongSecret.reason.find("photos.example.net"), std::string::npos) << wrongSecret.reason;

    auto changedQuery = photoRequest();
    changedQuery.url = "http://photos.example.net/photos?file=vacation.jpg&size=small";
    EXPECT_FALSE(OAuth1Checker(photoConsumerSecret, photoTokenSecret).check(changedQuery).ok);

    auto forged = photoRequest();
    forged.authorization.replace(forged.authorization.find("MdpQ"), 4, "NdpQ");
    EXPECT_FALSE(OAuth1Checker(photoConsumerSecret, photoTokenSecret).check(forged).ok);
}

TEST(OAuth1CheckerTest, RefusesMalformedAuthorizations)
{
    OAuth1Checker checker(photoConsumerSecret, photoTokenSecret);
    auto check = [&](std::string authorization) {
        auto request = photoRequest();
        request.authorization = std::move(authorization);
        return checker.check(request);
    };
    EXPECT_FALSE(check("Basic dXNlcjpwYXNz").ok);
    // The signature's "/" and "=" must travel percent-encoded.
    auto raw = check(std::string(photoAuthorization).replace(std::string(photoAuthorization).find("MdpQ"), 32, "MdpQcU8iPSUjWoN/UDMsK2sui9I="));
    EXPECT_FALSE(raw.ok);
    EXPECT_NE(raw.reason.find("oauth_signature"), std::string::npos) << raw.reason;
    auto withoutNonce = check("OAuth oauth_consumer_key=\"k\", oauth_signature_method=\"HMAC-SHA1\", oauth_timestamp=\"1\", oauth_signature=\"x\"");
    EXPECT_EQ(withoutNonce.reason, "missing oauth_nonce");
    auto plaintext = check("OAuth oauth_consumer_key=\"k\", oauth_signature_method=\"PLAINTEXT\", oauth_timestamp=\"1\", oauth_nonce=\"n\", oauth_signature=\"x\"");
    EXPECT_FALSE(plaintext.ok);
    EXPECT_FALSE(check(std::string(photoAuthorization) + ", oauth_nonce=\"again\"").ok);
}

TEST(OAuth1CheckerTest, ChecksWhatALoopbackServerRecorded)
{
    LoopbackServer server;
    server.http().Get("/photos", [](const httplib::Request&, httplib::Response& response) { response.set_content("ok", "text/plain"); });
    server.start();
    httplib::Client client("127.0.0.1", server.port());
    // Header fields travel on one line.
    std::string authorization = photoAuthorization;
    for (auto fold = authorization.find("\r\n"); fold != std::string::npos; fold = authorization.find("\r\n"))
        authorization.replace(fold, 2, "");
    auto reply = client.Get("/photos?file=vacation.jpg&size=original", { { "Host", "photos.example.net" }, { "Authorization", authorization } });
    ASSERT_TRUE(reply);
    auto recorded = server.lastRequest();
    ASSERT_TRUE(recorded);
    auto result = OAuth1Checker(photoConsumerSecret, photoTokenSecret).check(OAuth1Request::from(*recorded));
    EXPECT_TRUE(result.ok) << result.reason;
    EXPECT_FALSE(OAuth1Checker(photoConsumerSecret, photoTokenSecret).check(OAuth1Request::from(*recorded, "https")).ok);
}

}
