#include "platform/foundation/Array.h"
#include "platform/foundation/Format.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"

#include <gtest/gtest.h>

#include <clocale>

using namespace fnd;

TEST(Format, ConvertsEachArgumentByItsConversion)
{
    EXPECT_EQ(format("%d items", 3), "3 items");
    EXPECT_EQ(format("%i/%u", -4, 7u), "-4/7");
    EXPECT_EQ(format("%ld %lld %qu", 5L, -6LL, 7ULL), "5 -6 7");
    EXPECT_EQ(format("image%03d.png", 7), "image007.png");
    EXPECT_EQ(format("%02x%02x", 10, 255), "0aff");
    EXPECT_EQ(format("%.2f", 3.14159), "3.14");
    EXPECT_EQ(format("%f", 1.5), "1.500000");
    EXPECT_EQ(format("%s and %@", "text", String::create("object")), "text and object");
    EXPECT_EQ(format("100%%"), "100%");
    EXPECT_EQ(format("%5s|%-5s|", "ab", "cd"), "   ab|cd   |");
    EXPECT_EQ(format("%+d % d", 5, 5), "+5  5");
}

TEST(Format, PositionalArgumentsPickTheirArgument)
{
    EXPECT_EQ(format("%2$@ before %1$@", String::create("one"), String::create("two")), "two before one");
    EXPECT_EQ(format("%1$d %1$d", 9), "9 9");
}

TEST(Format, MismatchedOrMissingArgumentsNeverCrash)
{
    EXPECT_EQ(format("%d", String::create("42abc")), "42");
    EXPECT_EQ(format("%@", 12), "12");
    EXPECT_EQ(format("%s", nullptr), "(null)");
    EXPECT_EQ(format("%@ %d"), "(null) 0");
    EXPECT_EQ(format("%@", Ref<String>()), "(null)");
    EXPECT_EQ(format("%d", 2.9), "2");
    EXPECT_EQ(format("%f", "x"), "0.000000");
    EXPECT_EQ(format("%9$@", 1), "(null)");
}

TEST(Format, BadSpecifiersAreCopiedThrough)
{
    EXPECT_EQ(format("50%"), "50%");
    EXPECT_EQ(format("%y and %d", 3), "%y and 3");
    EXPECT_EQ(format("%.", 1), "%.");
}

TEST(Format, UnsignedReadingOfNegativeIntWrapsAt32Bits)
{
    EXPECT_EQ(format("%u", -1), "4294967295");
    EXPECT_EQ(format("%lu", -1L), "18446744073709551615");
}

TEST(Format, FloatingPointIgnoresTheProcessLocale)
{
    const char* german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_EQ(format("%.1f", 2.5), "2.5");
    EXPECT_EQ(format("%g", 0.0001), "0.0001");
    if (german)
        std::setlocale(LC_NUMERIC, "C");
}

TEST(Format, ObjectsUseTheirDescription)
{
    auto array = Array::create({ Number::withInteger(1), String::create("two words") });
    EXPECT_EQ(format("%@", array), "(\n    1,\n    \"two words\"\n)");
}
