#include "sharing/oauth/OAConsumer.h"

std::shared_ptr<OAConsumer> OAConsumer::createWithKeySecret(std::string key, std::string secret)
{
    return std::make_shared<OAConsumer>(std::move(key), std::move(secret));
}

OAConsumer::OAConsumer(std::string key, std::string secret)
    : m_key(std::move(key))
    , m_secret(std::move(secret))
{
}
