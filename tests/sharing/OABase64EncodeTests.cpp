#include "platform/crypto/Base64.h"
#include "sharing/oauth/OABase64Encode.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace {

// The text for the bytes, or nothing when the encoder refused; `room` is the buffer's size.
std::optional<std::string> encode(const std::vector<uint8_t>& bytes, size_t room)
{
    std::string buffer(room, '#');
    size_t capacity = room;
    if (!OABase64Encode(bytes, buffer.data(), capacity)) {
        EXPECT_EQ(capacity, room);
        EXPECT_EQ(buffer, std::string(room, '#'));
        return std::nullopt;
    }
    EXPECT_LE(capacity, room);
    EXPECT_EQ(buffer.substr(capacity), std::string(room - capacity, '#'));
    return buffer.substr(0, capacity);
}

std::vector<uint8_t> countingBytes(size_t length)
{
    std::vector<uint8_t> bytes(length);
    std::iota(bytes.begin(), bytes.end(), uint8_t(0));
    return bytes;
}

}

TEST(OABase64Encode, BreaksTheLineAfterEvery72Characters)
{
    EXPECT_EQ(encode(std::vector<uint8_t>(54, 0), 100), std::string(72, 'A') + "\r\n");

    auto twenty = encode(countingBytes(20), 32);
    ASSERT_TRUE(twenty);
    EXPECT_EQ(twenty->size(), 28u);
    EXPECT_EQ(twenty->back(), '=');
    EXPECT_EQ(twenty->find('\r'), std::string::npos);

    // A short last group that is the 18th of its line is followed by the break too.
    auto fiftyThree = encode(countingBytes(53), 100);
    ASSERT_TRUE(fiftyThree);
    EXPECT_EQ(fiftyThree->size(), 74u);
    EXPECT_EQ(fiftyThree->substr(68), "MzQ=\r\n");

    auto fiftyFive = encode(std::vector<uint8_t>(55, 0), 100);
    EXPECT_EQ(fiftyFive, std::string(72, 'A') + "\r\nAA==");

    auto twoLines = encode(countingBytes(108), 200);
    ASSERT_TRUE(twoLines);
    EXPECT_EQ(twoLines->size(), 148u);
    EXPECT_EQ(twoLines->substr(72, 2), "\r\n");
    EXPECT_EQ(twoLines->substr(146), "\r\n");

    EXPECT_EQ(encode({}, 0), "");
    EXPECT_EQ(encode({ 'M', 'a' }, 4), "TWE=");
}

TEST(OABase64Encode, RefusesABufferTooSmallAndWritesNothing)
{
    EXPECT_FALSE(encode(countingBytes(20), 27));
    EXPECT_FALSE(encode(std::vector<uint8_t>(54, 0), 73));
    EXPECT_TRUE(encode(std::vector<uint8_t>(54, 0), 74));
    EXPECT_FALSE(encode({ 1 }, 0));
}

TEST(OABase64Encode, EveryByteValueSurvivesTheRoundTrip)
{
    std::vector<uint8_t> bytes;
    for (int round = 0; round < 3; ++round) {
        auto all = countingBytes(256);
        bytes.insert(bytes.end(), all.begin(), all.end());
    }
    bytes.push_back(0xff);
    auto text = encode(bytes, 2000);
    ASSERT_TRUE(text);
    EXPECT_EQ(crypto::base64Decode(*text), bytes);
}
