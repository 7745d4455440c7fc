#pragma once

#include "support/HttpForm.h"

#include <optional>
#include <string>
#include <string_view>

// Verifies OAuth 1.0 HMAC-SHA1 signed requests the way a service would (RFC 5849), for loopback
// peers. It shares no code with the application's signing, so a fault there shows up here.
//
//     OAuth1Checker checker("consumer secret", "token secret");
//     auto result = checker.check(OAuth1Request::from(*server.lastRequest()));
//     EXPECT_TRUE(result.ok) << result.reason;
//     EXPECT_EQ(result.parameter("oauth_token"), "token");

namespace brenzo::testing {

struct RecordedRequest;

struct OAuth1Request {
    std::string method;
    // Absolute, with the query if there is one.
    std::string url;
    // The Authorization header's value ("OAuth realm=..., oauth_...=...").
    std::string authorization;
    // Form-body parameters take part only with an application/x-www-form-urlencoded content type.
    std::string contentType;
    std::string body;
    // The loopback server's HTTP library percent-decodes header values as it reads them, so a
    // recorded authorisation's values are decoded once already (from() sets this).
    bool authorizationDecoded = false;

    // What a loopback server recorded: the address is rebuilt from the Host field and the target
    // as sent. `authorizationField` picks another header carrying a signed authorisation.
    static OAuth1Request from(const RecordedRequest&, std::string_view scheme = "http", const std::string& authorizationField = "Authorization");
};

struct OAuth1Result {
    bool ok = false;
    // Why the check failed, naming the base string it expected.
    std::string reason;
    // The header's parameters, decoded, in their order (realm excluded).
    FormPairs oauthParameters;
    std::optional<std::string> realm;
    std::string baseString;
    std::string expectedSignature;

    std::optional<std::string> parameter(std::string_view name) const { return formValue(oauthParameters, name); }
};

class OAuth1Checker {
public:
    explicit OAuth1Checker(std::string consumerSecret, std::string tokenSecret = {});

    OAuth1Result check(const OAuth1Request&) const;

    // The pieces of the signature, public so tests can check them against published examples.
    static std::string encode(std::string_view);
    static std::string baseString(const OAuth1Request&, const FormPairs& oauthParameters);
    static std::string hmacSha1Base64(std::string_view key, std::string_view text);
    // Nothing when the value is not an OAuth authorisation; throws on a malformed one, or on a
    // value that is not percent-encoded unless `alreadyDecoded`.
    static std::optional<FormPairs> parseAuthorization(std::string_view headerValue, bool alreadyDecoded = false);

private:
    std::string m_consumerSecret;
    std::string m_tokenSecret;
};

}
