#include "json/fast/JKTokenCache.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"

#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <utility>

namespace {

// Values that share a hash, a type and a length are told apart only by their contents: the hash here
// is chosen, not computed, so that every pair below collides.
constexpr uint32_t sharedHash = 0x2A2A2A2A;

JKTokenValue stringValue(const std::string& text)
{
    JKTokenValue value;
    value.type = JKTokenValue::Type::String;
    value.bytes = reinterpret_cast<const uint8_t*>(text.data());
    value.length = text.size();
    value.hash = sharedHash;
    return value;
}

JKTokenValue doubleValue(double number)
{
    JKTokenValue value;
    value.type = JKTokenValue::Type::Double;
    value.number.doubleValue = number;
    value.bytes = reinterpret_cast<const uint8_t*>(&value.number);
    value.length = sizeof value.number;
    value.hash = sharedHash;
    return value;
}

std::string textOf(const fnd::Id& object)
{
    auto string = fnd::as<fnd::String>(object);
    return string ? string->utf8() : "(not a string)";
}

}

TEST(JKTokenCache, CollidingStringsKeepTheirOwnObjects)
{
    // Short texts and texts longer than sixteen bytes.
    for (auto [first, second] : { std::pair<std::string, std::string> { "abcd", "abce" }, { "an identifier of 24 byte", "an identifier of 24 bytf" } }) {
        JKTokenCache cache;
        auto firstLookup = cache.objectForValue(stringValue(first));
        auto secondLookup = cache.objectForValue(stringValue(second));
        EXPECT_EQ(textOf(firstLookup.object), first);
        EXPECT_EQ(textOf(secondLookup.object), second);
        EXPECT_NE(firstLookup.slot, secondLookup.slot);

        EXPECT_EQ(cache.objectForValue(stringValue(first)).object, firstLookup.object);
        EXPECT_EQ(cache.objectForValue(stringValue(second)).object, secondLookup.object);
    }
}

TEST(JKTokenCache, CollidingNumbersKeepTheirOwnObjects)
{
    JKTokenCache cache;
    // 0 and -0 differ only in the sign bit; they must stay two values.
    const double numbers[] = { 0.0, -0.0, 1.5, 2.5 };
    fnd::Id objects[4];
    for (size_t index = 0; index < 4; ++index)
        objects[index] = cache.objectForValue(doubleValue(numbers[index])).object;
    for (size_t index = 0; index < 4; ++index) {
        auto number = fnd::as<fnd::Number>(objects[index]);
        ASSERT_TRUE(number);
        EXPECT_EQ(std::bit_cast<uint64_t>(number->doubleValue()), std::bit_cast<uint64_t>(numbers[index])) << index;
    }
    // Four probes hold four colliding values, each found again as the same object.
    for (size_t index = 0; index < 4; ++index)
        EXPECT_EQ(cache.objectForValue(doubleValue(numbers[index])).object, objects[index]) << index;
}

TEST(JKTokenCache, AReplacedSlotHashesItsNewKey)
{
    JKTokenCache cache;
    auto lookup = cache.objectForValue(stringValue("name"));
    ASSERT_GE(lookup.slot, 0);
    EXPECT_EQ(cache.keyHashForSlot(lookup.slot), fnd::String("name").hash());
    // Three more colliding values fill the other probed slots; a fifth takes the first slot, which has
    // never been hit.
    for (const char* text : { "nama", "namb", "namc" })
        cache.objectForValue(stringValue(text));
    auto replacing = cache.objectForValue(stringValue("type"));
    ASSERT_EQ(replacing.slot, lookup.slot);
    EXPECT_EQ(textOf(replacing.object), "type");
    EXPECT_EQ(cache.keyHashForSlot(replacing.slot), fnd::String("type").hash());
}
