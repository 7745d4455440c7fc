#include "sharing/oauth/OAToken.h"

#include "platform/foundation/Format.h"
#include "platform/foundation/String.h"
#include "platform/foundation/UserDefaults.h"
#include "sharing/oauth/OAURLEncodingAdditions.h"

namespace {

std::string keyDefaultsKey(std::string_view providerName, std::string_view prefix)
{
    return fnd::format("OAUTH_%@_%@_KEY", prefix, providerName);
}

std::string secretDefaultsKey(std::string_view providerName, std::string_view prefix)
{
    return fnd::format("OAUTH_%@_%@_SECRET", prefix, providerName);
}

void storeText(fnd::UserDefaults& defaults, const std::optional<std::string>& text, std::string_view key)
{
    if (text)
        defaults.setObjectForKey(fnd::String::create(*text), key);
    else
        defaults.removeObjectForKey(key);
}

}

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

std::shared_ptr<OAToken> OAToken::createWithUserDefaultsUsingServiceProviderName(std::string_view providerName, std::string_view prefix)
{
    auto defaults = fnd::UserDefaults::standardUserDefaults();
    auto key = defaults->stringForKey(keyDefaultsKey(providerName, prefix));
    auto secret = defaults->stringForKey(secretDefaultsKey(providerName, prefix));
    if (!key || !secret)
        return nullptr;
    return createWithKeySecret(std::move(*key), std::move(*secret));
}

int OAToken::storeInUserDefaultsWithServiceProviderName(std::string_view providerName, std::string_view prefix) const
{
    auto defaults = fnd::UserDefaults::standardUserDefaults();
    defaults->withLock([&](fnd::UserDefaults& locked) {
        storeText(locked, m_key, keyDefaultsKey(providerName, prefix));
        storeText(locked, m_secret, secretDefaultsKey(providerName, prefix));
    });
    return defaults->synchronize() ? 0 : -1;
}

