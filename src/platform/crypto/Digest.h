#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace crypto {

using Bytes = std::vector<uint8_t>;

// Message digests and keyed hashes, computed by OpenSSL. Texts are hashed as their bytes.
Bytes md5(std::span<const uint8_t>);
Bytes md5(std::string_view);
// The 32 lower-case hexadecimal digits of the MD5 digest.
std::string md5Hex(std::span<const uint8_t>);
std::string md5Hex(std::string_view);

Bytes sha1(std::span<const uint8_t>);
Bytes sha1(std::string_view);

// The 20-byte HMAC-SHA1 of the message under the key.
Bytes hmacSha1(std::span<const uint8_t> key, std::span<const uint8_t> message);
Bytes hmacSha1(std::string_view key, std::string_view message);

// Lower-case hexadecimal, two digits per byte.
std::string hexString(std::span<const uint8_t>);

}
