#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

// A request or access token: key, secret and, for services that renew tokens, a session handle.
// Each part may be absent (a token reply that lacked it); signing reads an absent part as empty.
class OAToken {
public:
    // Key, secret and session handle all empty: the "no token" of a request-token request.
    static std::shared_ptr<OAToken> create();
    // No session handle.
    static std::shared_ptr<OAToken> createWithKeySecret(std::string key, std::string secret);
    // From a token reply such as "oauth_token=K&oauth_token_secret=S": the values of
    // "oauth_token", "oauth_token_secret" and "oauth_session_handle", percent-decoded (a later
    // pair of the same name wins); other pairs, and pieces without "=", are ignored.
    static std::shared_ptr<OAToken> createWithHTTPResponseBody(std::string_view body);
    // From the standard user defaults: the key under "OAUTH_<prefix>_<provider>_KEY" and the secret
    // under "OAUTH_<prefix>_<provider>_SECRET"; nil unless both are there. No session handle.
    static std::shared_ptr<OAToken> createWithUserDefaultsUsingServiceProviderName(std::string_view providerName, std::string_view prefix);

    // Writes the key and the secret under those keys (an absent part removes its key) and saves the
    // defaults: 0 once they are on disk, -1 when they could not be written.
    int storeInUserDefaultsWithServiceProviderName(std::string_view providerName, std::string_view prefix) const;

    OAToken() = default;

    const std::optional<std::string>& key() const { return m_key; }
    void setKey(std::optional<std::string> key) { m_key = std::move(key); }
    const std::optional<std::string>& secret() const { return m_secret; }
    void setSecret(std::optional<std::string> secret) { m_secret = std::move(secret); }
    const std::optional<std::string>& sessionHandle() const { return m_sessionHandle; }
    void setSessionHandle(std::optional<std::string> handle) { m_sessionHandle = std::move(handle); }

    // An absent or empty key: no token at all.
    bool isEmpty() const { return !m_key || m_key->empty(); }

private:
    std::optional<std::string> m_key;
    std::optional<std::string> m_secret;
    std::optional<std::string> m_sessionHandle;
};
