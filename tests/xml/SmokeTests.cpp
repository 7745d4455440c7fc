#include "xml/DDXMLDocument.h"
#include "xml/DDXMLElement.h"

#include <gtest/gtest.h>

TEST(DDXMLSmoke, ParsesAndWrites)
{
    auto document = DDXMLDocument::createWithXMLStringOptionsError("<a><b x='1'/></a>", 0, nullptr);
    ASSERT_TRUE(document);
    EXPECT_EQ(document->rootElement()->XMLString(), "<a><b x=\"1\"></b></a>");
}
