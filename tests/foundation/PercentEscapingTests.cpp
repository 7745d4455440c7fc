#include "platform/foundation/PercentEscaping.h"
#include "platform/foundation/UUID.h"

#include <gtest/gtest.h>

#include <set>

using namespace fnd;

namespace {

// Every printable ASCII character, so that a table change shows up as a failing test.
std::string printableASCII()
{
    std::string text;
    for (char character = ' '; character <= '~'; ++character)
        text.push_back(character);
    return text;
}

}

TEST(PercentEscaping, TheStandardSetIsPinned)
{
    EXPECT_EQ(PercentEscaping::addingPercentEscapes(printableASCII()),
        "%20!%22#$%25&'()*+,-./0123456789:;%3C=%3E?@ABCDEFGHIJKLMNOPQRSTUVWXYZ%5B%5C%5D%5E_%60abcdefghijklmnopqrstuvwxyz%7B%7C%7D~");
    EXPECT_EQ(PercentEscaping::addingPercentEscapes("caf\u00e9 \U0001F600"), "caf%C3%A9%20%F0%9F%98%80");
    EXPECT_EQ(PercentEscaping::addingPercentEscapes(std::string_view("\x00\x7F\n", 3)), "%00%7F%0A");
    EXPECT_EQ(PercentEscaping::addingPercentEscapes(""), "");
}

TEST(PercentEscaping, TheUnreservedSetEscapesAllButLettersDigitsAndFourMarks)
{
    EXPECT_EQ(PercentEscaping::addingPercentEscapes(printableASCII(), PercentEscaping::CharacterSet::unreserved()),
        "%20%21%22%23%24%25%26%27%28%29%2A%2B%2C-.%2F0123456789%3A%3B%3C%3D%3E%3F%40ABCDEFGHIJKLMNOPQRSTUVWXYZ%5B%5C%5D%5E_%60abcdefghijklmnopqrstuvwxyz%7B%7C%7D~");
}

TEST(PercentEscaping, SetsCanBeWidenedAndNarrowed)
{
    // A parameter value: the standard set minus the characters that delimit parameters.
    auto parameterValue = PercentEscaping::CharacterSet::standard().removing("!*'();:@&=+$,/?%#[]");
    EXPECT_EQ(PercentEscaping::addingPercentEscapes("http://a.b/c?d=e&f=g h", parameterValue), "http%3A%2F%2Fa.b%2Fc%3Fd%3De%26f%3Dg%20h");
    EXPECT_EQ(PercentEscaping::addingPercentEscapes("a b&c", " ", "&"), "a b%26c");
    EXPECT_EQ(PercentEscaping::addingPercentEscapes("\u00e9", PercentEscaping::CharacterSet::of("\xC3\xA9")), "%C3%A9") << "only ASCII can be left as it is";

    auto set = PercentEscaping::CharacterSet::of("ab");
    EXPECT_TRUE(set.contains('a'));
    EXPECT_FALSE(set.contains('c'));
    EXPECT_FALSE(set.removing("a").contains('a'));
    EXPECT_FALSE(set.contains('\xC3'));
}

TEST(PercentEscaping, UnescapingAnswersNothingForMalformedEscapesOrBytes)
{
    EXPECT_EQ(PercentEscaping::removingPercentEscapes("caf%C3%a9%20x+y"), "caf\u00e9 x+y");
    EXPECT_EQ(PercentEscaping::removingPercentEscapes("no escapes"), "no escapes");
    EXPECT_EQ(PercentEscaping::removingPercentEscapes("%25"), "%");
    EXPECT_FALSE(PercentEscaping::removingPercentEscapes("%"));
    EXPECT_FALSE(PercentEscaping::removingPercentEscapes("ab%4"));
    EXPECT_FALSE(PercentEscaping::removingPercentEscapes("%zz"));
    EXPECT_FALSE(PercentEscaping::removingPercentEscapes("%C3")) << "half a character";
    EXPECT_FALSE(PercentEscaping::removingPercentEscapes("%FF%FE"));
}

TEST(PercentEscaping, EscapingThenUnescapingGivesTheTextBack)
{
    std::string text = printableASCII() + "\u00e9\u4e2d\U0001F600";
    EXPECT_EQ(PercentEscaping::removingPercentEscapes(PercentEscaping::addingPercentEscapes(text)), text);
    EXPECT_EQ(PercentEscaping::removingPercentEscapes(PercentEscaping::addingPercentEscapes(text, PercentEscaping::CharacterSet())), text);
}

TEST(UUID, TextIsUpperCaseCanonicalAndNew)
{
    std::set<std::string> seen;
    for (int index = 0; index < 100; ++index) {
        std::string text = UUID::createString();
        ASSERT_EQ(text.size(), 36u);
        for (size_t position = 0; position < text.size(); ++position) {
            char character = text[position];
            if (position == 8 || position == 13 || position == 18 || position == 23)
                EXPECT_EQ(character, '-') << text;
            else
                EXPECT_TRUE((character >= '0' && character <= '9') || (character >= 'A' && character <= 'F')) << text;
        }
        EXPECT_EQ(text[14], '4') << "a random identifier is version 4";
        seen.insert(text);
    }
    EXPECT_EQ(seen.size(), 100u);

    auto identifier = UUID::create();
    EXPECT_EQ(identifier.string(), identifier.string());
}
