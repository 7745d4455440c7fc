#include "platform/crypto/Digest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace crypto;

namespace {

Bytes repeated(uint8_t byte, size_t count)
{
    return Bytes(count, byte);
}

}

TEST(Digest, Md5MatchesTheReferenceSuite)
{
    // RFC 1321, appendix A.5.
    EXPECT_EQ(md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(md5Hex("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(md5Hex("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(md5Hex("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(md5Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"), "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(md5Hex("12345678901234567890123456789012345678901234567890123456789012345678901234567890"), "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(Digest, Sha1MatchesPublishedDigests)
{
    EXPECT_EQ(hexString(sha1("")), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    EXPECT_EQ(hexString(sha1("abc")), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(hexString(sha1("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")), "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
}

TEST(Digest, HmacSha1MatchesTheReferenceCases)
{
    // RFC 2202, section 3.
    struct Case {
        Bytes key;
        Bytes message;
        std::string digest;
    };
    auto text = [](std::string_view value) { return Bytes(value.begin(), value.end()); };
    Bytes longKey = repeated(0xaa, 80);
    Bytes countingKey;
    for (uint8_t byte = 1; byte <= 25; ++byte)
        countingKey.push_back(byte);
    std::vector<Case> cases {
        { repeated(0x0b, 20), text("Hi There"), "b617318655057264e28bc0b6fb378c8ef146be00" },
        { text("Jefe"), text("what do ya want for nothing?"), "effcdf6ae5eb2fa2d27416d5f184df9c259a7c79" },
        { repeated(0xaa, 20), repeated(0xdd, 50), "125d7342b9ac11cd91a39af48aa17b4f63f175d3" },
        { countingKey, repeated(0xcd, 50), "4c9007f4026250c6bc8414f9bf50c86c2d7235da" },
        { repeated(0x0c, 20), text("Test With Truncation"), "4c1a03424b55e07fe7f27be1d58bb9324a9a5a04" },
        { longKey, text("Test Using Larger Than Block-Size Key - Hash Key First"), "aa4ae5e15272d00e95705637ce8a3b55ed402112" },
        { longKey, text("Test Using Larger Than Block-Size Key and Larger Than One Block-Size Data"), "e8e99d0f45237d786d6bbaa7965c7808bbff1a91" },
    };
    for (auto& testCase : cases) {
        auto mac = hmacSha1(testCase.key, testCase.message);
        EXPECT_EQ(mac.size(), 20u);
        EXPECT_EQ(hexString(mac), testCase.digest);
    }
    EXPECT_EQ(hexString(hmacSha1("Jefe", "what do ya want for nothing?")), "effcdf6ae5eb2fa2d27416d5f184df9c259a7c79");
}

TEST(Digest, HmacSha1WithAnEmptyKeyOrMessage)
{
    EXPECT_EQ(hexString(hmacSha1("", "")), "fbdb1d1b18aa6c08324b7d64b71fb76370690e1d");
    EXPECT_NE(hmacSha1("", "message"), hmacSha1("key", "message"));
    // Embedded zero bytes are data, not the end of the text.
    EXPECT_NE(md5Hex(std::string_view("a\0b", 3)), md5Hex("a"));
    EXPECT_EQ(md5(Bytes { 'a', 'b', 'c' }), md5("abc"));
}
