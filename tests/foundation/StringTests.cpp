#include "platform/foundation/MutableString.h"
#include "platform/foundation/String.h"
#include "platform/foundation/Unicode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace fnd;

TEST(String, LengthAndIndicesCountUTF16Units)
{
    auto text = String::create("a\xC3\xA9\xF0\x9F\x98\x80z"); // a, é, 😀, z
    EXPECT_EQ(text->length(), 5u);
    EXPECT_EQ(text->characterAtIndex(0), u'a');
    EXPECT_EQ(text->characterAtIndex(1), u'\u00E9');
    EXPECT_EQ(text->characterAtIndex(2), 0xD83D);
    EXPECT_EQ(text->characterAtIndex(3), 0xDE00);
    EXPECT_EQ(text->characterAtIndex(4), u'z');
    EXPECT_EQ(text->characterAtIndex(5), 0);
    EXPECT_EQ(text->substring(1, 3), "\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(text->substring(4, 100), "z");
    EXPECT_EQ(text->substring(9, 1), "");
}

TEST(String, SubstringNeverSplitsASurrogatePair)
{
    auto text = String::create("\xF0\x9F\x98\x80!");
    EXPECT_EQ(text->substring(0, 1), "");
    EXPECT_EQ(text->substring(1, 2), "\xF0\x9F\x98\x80!");
}

TEST(String, IntValueSkipsBlanksStopsAtOtherCharactersAndSaturates)
{
    EXPECT_EQ(String::create("  42abc")->intValue(), 42);
    EXPECT_EQ(String::create("-17")->intValue(), -17);
    EXPECT_EQ(String::create("+8")->intValue(), 8);
    EXPECT_EQ(String::create("abc")->intValue(), 0);
    EXPECT_EQ(String::create("")->intValue(), 0);
    EXPECT_EQ(String::create("99999999999")->intValue(), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(String::create("-99999999999")->intValue(), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(String::create("99999999999999999999999")->longLongValue(), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(String::create("-9223372036854775808")->longLongValue(), std::numeric_limits<int64_t>::min());
}

TEST(String, FloatValueIsLenientAndLocaleFree)
{
    EXPECT_DOUBLE_EQ(String::create(" 3.25kg")->doubleValue(), 3.25);
    EXPECT_DOUBLE_EQ(String::create("-.5")->doubleValue(), -0.5);
    EXPECT_DOUBLE_EQ(String::create("1e3")->doubleValue(), 1000);
    EXPECT_DOUBLE_EQ(String::create("2e")->doubleValue(), 2);
    EXPECT_DOUBLE_EQ(String::create("x1")->doubleValue(), 0);
    EXPECT_DOUBLE_EQ(String::create(".")->doubleValue(), 0);
    EXPECT_FLOAT_EQ(String::create("0.1")->floatValue(), 0.1f);
    EXPECT_TRUE(std::isinf(String::create("1e999")->doubleValue()));
}

TEST(String, BoolValueFollowsThePlatform)
{
    EXPECT_TRUE(String::create("YES")->boolValue());
    EXPECT_TRUE(String::create("true")->boolValue());
    EXPECT_TRUE(String::create(" 007")->boolValue());
    EXPECT_FALSE(String::create("0")->boolValue());
    EXPECT_FALSE(String::create("NO")->boolValue());
    EXPECT_FALSE(String::create("")->boolValue());
}

TEST(String, EqualityAndHashingAreByValueAcrossMutability)
{
    auto immutable = String::create("key");
    auto mutableText = MutableString::create("ke");
    mutableText->append("y");
    EXPECT_TRUE(immutable->isEqual(*mutableText));
    EXPECT_EQ(immutable->hash(), mutableText->hash());
    mutableText->append("s");
    EXPECT_FALSE(immutable->isEqual(*mutableText));
    EXPECT_NE(immutable->hash(), mutableText->hash()) << "a cached hash must follow changes";
    EXPECT_EQ(mutableText->length(), 4u);
}

TEST(String, CopyOfMutableTextIsImmutableAndIndependent)
{
    auto text = MutableString::create("draft");
    Id copy = copyOf(text);
    text->setString("final");
    ASSERT_TRUE(copy);
    EXPECT_FALSE(copy->isMutable());
    EXPECT_EQ(copy->description(), "draft");
    Id same = copyOf(String::create("x"));
    EXPECT_FALSE(same->isMutable());
}

TEST(MutableString, EditsByUTF16Positions)
{
    auto text = MutableString::create("h\xC3\xA9llo");
    text->insertAt("!", 5);
    EXPECT_EQ(text->utf8(), "h\xC3\xA9llo!");
    text->deleteCharacters(1, 1);
    EXPECT_EQ(text->utf8(), "hllo!");
    text->deleteCharacters(3, 100);
    EXPECT_EQ(text->utf8(), "hll");
    text->appendCodePoint(0x1F600);
    EXPECT_EQ(text->length(), 5u);
}

TEST(Unicode, TrimsUnicodeWhiteSpaceAndNewlines)
{
    EXPECT_EQ(unicode::trimmedWhitespaceAndNewlines(" \t\n name \r\n"), "name");
    EXPECT_EQ(unicode::trimmedWhitespaceAndNewlines("\xC2\xA0" "a b" "\xE2\x80\x83"), "a b");
    EXPECT_EQ(unicode::trimmedWhitespaceAndNewlines("   "), "");
    EXPECT_EQ(unicode::trimmedWhitespaceAndNewlines(""), "");
}

TEST(Unicode, CaseAndAccentInsensitiveContainment)
{
    EXPECT_TRUE(unicode::containsIgnoringCaseAndDiacritics("Jo\xC3\xABl Martin", "joel"));
    EXPECT_TRUE(unicode::containsIgnoringCaseAndDiacritics("smith", "SMITH"));
    EXPECT_TRUE(unicode::containsIgnoringCaseAndDiacritics("\xC3\x89lodie", "elo"));
    EXPECT_FALSE(unicode::containsIgnoringCaseAndDiacritics("Bob", "rob"));
    EXPECT_FALSE(unicode::containsIgnoringCaseAndDiacritics("Bob", ""));
    EXPECT_TRUE(unicode::containsIgnoringCase("Hello", "ELL"));
    EXPECT_FALSE(unicode::containsIgnoringCase("H\xC3\xA9llo", "hello"));
}

TEST(Unicode, LowerCasingIsUnicodeAware)
{
    EXPECT_EQ(unicode::lowercased("\xC3\x89LODIE"), "\xC3\xA9lodie");
    EXPECT_EQ(unicode::lowercased("MOBILE"), "mobile");
}

TEST(Unicode, MalformedUTF8IsDetectedAndReplaced)
{
    EXPECT_TRUE(unicode::isValidUTF8("plain \xC3\xA9"));
    EXPECT_FALSE(unicode::isValidUTF8("\xC3"));
    EXPECT_FALSE(unicode::isValidUTF8("\xED\xA0\x80")) << "encoded surrogates are not UTF-8";
    EXPECT_FALSE(unicode::isValidUTF8("\xC0\xAF")) << "overlong forms are not UTF-8";
    EXPECT_EQ(unicode::sanitizedUTF8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(unicode::utf16Length("\xFF\xFE"), 2u);
}

TEST(Unicode, UTF16RoundTripReplacesUnpairedSurrogates)
{
    std::u16string units = u"a\U0001F600";
    EXPECT_EQ(unicode::fromUTF16(units), "a\xF0\x9F\x98\x80");
    EXPECT_EQ(unicode::toUTF16("a\xF0\x9F\x98\x80"), units);
    std::u16string lone { u'x', char16_t(0xD800) };
    EXPECT_EQ(unicode::fromUTF16(lone), "x\xEF\xBF\xBD");
}
