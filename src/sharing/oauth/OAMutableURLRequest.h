#pragma once

#include "platform/foundation/URLRequest.h"
#include "sharing/oauth/OAParameterAdditions.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

class OAConsumer;
class OASignatureProviding;
class OAToken;

// A request that signs itself with OAuth 1.0 and carries the signature in its "Authorization"
// header. Build it for a URL with the consumer and (when there is one) the token, set the method
// and the parameters, then prepare() it, or let the fetcher do so. The timestamp (the process
// clock's whole seconds since 1970) and the nonce are fixed when the request is made; it is signed
// at most once, so parameters changed after prepare() are not reflected in the header.
//
// The base string sorts the encoded "name=value" pairs as whole texts, so "a-b=2" comes before
// "a=1"; only the query of a GET or DELETE, or the form body of any other method, is signed, and
// a "multipart/form-data" body is not.
class OAMutableURLRequest : public fnd::URLRequest {
public:
    static constexpr double signedRequestTimeoutInterval = 10;

    // No token means an empty one (nothing about a token is signed or sent), no realm the empty
    // one and no provider HMAC-SHA1.
    static std::shared_ptr<OAMutableURLRequest> createWithURL(fnd::Ref<fnd::URL>, std::shared_ptr<OAConsumer>,
        std::shared_ptr<OAToken> = nullptr, std::optional<std::string> realm = std::nullopt,
        std::shared_ptr<const OASignatureProviding> = nullptr);

    // Where new requests take their nonces: new UUID texts unless a test installs a source of its
    // own; an empty source restores the UUIDs.
    using NonceSource = std::function<std::string()>;
    static void setNonceSource(NonceSource);

    OAMutableURLRequest(fnd::Ref<fnd::URL>, std::shared_ptr<OAConsumer>, std::shared_ptr<OAToken>, std::string realm,
        std::shared_ptr<const OASignatureProviding>);
    ~OAMutableURLRequest() override;

    const std::shared_ptr<OAConsumer>& consumer() const { return m_consumer; }
    const std::shared_ptr<OAToken>& token() const { return m_token; }
    const std::string& realm() const { return m_realm; }
    const std::shared_ptr<const OASignatureProviding>& signatureProvider() const { return m_signatureProvider; }
    const std::string& nonce() const { return m_nonce; }
    const std::string& timestamp() const { return m_timestamp; }
    // Empty until prepare().
    const std::string& signature() const { return m_signature; }
    bool didPrepare() const { return m_didPrepare; }

    // An OAuth parameter beyond the standard ones, signed and sent in the header (sorted by name).
    void setOAuthParameterNameWithValue(std::string name, std::string value);
    const std::map<std::string, std::string>& extraOAuthParameters() const { return m_extraOAuthParameters; }

    std::optional<OARequestParameters> parameters() const { return OARequestParametersOf(*this); }
    void setParameters(const OARequestParameters& parameters) { OASetRequestParameters(*this, parameters); }

    // "METHOD&encoded address without query&encoded sorted parameters".
    std::string signatureBaseString() const;
    // "encoded consumer secret&encoded token secret".
    std::string signingSecret() const;

    // Signs the request and sets its "Authorization" header, the first time only.
    void prepare();

private:
    std::shared_ptr<OAConsumer> m_consumer;
    std::shared_ptr<OAToken> m_token;
    std::string m_realm;
    std::string m_signature;
    std::shared_ptr<const OASignatureProviding> m_signatureProvider;
    std::string m_nonce;
    std::string m_timestamp;
    std::map<std::string, std::string> m_extraOAuthParameters;
    bool m_didPrepare = false;
};
