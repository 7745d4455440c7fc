#pragma once

#include "sharing/oauth/OASignatureProviding.h"

// "HMAC-SHA1": the Base64 text of the HMAC-SHA1 digest of the base string keyed with the secret.
class OAHMAC_SHA1SignatureProvider final : public OASignatureProviding {
public:
    std::string name() const override { return "HMAC-SHA1"; }
    std::string signClearTextWithSecret(std::string_view clearText, std::string_view secret) const override;
};
