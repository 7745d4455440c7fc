#pragma once

#include "sharing/oauth/OASignatureProviding.h"

// "PLAINTEXT": the signing secret itself; the base string is not used.
class OAPlaintextSignatureProvider final : public OASignatureProviding {
public:
    std::string name() const override { return "PLAINTEXT"; }
    std::string signClearTextWithSecret(std::string_view, std::string_view secret) const override { return std::string(secret); }
};
