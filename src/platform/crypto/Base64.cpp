#include "platform/crypto/Base64.h"

#include <openssl/evp.h>

namespace crypto {

namespace {

bool isBase64Digit(char character)
{
    return (character >= 'A' && character <= 'Z') || (character >= 'a' && character <= 'z')
        || (character >= '0' && character <= '9') || character == '+' || character == '/';
}

bool isSkippedSpace(char character)
{
    return character == ' ' || character == '\t' || character == '\r' || character == '\n';
}

// The Base64 digits of `text` without blanks and padding, or nothing when it is not Base64.
std::optional<std::string> significantDigits(std::string_view text)
{
    std::string digits;
    digits.reserve(text.size());
    size_t padding = 0;
    for (char character : text) {
        if (isSkippedSpace(character))
            continue;
        if (character == '=') {
            ++padding;
            continue;
        }
        if (padding || !isBase64Digit(character))
            return std::nullopt;
        digits.push_back(character);
    }
    size_t lastGroup = digits.size() % 4;
    if (lastGroup == 1)
        return std::nullopt;
    if (padding && (lastGroup == 0 || lastGroup + padding != 4))
        return std::nullopt;
    return digits;
}

}

std::string base64Encode(std::span<const uint8_t> bytes)
{
    if (bytes.empty())
        return {};
    // Room for the terminating zero that OpenSSL writes too.
    std::string text(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    int written = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()), bytes.data(), static_cast<int>(bytes.size()));
    text.resize(written);
    return text;
}

std::string base64Encode(std::string_view text)
{
    return base64Encode(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

std::optional<std::vector<uint8_t>> base64Decode(std::string_view text)
{
    auto digits = significantDigits(text);
    if (!digits)
        return std::nullopt;
    size_t missing = (4 - digits->size() % 4) % 4;
    digits->append(missing, '=');

    std::vector<uint8_t> bytes(digits->size() / 4 * 3);
    if (bytes.empty())
        return bytes;
    int decoded = EVP_DecodeBlock(bytes.data(), reinterpret_cast<const unsigned char*>(digits->data()), static_cast<int>(digits->size()));
    if (decoded < 0)
        return std::nullopt;
    // The decoder writes zero bytes for the padding; they are not data.
    bytes.resize(static_cast<size_t>(decoded) - missing);
    return bytes;
}

}
