#include "platform/foundation/String.h"
#include "sharing/core/SHKXMLResponseParser.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

fnd::Id valueOf(std::string_view element, std::string_view xml)
{
    return SHKXMLResponseParser::getValueForElementFromResponse(element, fnd::Data::create(xml));
}

std::optional<std::string> textOf(std::string_view element, std::string_view xml)
{
    auto text = fnd::as<fnd::String>(valueOf(element, xml));
    return text ? std::optional<std::string>(text->utf8()) : std::nullopt;
}

std::shared_ptr<SHKXMLResponseParser> parsed(std::string_view xml)
{
    auto parser = SHKXMLResponseParser::createWithData(fnd::Data::create(xml));
    EXPECT_TRUE(parser->parse()) << xml;
    return parser;
}

TEST(SHKXMLResponseParserTest, AParentReceivesItsChildsTextAndWhatFollowsIt)
{
    std::string_view xml = "<a><b>1</b>\n</a>";
    EXPECT_EQ(textOf("b", xml), "1");
    EXPECT_EQ(textOf("a", xml), "1\n");
    EXPECT_EQ(textOf("a", "<a><b>1</b> tail </a>"), "1 tail");
}

TEST(SHKXMLResponseParserTest, OnlySpacesAreTrimmed)
{
    EXPECT_EQ(textOf("n", "<r><n> 42 </n></r>"), "42");
    EXPECT_EQ(textOf("n", "<r><n>\n42</n></r>"), "\n42");
    EXPECT_EQ(textOf("n", "<r><n>\t42\t</n></r>"), "\t42\t");
}

TEST(SHKXMLResponseParserTest, ErrorElementsKeepTheirAttributesWhileTheirChildrenAreStored)
{
    std::string_view xml = "<hash><errors><error code=\"34\">Sorry, that page does not exist</error><message>gone</message></errors></hash>";
    auto parser = parsed(xml);
    auto& response = *parser->parsedResponse();
    auto error = response.objectForKeyAs<fnd::Dictionary>("error");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->stringForKey("code"), "34");
    auto errors = response.objectForKeyAs<fnd::Dictionary>("errors");
    ASSERT_TRUE(errors);
    EXPECT_EQ(errors->count(), 0u);
    EXPECT_EQ(response.stringForKey("message"), "gone");
}

TEST(SHKXMLResponseParserTest, AnElementWithoutTextYieldsItsAttributes)
{
    auto value = fnd::as<fnd::Dictionary>(valueOf("user", "<r><user id=\"7\" name=\"a&amp;b &lt;c&gt;\"/></r>"));
    ASSERT_TRUE(value);
    EXPECT_EQ(value->stringForKey("id"), "7");
    EXPECT_EQ(value->stringForKey("name"), "a&b <c>");
}

TEST(SHKXMLResponseParserTest, AttributeNamesAreSearchedWhenNoElementHasTheName)
{
    std::string_view xml = "<r><first code=\"1\"/><second other=\"2\"/><third more=\"3\"/></r>";
    EXPECT_EQ(textOf("code", xml), "1");
    // A top-level name wins over an attribute of the same name.
    EXPECT_EQ(textOf("code", "<r><x code=\"attribute\"/><code>element</code></r>"), "element");
    EXPECT_EQ(valueOf("missing", xml), nullptr);
}

TEST(SHKXMLResponseParserTest, NamesKeepTheirPrefixesAndTheLastElementOfANameWins)
{
    std::string_view xml = "<r xmlns:s=\"urn:s\"><s:item>one</s:item><s:item>two</s:item></r>";
    EXPECT_EQ(textOf("s:item", xml), "two");
    EXPECT_EQ(valueOf("item", xml), nullptr);
}

TEST(SHKXMLResponseParserTest, TextInCharacterReferencesAndCDATAIsRead)
{
    EXPECT_EQ(textOf("t", "<r><t>caf&#233; &amp; <![CDATA[<b>bold</b>]]></t></r>"), "caf\xc3\xa9 & <b>bold</b>");
}

TEST(SHKXMLResponseParserTest, AReplyThatIsNotWellFormedGivesNothing)
{
    EXPECT_EQ(valueOf("a", "<a><b>1</a>"), nullptr);
    EXPECT_EQ(valueOf("a", ""), nullptr);
    EXPECT_EQ(valueOf("a", "{\"a\": 1}"), nullptr);
    auto parser = SHKXMLResponseParser::createWithData(fnd::Data::create("<a>"));
    EXPECT_FALSE(parser->parse());
    EXPECT_FALSE(parser->xmlParsedSuccessfully());
}

TEST(SHKXMLResponseParserTest, ExternalEntitiesAreNeverLoaded)
{
    brenzo::testing::TemporaryDirectory directory;
    auto secret = directory.path() / "secret.txt";
    std::ofstream(secret) << "TOP-SECRET";
    auto xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE r [<!ENTITY leak SYSTEM \"file://" + secret.string() + "\">]>\n<r><v>before &leak; after</v></r>";
    auto value = textOf("v", xml);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->find("TOP-SECRET"), std::string::npos) << *value;
    EXPECT_EQ(*value, "before  after");

    auto remote = "<?xml version=\"1.0\"?>\n<!DOCTYPE r SYSTEM \"http://127.0.0.1:9/evil.dtd\">\n<r><v>plain</v></r>";
    EXPECT_EQ(textOf("v", remote), "plain");
}

TEST(SHKXMLResponseParserTest, EntityExpansionStaysWithinTheLibrarysLimits)
{
    std::string xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE r [\n<!ENTITY a \"aaaaaaaaaa\">\n";
    std::string previous = "a";
    for (char name = 'b'; name <= 'k'; ++name) {
        xml += std::string("<!ENTITY ") + name + " \"";
        for (int copy = 0; copy < 10; ++copy)
            xml += "&" + previous + ";";
        xml += "\">\n";
        previous = std::string(1, name);
    }
    xml += "]>\n<r><v>&k;</v></r>";
    auto value = textOf("v", xml);
    // Either refused, or read without ten billion characters of expansion.
    EXPECT_TRUE(!value || value->size() < 1000);
}

}
