#pragma once

#include <string>
#include <string_view>

// A signature method of OAuth 1.0. Providers keep no state, so one can sign any number of requests.
class OASignatureProviding {
public:
    virtual ~OASignatureProviding();

    // What "oauth_signature_method" says.
    virtual std::string name() const = 0;
    // The signature of the base string under the signing secret ("consumer secret&token secret").
    virtual std::string signClearTextWithSecret(std::string_view clearText, std::string_view secret) const = 0;
};
