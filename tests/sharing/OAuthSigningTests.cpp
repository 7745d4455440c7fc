// The expected figures come from oauth_vectors.py (Python's hmac, hashlib, base64 and
// urllib.parse.quote), not from this code.

#include "OAuthTestSupport.h"

#include "platform/crypto/Base64.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/UserDefaults.h"
#include "sharing/oauth/OAConsumer.h"
#include "sharing/oauth/OAHMAC_SHA1SignatureProvider.h"
#include "sharing/oauth/OAMutableURLRequest.h"
#include "sharing/oauth/OAPlaintextSignatureProvider.h"
#include "sharing/oauth/OAToken.h"
#include "sharing/oauth/OAURLEncodingAdditions.h"
#include "support/TemporaryHome.h"

#include <gtest/gtest.h>

using brenzo::testing::FixedOAuthMoment;

namespace {

using Parameters = std::vector<std::pair<std::string, std::string>>;

OARequestParameters parametersOf(const Parameters& pairs)
{
    OARequestParameters parameters;
    for (auto& [name, value] : pairs)
        parameters.push_back(OARequestParameter::requestParameterWithNameValue(name, value));
    return parameters;
}

std::shared_ptr<OAMutableURLRequest> signedRequest(std::string_view method, std::string_view url, std::string key, std::string secret,
    std::shared_ptr<OAToken> token, const Parameters& parameters, std::shared_ptr<const OASignatureProviding> provider = nullptr)
{
    auto request = OAMutableURLRequest::createWithURL(fnd::URL::create(url), OAConsumer::createWithKeySecret(std::move(key), std::move(secret)),
        std::move(token), std::nullopt, std::move(provider));
    request->setHTTPMethod(method);
    request->setParameters(parametersOf(parameters));
    request->prepare();
    return request;
}

std::string authorization(const OAMutableURLRequest& request)
{
    return request.valueForHTTPHeaderField("Authorization").value_or("");
}

}

TEST(OAuthEncoding, KeepsUnreservedCharactersAndEscapesEveryOtherByte)
{
    EXPECT_EQ(OAURLEncodedString("é ~-._&=/!*'()"), "%C3%A9%20~-._%26%3D%2F%21%2A%27%28%29");
    EXPECT_EQ(OAURLEncodedString("AZaz09+"), "AZaz09%2B");
    EXPECT_EQ(OAURLEncodedString(""), "");
}

TEST(OAuthEncoding, DecodingKeepsTextWithMalformedEscapes)
{
    EXPECT_EQ(OAURLDecodedString("a%2Fb+c%C3%A9"), "a/b+cé");
    EXPECT_EQ(OAURLDecodedString("100%"), "100%");
    EXPECT_EQ(OAURLDecodedString("%zz%41"), "%zz%41");
    EXPECT_EQ(OAURLDecodedString("%FF"), "%FF");
}

TEST(OAuthEncoding, AddressWithoutQueryStopsAtTheFirstQuestionMark)
{
    EXPECT_EQ(OAURLStringWithoutQuery(*fnd::URL::create("https://Host:443/a/b?x=1?y=2")), "https://Host:443/a/b");
    EXPECT_EQ(OAURLStringWithoutQuery(*fnd::URL::create("http://host/path")), "http://host/path");
}

TEST(OAuthSignature, PostSignsItsFormBodyAndSendsTheExactHeader)
{
    FixedOAuthMoment moment(1318622958, "kYjzVBB8Y0ZFabxSWbWovY3uYSQ2pTgmZeNu2VS4cg");
    auto request = signedRequest("POST", "https://api.twitter.com/1/statuses/update.json", "xvz1evFS4wEEPTGEFPHBog",
        "kAcSOqF21Fu85e7zjz7ZN2U4ZRhfV3WpwPAoE3Z7kBw",
        OAToken::createWithKeySecret("370773112-GmHxMAgYyLbNEtIKZeRNFsMKPR9EyMZeS9weJAEb", "LswwdoUaIvS8ltyTt5jkRh4J50vUPVVHtR2YPi5kE"),
        { { "include_entities", "true" }, { "status", "Hello Ladies + Gentlemen, a signed OAuth request!" } });

    EXPECT_EQ(request->signatureBaseString(),
        "POST&https%3A%2F%2Fapi.twitter.com%2F1%2Fstatuses%2Fupdate.json&include_entities%3Dtrue%26oauth_consumer_key%3Dxvz1evFS4wEEPTGEFPHBog"
        "%26oauth_nonce%3DkYjzVBB8Y0ZFabxSWbWovY3uYSQ2pTgmZeNu2VS4cg%26oauth_signature_method%3DHMAC-SHA1%26oauth_timestamp%3D1318622958"
        "%26oauth_token%3D370773112-GmHxMAgYyLbNEtIKZeRNFsMKPR9EyMZeS9weJAEb%26oauth_version%3D1.0"
        "%26status%3DHello%2520Ladies%2520%252B%2520Gentlemen%252C%2520a%2520signed%2520OAuth%2520request%2521");
    EXPECT_EQ(request->signature(), "tnnArxj06cWHq44gCs1OSKk/jLY=");
    EXPECT_EQ(authorization(*request),
        "OAuth realm=\"\", oauth_consumer_key=\"xvz1evFS4wEEPTGEFPHBog\", "
        "oauth_token=\"370773112-GmHxMAgYyLbNEtIKZeRNFsMKPR9EyMZeS9weJAEb\", oauth_signature_method=\"HMAC-SHA1\", "
        "oauth_signature=\"tnnArxj06cWHq44gCs1OSKk%2FjLY%3D\", oauth_timestamp=\"1318622958\", "
        "oauth_nonce=\"kYjzVBB8Y0ZFabxSWbWovY3uYSQ2pTgmZeNu2VS4cg\", oauth_version=\"1.0\"");

    EXPECT_EQ(request->httpBody()->asStringView(), "include_entities=true&status=Hello%20Ladies%20%2B%20Gentlemen%2C%20a%20signed%20OAuth%20request%21");
    EXPECT_EQ(request->valueForHTTPHeaderField("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(request->valueForHTTPHeaderField("Content-Length"), "98");
    EXPECT_EQ(request->timeoutInterval(), 10);
    EXPECT_EQ(request->cachePolicy(), fnd::URLRequest::CachePolicy::ReloadIgnoringLocalCacheData);
}

TEST(OAuthSignature, GetSignsItsQuery)
{
    FixedOAuthMoment moment(1191242096, "kllo9940pd9333jh");
    auto request = signedRequest("GET", "http://photos.example.net/photos?stale=1", "dpf43f3p2l4k3l03", "kd94hf93k423kf44",
        OAToken::createWithKeySecret("nnch734d00sl2jdk", "pfkkd4sc8sn3lkse"), { { "file", "vacation.jpg" }, { "size", "original" } });

    EXPECT_EQ(request->url()->absoluteString(), "http://photos.example.net/photos?file=vacation.jpg&size=original");
    EXPECT_EQ(request->signatureBaseString(),
        "GET&http%3A%2F%2Fphotos.example.net%2Fphotos&file%3Dvacation.jpg%26oauth_consumer_key%3Ddpf43f3p2l4k3l03"
        "%26oauth_nonce%3Dkllo9940pd9333jh%26oauth_signature_method%3DHMAC-SHA1%26oauth_timestamp%3D1191242096"
        "%26oauth_token%3Dnnch734d00sl2jdk%26oauth_version%3D1.0%26size%3Doriginal");
    EXPECT_EQ(request->signature(), "CLZpvGhFntti8QFulFrSBCYlPK0=");
    EXPECT_EQ(authorization(*request),
        "OAuth realm=\"\", oauth_consumer_key=\"dpf43f3p2l4k3l03\", oauth_token=\"nnch734d00sl2jdk\", "
        "oauth_signature_method=\"HMAC-SHA1\", oauth_signature=\"CLZpvGhFntti8QFulFrSBCYlPK0%3D\", oauth_timestamp=\"1191242096\", "
        "oauth_nonce=\"kllo9940pd9333jh\", oauth_version=\"1.0\"");
    EXPECT_FALSE(request->httpBody());
}

TEST(OAuthSignature, ReservedAndNonASCIICharactersAreEncodedOnceInPairsAndAgainInTheBaseString)
{
    FixedOAuthMoment moment(1, "N");
    auto request = signedRequest("GET", "http://example.com/caf%C3%A9", "k€y", "s é", OAToken::createWithKeySecret("tök", "sêcret"),
        { { "q", "crème brûlée & \"co\"" }, { "emoji", "\U0001F600" }, { "x", "!*'()[]/?:@" } });

    EXPECT_EQ(request->signatureBaseString(),
        "GET&http%3A%2F%2Fexample.com%2Fcaf%25C3%25A9&emoji%3D%25F0%259F%2598%2580%26oauth_consumer_key%3Dk%25E2%2582%25ACy"
        "%26oauth_nonce%3DN%26oauth_signature_method%3DHMAC-SHA1%26oauth_timestamp%3D1%26oauth_token%3Dt%25C3%25B6k%26oauth_version%3D1.0"
        "%26q%3Dcr%25C3%25A8me%2520br%25C3%25BBl%25C3%25A9e%2520%2526%2520%2522co%2522"
        "%26x%3D%2521%252A%2527%2528%2529%255B%255D%252F%253F%253A%2540");
    EXPECT_EQ(request->signature(), "U+s3pKkut1+1LFz8TqkgEeYN6o0=");
    auto header = authorization(*request);
    EXPECT_NE(header.find("oauth_consumer_key=\"k%E2%82%ACy\", oauth_token=\"t%C3%B6k\", "), std::string::npos) << header;
    EXPECT_NE(header.find("oauth_signature=\"U%2Bs3pKkut1%2B1LFz8TqkgEeYN6o0%3D\""), std::string::npos) << header;
}

TEST(OAuthSignature, PairsSortAsWholeTexts)
{
    FixedOAuthMoment moment(1, "N");
    auto request = signedRequest("GET", "http://example.com/r", "key", "secret", nullptr, { { "a", "1" }, { "a-b", "2" } });

    EXPECT_EQ(request->signatureBaseString(),
        "GET&http%3A%2F%2Fexample.com%2Fr&a-b%3D2%26a%3D1%26oauth_consumer_key%3Dkey%26oauth_nonce%3DN"
        "%26oauth_signature_method%3DHMAC-SHA1%26oauth_timestamp%3D1%26oauth_version%3D1.0");
    EXPECT_EQ(request->signature(), "KIUFM4j0hD+uvNcM/vHgzJRP1PQ=");
}

TEST(OAuthSignature, EmptyTokenSignsWithConsumerSecretAloneAndSendsNoToken)
{
    FixedOAuthMoment moment(1, "N");
    auto request = signedRequest("POST", "https://api.example.com/oauth/request_token", "key", "secret", nullptr, {});

    EXPECT_EQ(request->signingSecret(), "secret&");
    EXPECT_EQ(request->signatureBaseString(),
        "POST&https%3A%2F%2Fapi.example.com%2Foauth%2Frequest_token&oauth_consumer_key%3Dkey%26oauth_nonce%3DN"
        "%26oauth_signature_method%3DHMAC-SHA1%26oauth_timestamp%3D1%26oauth_version%3D1.0");
    EXPECT_EQ(authorization(*request),
        "OAuth realm=\"\", oauth_consumer_key=\"key\", oauth_signature_method=\"HMAC-SHA1\", "
        "oauth_signature=\"tGaZITujzn7Rs0DIeZjNSUVHfHI%3D\", oauth_timestamp=\"1\", oauth_nonce=\"N\", oauth_version=\"1.0\"");
}

TEST(OAuthSignature, AbsentTokenPartsCountAsEmpty)
{
    FixedOAuthMoment moment(1, "N");
    auto noKey = OAToken::createWithHTTPResponseBody("unrelated=1");
    auto request = signedRequest("POST", "https://api.example.com/oauth/request_token", "key", "secret", noKey, {});
    EXPECT_EQ(request->signingSecret(), "secret&");
    EXPECT_EQ(request->signature(), "tGaZITujzn7Rs0DIeZjNSUVHfHI=");
    EXPECT_EQ(authorization(*request).find("null"), std::string::npos);
    EXPECT_EQ(authorization(*request).find("oauth_token"), std::string::npos);

    auto noSecret = OAToken::createWithHTTPResponseBody("oauth_token=T");
    auto withKeyOnly = signedRequest("POST", "https://api.example.com/x", "key", "secret", noSecret, {});
    EXPECT_EQ(withKeyOnly->signingSecret(), "secret&");
    EXPECT_NE(authorization(*withKeyOnly).find("oauth_token=\"T\", "), std::string::npos);
}

TEST(OAuthSignature, ExtraOAuthParametersAreSignedAndFollowTheVersion)
{
    FixedOAuthMoment moment(1, "N");
    auto request = OAMutableURLRequest::createWithURL(fnd::URL::create("https://api.example.com/oauth/request_token"),
        OAConsumer::createWithKeySecret("key", "secret"));
    request->setHTTPMethod("POST");
    request->setOAuthParameterNameWithValue("oauth_callback", "http://cb.test/x");
    request->prepare();

    EXPECT_EQ(request->signatureBaseString(),
        "POST&https%3A%2F%2Fapi.example.com%2Foauth%2Frequest_token&oauth_callback%3Dhttp%253A%252F%252Fcb.test%252Fx"
        "%26oauth_consumer_key%3Dkey%26oauth_nonce%3DN%26oauth_signature_method%3DHMAC-SHA1%26oauth_timestamp%3D1%26oauth_version%3D1.0");
    EXPECT_EQ(request->signature(), "VUmqjn6XaJn9fklCIoLrtW24Whk=");
    EXPECT_TRUE(authorization(*request).ends_with("oauth_version=\"1.0\", oauth_callback=\"http%3A%2F%2Fcb.test%2Fx\""));
}

TEST(OAuthSignature, MultipartBodyIsNotSigned)
{
    FixedOAuthMoment moment(1, "N");
    auto request = OAMutableURLRequest::createWithURL(fnd::URL::create("https://api.example.com/oauth/request_token"),
        OAConsumer::createWithKeySecret("key", "secret"));
    request->setHTTPMethod("POST");
    request->setParameters(parametersOf({ { "status", "hi" } }));
    EXPECT_NE(request->signatureBaseString().find("status%3Dhi"), std::string::npos);

    request->setValueForHTTPHeaderField("multipart/form-data; boundary=xyz", "Content-Type");
    request->prepare();
    EXPECT_EQ(request->signature(), "tGaZITujzn7Rs0DIeZjNSUVHfHI=");
}

TEST(OAuthSignature, PlaintextSignsWithTheSecretItself)
{
    FixedOAuthMoment moment(1, "N");
    auto request = signedRequest("GET", "http://example.com/r", "key", "s é", OAToken::createWithKeySecret("T", "sêcret"), {},
        std::make_shared<OAPlaintextSignatureProvider>());

    EXPECT_EQ(request->signature(), "s%20%C3%A9&s%C3%AAcret");
    auto header = authorization(*request);
    EXPECT_NE(header.find("oauth_signature_method=\"PLAINTEXT\", oauth_signature=\"s%2520%25C3%25A9%26s%25C3%25AAcret\""), std::string::npos)
        << header;
}

TEST(OAuthSignature, HMACSHA1MatchesThePublishedDigest)
{
    OAHMAC_SHA1SignatureProvider provider;
    EXPECT_EQ(provider.signClearTextWithSecret("what do ya want for nothing?", "Jefe"), "7/zfauXrL6LSdBbV8YTfnCWafHk=");
}

TEST(OAuthSignature, TimestampIsSixtyFourBit)
{
    FixedOAuthMoment moment(4102444800.75, "N");
    auto request = signedRequest("GET", "http://example.com/r", "key", "secret", nullptr, {});
    EXPECT_EQ(request->timestamp(), "4102444800");
    EXPECT_EQ(request->signatureBaseString(),
        "GET&http%3A%2F%2Fexample.com%2Fr&oauth_consumer_key%3Dkey%26oauth_nonce%3DN%26oauth_signature_method%3DHMAC-SHA1"
        "%26oauth_timestamp%3D4102444800%26oauth_version%3D1.0");
    EXPECT_NE(authorization(*request).find("oauth_signature=\"5FL7nibu5kubJRdkkl4wCwo3kjQ%3D\""), std::string::npos);
}

TEST(OAuthSignature, SignsOnlyOnceWithTheMomentOfCreation)
{
    FixedOAuthMoment moment(1, "N");
    auto request = signedRequest("POST", "https://api.example.com/oauth/request_token", "key", "secret", nullptr, {});
    auto header = authorization(*request);

    moment.clock().advanceBy(100);
    request->setParameters(parametersOf({ { "late", "1" } }));
    request->prepare();
    EXPECT_EQ(authorization(*request), header);
    EXPECT_EQ(request->timestamp(), "1");
}

TEST(OAuthSignature, NoncesAreNewUUIDsByDefault)
{
    auto consumer = OAConsumer::createWithKeySecret("key", "secret");
    auto first = OAMutableURLRequest::createWithURL(fnd::URL::create("http://example.com/"), consumer);
    auto second = OAMutableURLRequest::createWithURL(fnd::URL::create("http://example.com/"), consumer);
    EXPECT_EQ(first->nonce().size(), 36u);
    EXPECT_NE(first->nonce(), second->nonce());
}

TEST(OAuthParameters, ReadBackFromQueryOrBody)
{
    auto consumer = OAConsumer::createWithKeySecret("key", "secret");
    auto post = OAMutableURLRequest::createWithURL(fnd::URL::create("http://example.com/p?ignored=1"), consumer);
    post->setHTTPMethod("POST");
    EXPECT_FALSE(post->parameters());
    post->setParameters(parametersOf({ { "a b", "c&d" }, { "é", "+" } }));
    auto parameters = post->parameters();
    ASSERT_TRUE(parameters);
    ASSERT_EQ(parameters->size(), 2u);
    EXPECT_EQ((*parameters)[0]->name(), "a b");
    EXPECT_EQ((*parameters)[0]->value(), "c&d");
    EXPECT_EQ((*parameters)[1]->name(), "é");
    EXPECT_EQ((*parameters)[1]->value(), "+");

    post->setHTTPBody(fnd::Data::create("bad=%zz&ok=%41"));
    parameters = post->parameters();
    ASSERT_TRUE(parameters);
    ASSERT_EQ(parameters->size(), 2u);
    EXPECT_EQ((*parameters)[0]->value(), "%zz");
    EXPECT_EQ((*parameters)[1]->value(), "A");

    auto get = OAMutableURLRequest::createWithURL(fnd::URL::create("http://example.com/p?x=1+2=3&flag&&y=%2F"), consumer);
    parameters = get->parameters();
    ASSERT_TRUE(parameters);
    ASSERT_EQ(parameters->size(), 3u);
    EXPECT_EQ((*parameters)[0]->value(), "1+2");
    EXPECT_EQ((*parameters)[1]->name(), "flag");
    EXPECT_EQ((*parameters)[1]->value(), "");
    EXPECT_EQ((*parameters)[2]->value(), "/");

    get->setParameters({});
    EXPECT_EQ(get->url()->absoluteString(), "http://example.com/p?");
    EXPECT_FALSE(get->parameters());
}

TEST(OAuthToken, ParsedFromAReplyBody)
{
    auto token = OAToken::createWithHTTPResponseBody("oauth_token=a%2Fb&oauth_token_secret=s3cr&unknown=x");
    EXPECT_EQ(token->key(), "a/b");
    EXPECT_EQ(token->secret(), "s3cr");
    EXPECT_FALSE(token->sessionHandle());

    auto later = OAToken::createWithHTTPResponseBody("oauth_token=1&junk&oauth_token=2=extra&oauth_session_handle=h%zz");
    EXPECT_EQ(later->key(), "2");
    EXPECT_FALSE(later->secret());
    EXPECT_EQ(later->sessionHandle(), "h%zz");

    EXPECT_TRUE(OAToken::createWithHTTPResponseBody("")->isEmpty());
    EXPECT_TRUE(OAToken::create()->isEmpty());
    EXPECT_EQ(OAToken::create()->sessionHandle(), "");
    EXPECT_FALSE(OAToken::createWithKeySecret("k", "s")->sessionHandle());
}

TEST(OAuthToken, KeptInTheUserDefaultsUnderPrefixAndProvider)
{
    brenzo::testing::TemporaryHome home;
    auto token = OAToken::createWithHTTPResponseBody("oauth_token=k%2F1&oauth_token_secret=s1&oauth_session_handle=h");
    EXPECT_EQ(token->storeInUserDefaultsWithServiceProviderName("Twitter", "BRENZO"), 0);
    auto defaults = fnd::UserDefaults::standardUserDefaults();
    EXPECT_EQ(defaults->stringForKey("OAUTH_BRENZO_Twitter_KEY"), "k/1");
    EXPECT_EQ(defaults->stringForKey("OAUTH_BRENZO_Twitter_SECRET"), "s1");

    // Read back after a relaunch, from the file.
    fnd::UserDefaults::setStandardUserDefaults(nullptr);
    auto stored = OAToken::createWithUserDefaultsUsingServiceProviderName("Twitter", "BRENZO");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->key(), "k/1");
    EXPECT_EQ(stored->secret(), "s1");
    EXPECT_FALSE(stored->sessionHandle());
    EXPECT_FALSE(OAToken::createWithUserDefaultsUsingServiceProviderName("Twitter", "OTHER"));
    EXPECT_FALSE(OAToken::createWithUserDefaultsUsingServiceProviderName("BRENZO", "Twitter"));

    // Both parts are needed: a token without a secret clears the stored one.
    auto halfToken = OAToken::createWithHTTPResponseBody("oauth_token=k2");
    EXPECT_EQ(halfToken->storeInUserDefaultsWithServiceProviderName("Twitter", "BRENZO"), 0);
    EXPECT_FALSE(fnd::UserDefaults::standardUserDefaults()->objectForKey("OAUTH_BRENZO_Twitter_SECRET"));
    EXPECT_FALSE(OAToken::createWithUserDefaultsUsingServiceProviderName("Twitter", "BRENZO"));
    fnd::UserDefaults::standardUserDefaults()->setObjectForKey(fnd::Number::withInteger(7), "OAUTH_BRENZO_Twitter_SECRET");
    EXPECT_FALSE(OAToken::createWithUserDefaultsUsingServiceProviderName("Twitter", "BRENZO"));
}
