#include "sharing/oauth/OAHMAC_SHA1SignatureProvider.h"

#include "platform/crypto/Digest.h"
#include "sharing/oauth/OABase64Encode.h"

#include <array>

std::string OAHMAC_SHA1SignatureProvider::signClearTextWithSecret(std::string_view clearText, std::string_view secret) const
{
    auto digest = crypto::hmacSha1(secret, clearText);
    // Room for the 28 characters of a 20-byte digest.
    std::array<char, 32> text {};
    size_t length = text.size();
    if (!OABase64Encode(digest, text.data(), length))
        return {};
    return std::string(text.data(), length);
}
