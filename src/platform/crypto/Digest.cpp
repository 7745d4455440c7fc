#include "platform/crypto/Digest.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <stdexcept>

namespace crypto {

namespace {

std::span<const uint8_t> bytesOf(std::string_view text)
{
    return { reinterpret_cast<const uint8_t*>(text.data()), text.size() };
}

Bytes digest(const EVP_MD* algorithm, std::span<const uint8_t> bytes)
{
    Bytes result(EVP_MAX_MD_SIZE);
    unsigned length = 0;
    if (!EVP_Digest(bytes.data(), bytes.size(), result.data(), &length, algorithm, nullptr))
        throw std::runtime_error("message digest failed");
    result.resize(length);
    return result;
}

}

Bytes md5(std::span<const uint8_t> bytes)
{
    return digest(EVP_md5(), bytes);
}

Bytes md5(std::string_view text)
{
    return md5(bytesOf(text));
}

std::string md5Hex(std::span<const uint8_t> bytes)
{
    return hexString(md5(bytes));
}

std::string md5Hex(std::string_view text)
{
    return md5Hex(bytesOf(text));
}

Bytes sha1(std::span<const uint8_t> bytes)
{
    return digest(EVP_sha1(), bytes);
}

Bytes sha1(std::string_view text)
{
    return sha1(bytesOf(text));
}

Bytes hmacSha1(std::span<const uint8_t> key, std::span<const uint8_t> message)
{
    // OpenSSL wants a key pointer even for an empty key.
    static const uint8_t emptyKey = 0;
    Bytes result(EVP_MAX_MD_SIZE);
    unsigned length = 0;
    const uint8_t* keyBytes = key.empty() ? &emptyKey : key.data();
    if (!HMAC(EVP_sha1(), keyBytes, static_cast<int>(key.size()), message.data(), message.size(), result.data(), &length))
        throw std::runtime_error("HMAC-SHA1 failed");
    result.resize(length);
    return result;
}

Bytes hmacSha1(std::string_view key, std::string_view message)
{
    return hmacSha1(bytesOf(key), bytesOf(message));
}

std::string hexString(std::span<const uint8_t> bytes)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (uint8_t byte : bytes) {
        text.push_back(digits[byte >> 4]);
        text.push_back(digits[byte & 0xf]);
    }
    return text;
}

}
