#include "support/OAuth1Checker.h"

#include "support/LoopbackServer.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace brenzo::testing {

namespace {

std::string lowercased(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), [](unsigned char c) { return std::tolower(c); });
    return result;
}

struct SplitURL {
    std::string baseURI;
    std::string query;
};

// Scheme and host in lower case, the default port dropped, no user info, query or fragment.
SplitURL splitURL(std::string_view url)
{
    auto schemeEnd = url.find("://");
    if (schemeEnd == std::string_view::npos)
        throw std::invalid_argument("not an absolute address: " + std::string(url));
    auto scheme = lowercased(url.substr(0, schemeEnd));
    auto rest = url.substr(schemeEnd + 3);
    if (auto fragment = rest.find('#'); fragment != std::string_view::npos)
        rest = rest.substr(0, fragment);
    std::string query;
    if (auto question = rest.find('?'); question != std::string_view::npos) {
        query = std::string(rest.substr(question + 1));
        rest = rest.substr(0, question);
    }
    auto pathStart = rest.find('/');
    auto authority = rest.substr(0, pathStart);
    std::string path = pathStart == std::string_view::npos ? "/" : std::string(rest.substr(pathStart));
    if (auto at = authority.rfind('@'); at != std::string_view::npos)
        authority = authority.substr(at + 1);
    auto host = lowercased(authority);
    if (auto colon = host.rfind(':'); colon != std::string::npos && host.find(']', colon) == std::string::npos) {
        auto port = host.substr(colon + 1);
        if ((scheme == "http" && port == "80") || (scheme == "https" && port == "443") || port.empty())
            host.resize(colon);
    }
    return { scheme + "://" + host + path, query };
}

bool isFormContentType(std::string_view contentType)
{
    auto mediaType = contentType.substr(0, contentType.find(';'));
    while (!mediaType.empty() && mediaType.back() == ' ')
        mediaType.remove_suffix(1);
    return lowercased(mediaType) == "application/x-www-form-urlencoded";
}

bool isUnreserved(unsigned char c)
{
    return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

// A value in the header must be percent-encoded: a raw "+", "/" or "=" would be read differently
// by a service.
std::optional<std::string> unencodedCharacter(std::string_view name, std::string_view raw)
{
    for (unsigned char c : raw) {
        if (!isUnreserved(c) && c != '%')
            return "the value of " + std::string(name) + " holds an unencoded '" + std::string(1, static_cast<char>(c)) + "'";
    }
    return std::nullopt;
}

void skipBlanks(std::string_view& text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r' || text.front() == '\n'))
        text.remove_prefix(1);
}

}

OAuth1Request OAuth1Request::from(const RecordedRequest& request, std::string_view scheme, const std::string& authorizationField)
{
    OAuth1Request result;
    result.method = request.method;
    result.url = std::string(scheme) + "://" + request.header("Host").value_or("") + request.target;
    result.authorization = request.header(authorizationField).value_or("");
    result.contentType = request.header("Content-Type").value_or("");
    result.body = request.body;
    result.authorizationDecoded = true;
    return result;
}

OAuth1Checker::OAuth1Checker(std::string consumerSecret, std::string tokenSecret)
    : m_consumerSecret(std::move(consumerSecret))
    , m_tokenSecret(std::move(tokenSecret))
{
}

std::string OAuth1Checker::encode(std::string_view text)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string encoded;
    for (unsigned char c : text) {
        if (isUnreserved(c)) {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += digits[c >> 4];
            encoded += digits[c & 15];
        }
    }
    return encoded;
}

std::string OAuth1Checker::baseString(const OAuth1Request& request, const FormPairs& oauthParameters)
{
    auto url = splitURL(request.url);
    FormPairs parameters = decodeQuery(url.query);
    if (isFormContentType(request.contentType)) {
        auto bodyParameters = decodeForm(request.body);
        parameters.insert(parameters.end(), bodyParameters.begin(), bodyParameters.end());
    }
    for (auto& [name, value] : oauthParameters) {
        if (name != "realm" && name != "oauth_signature")
            parameters.emplace_back(name, value);
    }
    std::vector<std::pair<std::string, std::string>> encoded;
    for (auto& [name, value] : parameters)
        encoded.emplace_back(encode(name), encode(value));
    std::sort(encoded.begin(), encoded.end());
    std::string normalized;
    for (auto& [name, value] : encoded) {
        if (!normalized.empty())
            normalized += '&';
        normalized += name + "=" + value;
    }
    std::string method(request.method);
    std::transform(method.begin(), method.end(), method.begin(), [](unsigned char c) { return std::toupper(c); });
    return method + "&" + encode(url.baseURI) + "&" + encode(normalized);
}

std::string OAuth1Checker::hmacSha1Base64(std::string_view key, std::string_view text)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned digestLength = 0;
    if (!HMAC(EVP_sha1(), key.data(), static_cast<int>(key.size()), reinterpret_cast<const unsigned char*>(text.data()), text.size(), digest, &digestLength))
        throw std::runtime_error("HMAC-SHA1 failed");
    std::string encoded(4 * ((digestLength + 2) / 3), '\0');
    EVP_EncodeBlock(reinterpret_cast<unsigned char*>(encoded.data()), digest, static_cast<int>(digestLength));
    return encoded;
}

std::optional<FormPairs> OAuth1Checker::parseAuthorization(std::string_view header, bool alreadyDecoded)
{
    skipBlanks(header);
    if (header.size() < 6 || lowercased(header.substr(0, 5)) != "oauth" || (header[5] != ' ' && header[5] != '\t'))
        return std::nullopt;
    header.remove_prefix(5);
    FormPairs parameters;
    while (true) {
        skipBlanks(header);
        if (header.empty())
            return parameters;
        auto equals = header.find('=');
        if (equals == std::string_view::npos || equals + 1 >= header.size() || header[equals + 1] != '"')
            throw std::invalid_argument("expected name=\"value\" in the authorization at: " + std::string(header));
        auto name = header.substr(0, equals);
        auto closing = header.find('"', equals + 2);
        if (closing == std::string_view::npos)
            throw std::invalid_argument("unterminated value for " + std::string(name));
        auto raw = header.substr(equals + 2, closing - equals - 2);
        if (alreadyDecoded || name == "realm") {
            parameters.emplace_back(std::string(name), std::string(raw));
        } else {
            if (auto problem = unencodedCharacter(name, raw))
                throw std::invalid_argument(*problem);
            parameters.emplace_back(percentDecode(name), percentDecode(raw));
        }
        header.remove_prefix(closing + 1);
        skipBlanks(header);
        if (!header.empty()) {
            if (header.front() != ',')
                throw std::invalid_argument("expected ',' in the authorization at: " + std::string(header));
            header.remove_prefix(1);
        }
    }
}

OAuth1Result OAuth1Checker::check(const OAuth1Request& request) const
{
    OAuth1Result result;
    std::optional<FormPairs> parameters;
    try {
        parameters = parseAuthorization(request.authorization, request.authorizationDecoded);
    } catch (const std::invalid_argument& error) {
        result.reason = error.what();
        return result;
    }
    if (!parameters) {
        result.reason = "no OAuth authorization: \"" + request.authorization + "\"";
        return result;
    }
    for (auto& pair : *parameters) {
        if (pair.first == "realm")
            result.realm = pair.second;
        else if (formValue(result.oauthParameters, pair.first))
            result.reason = "duplicate parameter " + pair.first;
        else
            result.oauthParameters.push_back(pair);
    }
    if (!result.reason.empty())
        return result;
    for (auto required : { "oauth_consumer_key", "oauth_signature_method", "oauth_timestamp", "oauth_nonce", "oauth_signature" }) {
        if (!result.parameter(required)) {
            result.reason = std::string("missing ") + required;
            return result;
        }
    }
    if (result.parameter("oauth_signature_method") != "HMAC-SHA1") {
        result.reason = "signature method " + *result.parameter("oauth_signature_method") + " instead of HMAC-SHA1";
        return result;
    }
    if (auto version = result.parameter("oauth_version"); version && *version != "1.0") {
        result.reason = "oauth_version " + *version + " instead of 1.0";
        return result;
    }
    try {
        result.baseString = baseString(request, result.oauthParameters);
    } catch (const std::invalid_argument& error) {
        result.reason = error.what();
        return result;
    }
    result.expectedSignature = hmacSha1Base64(encode(m_consumerSecret) + "&" + encode(m_tokenSecret), result.baseString);
    auto signature = *result.parameter("oauth_signature");
    if (signature != result.expectedSignature) {
        result.reason = "signature " + signature + " instead of " + result.expectedSignature + " for the base string " + result.baseString;
        return result;
    }
    result.ok = true;
    return result;
}

}
