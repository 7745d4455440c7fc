#pragma once

#include <memory>
#include <string>

// The application's identity at a service: its consumer key and secret.
class OAConsumer {
public:
    static std::shared_ptr<OAConsumer> createWithKeySecret(std::string key, std::string secret);
    OAConsumer(std::string key, std::string secret);

    const std::string& key() const { return m_key; }
    void setKey(std::string key) { m_key = std::move(key); }
    const std::string& secret() const { return m_secret; }
    void setSecret(std::string secret) { m_secret = std::move(secret); }

private:
    std::string m_key;
    std::string m_secret;
};
