#include "sharing/oauth/OAMutableURLRequest.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/Format.h"
#include "platform/foundation/UUID.h"
#include "sharing/oauth/OAConsumer.h"
#include "sharing/oauth/OAHMAC_SHA1SignatureProvider.h"
#include "sharing/oauth/OAToken.h"
#include "sharing/oauth/OAURLEncodingAdditions.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

namespace {

struct NonceSourceHolder {
    std::mutex lock;
    OAMutableURLRequest::NonceSource source;
};

NonceSourceHolder& nonceSourceHolder()
{
    static NonceSourceHolder holder;
    return holder;
}

std::string newNonce()
{
    auto& holder = nonceSourceHolder();
    std::lock_guard guard(holder.lock);
    return holder.source ? holder.source() : fnd::UUID::createString();
}

// Whole seconds since 1970 in 64 bits, so the text stays right after 2038.
std::string currentTimestamp()
{
    return fnd::format("%lld", static_cast<long long>(std::floor(fnd::Clock::current().now())));
}

std::string encodedPair(std::string_view name, std::string_view value)
{
    return OAURLEncodedString(name) + '=' + OAURLEncodedString(value);
}

std::string valueOrEmpty(const std::optional<std::string>& text)
{
    return text.value_or("");
}

}

std::shared_ptr<OAMutableURLRequest> OAMutableURLRequest::createWithURL(fnd::Ref<fnd::URL> url, std::shared_ptr<OAConsumer> consumer,
    std::shared_ptr<OAToken> token, std::optional<std::string> realm, std::shared_ptr<const OASignatureProviding> signatureProvider)
{
    return std::make_shared<OAMutableURLRequest>(std::move(url), std::move(consumer), std::move(token), realm.value_or(""),
        std::move(signatureProvider));
}

void OAMutableURLRequest::setNonceSource(NonceSource source)
{
    auto& holder = nonceSourceHolder();
    std::lock_guard guard(holder.lock);
    holder.source = std::move(source);
}

OAMutableURLRequest::OAMutableURLRequest(fnd::Ref<fnd::URL> url, std::shared_ptr<OAConsumer> consumer, std::shared_ptr<OAToken> token,
    std::string realm, std::shared_ptr<const OASignatureProviding> signatureProvider)
    : fnd::URLRequest(std::move(url), CachePolicy::ReloadIgnoringLocalCacheData, signedRequestTimeoutInterval)
    , m_consumer(consumer ? std::move(consumer) : OAConsumer::createWithKeySecret({}, {}))
    , m_token(token ? std::move(token) : OAToken::create())
    , m_realm(std::move(realm))
    , m_signatureProvider(signatureProvider ? std::move(signatureProvider) : std::make_shared<OAHMAC_SHA1SignatureProvider>())
    , m_nonce(newNonce())
    , m_timestamp(currentTimestamp())
{
}

OAMutableURLRequest::~OAMutableURLRequest() = default;

void OAMutableURLRequest::setOAuthParameterNameWithValue(std::string name, std::string value)
{
    m_extraOAuthParameters[std::move(name)] = std::move(value);
}

std::string OAMutableURLRequest::signatureBaseString() const
{
    std::vector<std::string> pairs {
        encodedPair("oauth_consumer_key", m_consumer->key()),
        encodedPair("oauth_signature_method", m_signatureProvider->name()),
        encodedPair("oauth_timestamp", m_timestamp),
        encodedPair("oauth_nonce", m_nonce),
        "oauth_version=1.0",
    };
    if (!m_token->isEmpty())
        pairs.push_back(encodedPair("oauth_token", *m_token->key()));
    for (auto& [name, value] : m_extraOAuthParameters)
        pairs.push_back(encodedPair(name, value));

    bool isMultipart = valueForHTTPHeaderField("Content-Type").value_or("").starts_with("multipart/form-data");
    if (!isMultipart) {
        for (auto& parameter : parameters().value_or(OARequestParameters {}))
            pairs.push_back(parameter->URLEncodedNameValuePair());
    }

    std::sort(pairs.begin(), pairs.end());
    std::string joined;
    for (size_t index = 0; index < pairs.size(); ++index) {
        if (index)
            joined += '&';
        joined += pairs[index];
    }

    auto address = url() ? OAURLStringWithoutQuery(*url()) : std::string();
    return fnd::format("%@&%@&%@", httpMethod(), OAURLEncodedString(address), OAURLEncodedString(joined));
}

std::string OAMutableURLRequest::signingSecret() const
{
    return fnd::format("%@&%@", OAURLEncodedString(m_consumer->secret()), OAURLEncodedString(valueOrEmpty(m_token->secret())));
}

void OAMutableURLRequest::prepare()
{
    if (m_didPrepare)
        return;
    m_didPrepare = true;

    m_signature = m_signatureProvider->signClearTextWithSecret(signatureBaseString(), signingSecret());

    std::string tokenPart;
    if (!m_token->isEmpty())
        tokenPart = fnd::format("oauth_token=\"%@\", ", OAURLEncodedString(*m_token->key()));

    std::string extraPart;
    for (auto& [name, value] : m_extraOAuthParameters)
        extraPart += fnd::format(", %@=\"%@\"", OAURLEncodedString(name), OAURLEncodedString(value));

    auto header = fnd::format(
        "OAuth realm=\"%@\", oauth_consumer_key=\"%@\", %@oauth_signature_method=\"%@\", oauth_signature=\"%@\", "
        "oauth_timestamp=\"%@\", oauth_nonce=\"%@\", oauth_version=\"1.0\"%@",
        OAURLEncodedString(m_realm), OAURLEncodedString(m_consumer->key()), tokenPart, OAURLEncodedString(m_signatureProvider->name()),
        OAURLEncodedString(m_signature), m_timestamp, m_nonce, extraPart);
    setValueForHTTPHeaderField(header, "Authorization");
}
