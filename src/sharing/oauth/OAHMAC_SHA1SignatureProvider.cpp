#include "sharing/oauth/OAHMAC_SHA1SignatureProvider.h"

#include "platform/crypto/Base64.h"
#include "platform/crypto/Digest.h"

std::string OAHMAC_SHA1SignatureProvider::signClearTextWithSecret(std::string_view clearText, std::string_view secret) const
{
    return crypto::base64Encode(crypto::hmacSha1(secret, clearText));
}
