#include "platform/crypto/Base64.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace crypto;

namespace {

std::optional<std::string> decodedText(std::string_view base64)
{
    auto bytes = base64Decode(base64);
    if (!bytes)
        return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

}

TEST(Base64, EncodesAndDecodesTheReferenceVectors)
{
    // RFC 4648, section 10.
    std::vector<std::pair<std::string, std::string>> vectors {
        { "", "" }, { "f", "Zg==" }, { "fo", "Zm8=" }, { "foo", "Zm9v" },
        { "foob", "Zm9vYg==" }, { "fooba", "Zm9vYmE=" }, { "foobar", "Zm9vYmFy" },
    };
    for (auto& [text, base64] : vectors) {
        EXPECT_EQ(base64Encode(text), base64);
        EXPECT_EQ(decodedText(base64), text);
    }
}

TEST(Base64, RoundTripsEveryByteValueWithoutLineBreaks)
{
    std::vector<uint8_t> bytes;
    for (int value = 0; value < 256; ++value)
        bytes.push_back(static_cast<uint8_t>(value));
    for (size_t length = 0; length <= bytes.size(); length += 37) {
        std::span<const uint8_t> prefix(bytes.data(), length);
        auto encoded = base64Encode(prefix);
        EXPECT_EQ(encoded.find_first_of("\r\n"), std::string::npos);
        EXPECT_EQ(encoded.size(), 4 * ((length + 2) / 3));
        auto decoded = base64Decode(encoded);
        ASSERT_TRUE(decoded);
        EXPECT_TRUE(std::equal(decoded->begin(), decoded->end(), prefix.begin(), prefix.end()));
    }
    EXPECT_EQ(base64Encode(std::vector<uint8_t> { 0xfb, 0xff, 0xbf }), "+/+/");
}

TEST(Base64, DecodingSkipsLineBreaksAndBlanksAndAcceptsMissingPadding)
{
    EXPECT_EQ(decodedText("Zm9v\r\nYmFy"), "foobar");
    EXPECT_EQ(decodedText(" Zm9v YmE=\n"), "fooba");
    EXPECT_EQ(decodedText("Zm9vYg"), "foob");
    EXPECT_EQ(decodedText("Zm9vYmE"), "fooba");
    EXPECT_EQ(decodedText("Zg=\n="), "f");
    EXPECT_EQ(decodedText("  \n"), "");
}

TEST(Base64, DecodingRefusesWhatIsNotBase64)
{
    for (std::string_view invalid : { "Zm9v!", "Zg==Zg==", "Z", "Zm9vY", "Zm9v=", "Zm9=v", "Zg===", "Zm8==", "=", "Zm-_" }) {
        EXPECT_FALSE(base64Decode(invalid)) << invalid;
    }
    EXPECT_FALSE(base64Decode(std::string_view("Zm\0v", 4)));
}
