#include "sharing/oauth/OAToken.h"

#include "sharing/oauth/OAURLEncodingAdditions.h"

std::shared_ptr<OAToken> OAToken::create()
{
    auto token = std::make_shared<OAToken>();
    token->m_key = "";
    token->m_secret = "";
    token->m_sessionHandle = "";
    return token;
}

std::shared_ptr<OAToken> OAToken::createWithKeySecret(std::string key, std::string secret)
{
    auto token = std::make_shared<OAToken>();
    token->m_key = std::move(key);
    token->m_secret = std::move(secret);
    return token;
}

std::shared_ptr<OAToken> OAToken::createWithHTTPResponseBody(std::string_view body)
{
    auto token = std::make_shared<OAToken>();
    while (true) {
        auto ampersand = body.find('&');
        auto piece = body.substr(0, ampersand);
        auto equals = piece.find('=');
        if (equals != std::string_view::npos) {
            auto name = piece.substr(0, equals);
            auto value = piece.substr(equals + 1);
            value = value.substr(0, value.find('='));
            if (name == "oauth_token")
                token->m_key = OAURLDecodedString(value);
            else if (name == "oauth_token_secret")
                token->m_secret = OAURLDecodedString(value);
            else if (name == "oauth_session_handle")
                token->m_sessionHandle = OAURLDecodedString(value);
        }
        if (ampersand == std::string_view::npos)
            break;
        body.remove_prefix(ampersand + 1);
    }
    return token;
}
