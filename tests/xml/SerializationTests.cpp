#include "xml/DDXMLAttributeNode.h"
#include "xml/DDXMLDocument.h"
#include "xml/DDXMLElement.h"
#include "xml/DDXMLNamespaceNode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

namespace {

fnd::Ref<DDXMLElement> element(std::string_view name, std::optional<std::string_view> text = std::nullopt)
{
    return DDXMLNode::elementWithNameStringValue(name, text);
}

// One picture of the board as the board writes it.
fnd::Ref<DDXMLElement> picture(std::string_view image, std::string_view type, std::string_view centerX, std::string_view centerY)
{
    auto floor = DDXMLNode::elementWithName("floor");
    floor->addChild(element("background", image));
    floor->addChild(element("type", type));
    floor->addChild(element("parameters", ""));
    floor->addChild(element("title", ""));
    floor->addChild(element("id", "0"));
    auto center = DDXMLNode::elementWithName("center");
    center->addAttribute(DDXMLNode::attributeWithNameStringValue("x", centerX));
    center->addAttribute(DDXMLNode::attributeWithNameStringValue("y", centerY));
    floor->addChild(center);
    auto badge = DDXMLNode::elementWithName("badge");
    badge->addAttribute(DDXMLNode::attributeWithNameStringValue("string", "a&\"<b"));
    floor->addChild(badge);
    return floor;
}

}

TEST(DDXMLSerializationTest, PrettyPrintedBoardFile)
{
    auto board = picture("defaultbackground.png", "background", "160.000000", "230.000000");
    board->addChild(picture("contact-placeholder.png", "unknown", "60.000000", "85.000000"));
    const std::string expected =
        "<floor>\n"
        "  <background>defaultbackground.png</background>\n"
        "  <type>background</type>\n"
        "  <parameters></parameters>\n"
        "  <title></title>\n"
        "  <id>0</id>\n"
        "  <center x=\"160.000000\" y=\"230.000000\"></center>\n"
        "  <badge string=\"a&amp;&quot;&lt;b\"></badge>\n"
        "  <floor>\n"
        "    <background>contact-placeholder.png</background>\n"
        "    <type>unknown</type>\n"
        "    <parameters></parameters>\n"
        "    <title></title>\n"
        "    <id>0</id>\n"
        "    <center x=\"60.000000\" y=\"85.000000\"></center>\n"
        "    <badge string=\"a&amp;&quot;&lt;b\"></badge>\n"
        "  </floor>\n"
        "</floor>";
    EXPECT_EQ(board->XMLStringWithOptions(DDXMLNodePrettyPrint), expected);

    // Read back as the board reads it.
    auto document = DDXMLDocument::createWithXMLStringOptionsError(expected, 0, nullptr);
    ASSERT_TRUE(document);
    auto root = document->rootElement();
    EXPECT_EQ(root->elementForName("background")->stringValue(), "defaultbackground.png");
    EXPECT_EQ(root->elementForName("title")->stringValue(), "");
    EXPECT_FALSE(root->elementForName("color"));
    EXPECT_EQ(root->elementForName("badge")->attributeForName("string")->stringValue(), "a&\"<b");
    auto children = root->elementsForName("floor");
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(children[0]->elementForName("center")->attributeForName("y")->stringValue(), "85.000000");
    EXPECT_EQ(root->XMLStringWithOptions(DDXMLNodePrettyPrint), expected);
}

TEST(DDXMLSerializationTest, EmptyElementOption)
{
    auto parent = DDXMLNode::elementWithName("p");
    parent->addChild(DDXMLNode::elementWithName("empty"));
    EXPECT_EQ(parent->XMLStringWithOptions(DDXMLNodePrettyPrint), "<p>\n  <empty></empty>\n</p>");
    EXPECT_EQ(parent->XMLStringWithOptions(DDXMLNodePrettyPrint | DDXMLNodeCompactEmptyElement), "<p>\n  <empty/>\n</p>");
    EXPECT_EQ(parent->XMLStringWithOptions(DDXMLNodeCompactEmptyElement), "<p><empty/></p>");
    EXPECT_EQ(parent->XMLString(), "<p><empty></empty></p>");
    EXPECT_EQ(parent->description(), parent->XMLString());
}

TEST(DDXMLSerializationTest, TextKeepsItsBlanksOtherKindsAreTrimmed)
{
    auto text = DDXMLNode::textWithStringValue("  a < b  ");
    EXPECT_EQ(text->XMLString(), "  a &lt; b  ");
    auto holder = element("e", "  inner  ");
    EXPECT_EQ(holder->XMLString(), "<e>  inner  </e>");
    EXPECT_EQ(DDXMLNode::commentWithStringValue(" c ")->XMLString(), "<!-- c -->");
    EXPECT_EQ(element("u", "\xC3\xA9\xE2\x82\xAC")->XMLString(), "<u>\xC3\xA9\xE2\x82\xAC</u>");
}

TEST(DDXMLSerializationTest, XPathOfNodes)
{
    auto document = DDXMLDocument::createWithXMLStringOptionsError(
        "<floor x='1' xmlns:p='urn:p'><picture/><title/><picture>t</picture></floor>", 0, nullptr);
    auto root = document->rootElement();
    EXPECT_EQ(root->XPath(), "/floor[1]");
    EXPECT_EQ(root->elementsForName("picture")[1]->XPath(), "/floor[1]/picture[2]");
    EXPECT_EQ(root->childAtIndex(2)->childAtIndex(0)->XPath(), "/floor[1]/picture[2]/text[1]");
    EXPECT_EQ(root->attributeForName("x")->XPath(), "/floor[1]/@x");
    EXPECT_EQ(root->namespaceForPrefix("p")->XPath(), "/floor[1]/namespace::p");
    EXPECT_EQ(document->XPath(), "");
    EXPECT_EQ(DDXMLNode::attributeWithNameStringValue("x", "1")->XPath(), "@x");
    EXPECT_EQ(DDXMLNode::namespaceWithNameStringValue("p", "u")->XPath(), "namespace::p");
    EXPECT_EQ(DDXMLNode::elementWithName("free")->XPath(), "free");
}

TEST(DDXMLSerializationTest, XPathQueries)
{
    auto document = DDXMLDocument::createWithXMLStringOptionsError(
        "<floor xmlns:p='urn:p'><picture n='1'/><p:picture n='2'/><picture n='3'/></floor>", 0, nullptr);
    auto root = document->rootElement();
    fnd::Ref<fnd::Error> error = fnd::Error::create("stale", 9);
    auto pictures = root->nodesForXPathError("picture/@n", &error);
    ASSERT_TRUE(pictures);
    EXPECT_FALSE(error);
    ASSERT_EQ(pictures->size(), 2u);
    EXPECT_TRUE(fnd::is<DDXMLAttributeNode>(pictures->at(1)));
    EXPECT_EQ(pictures->at(1)->stringValue(), "3");
    EXPECT_EQ(root->nodesForXPathError("p:picture", nullptr)->size(), 1u);
    EXPECT_EQ(document->nodesForXPathError("/floor/*", nullptr)->size(), 3u);

    auto none = root->nodesForXPathError("missing", &error);
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());
    EXPECT_TRUE(root->nodesForXPathError("count(*)", nullptr)->empty());

    EXPECT_FALSE(root->nodesForXPathError("picture[", &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain(), "DDXMLErrorDomain");
    EXPECT_NE(error->code(), 0);
    EXPECT_FALSE(error->localizedDescription().empty());
    EXPECT_NE(error->localizedDescription().back(), '\n');

    error = nullptr;
    EXPECT_FALSE(pictures->at(0)->nodesForXPathError("..", &error));
    EXPECT_FALSE(error);
}

TEST(DDXMLSerializationTest, XPathOnAFreeTreeLeavesItAsItWas)
{
    auto root = DDXMLNode::elementWithName("r");
    auto child = DDXMLNode::elementWithName("c");
    auto leaf = element("leaf", "x");
    root->addChild(child);
    child->addChild(leaf);

    auto found = leaf->nodesForXPathError("ancestor::r/c", nullptr);
    ASSERT_TRUE(found);
    ASSERT_EQ(found->size(), 1u);
    EXPECT_EQ(found->at(0)->genericPtr(), child->genericPtr());
    EXPECT_EQ(leaf->parent()->genericPtr(), child->genericPtr());
    EXPECT_FALSE(root->rootDocument());
    EXPECT_FALSE(leaf->rootDocument());
    EXPECT_EQ(root->XMLString(), "<r><c><leaf>x</leaf></c></r>");
    // The temporary document is not part of the answer.
    EXPECT_TRUE(root->nodesForXPathError("/", nullptr)->empty());
    EXPECT_EQ(root->nodesForXPathError("/r/c/leaf", nullptr)->size(), 1u);
}

TEST(DDXMLSerializationTest, XPathNamespaceNodesOutliveTheQuery)
{
    auto document = DDXMLDocument::createWithXMLStringOptionsError("<r xmlns:p='urn:p'><c/></r>", 0, nullptr);
    auto found = document->rootElement()->elementForName("c")->nodesForXPathError("namespace::*", nullptr);
    ASSERT_TRUE(found);
    ASSERT_EQ(found->size(), 2u);
    std::vector<std::string> uris;
    for (auto& node : *found) {
        ASSERT_TRUE(fnd::is<DDXMLNamespaceNode>(node));
        uris.push_back(node->stringValue().value_or(""));
    }
    std::sort(uris.begin(), uris.end());
    EXPECT_EQ(uris, (std::vector<std::string> { "http://www.w3.org/XML/1998/namespace", "urn:p" }));
    for (auto& node : *found) {
        if (node->name() == "p") {
            EXPECT_EQ(node->parent()->name(), "r");
        }
    }
}

TEST(DDXMLSerializationTest, XPathOnADocumentWithoutRootElement)
{
    auto document = DDXMLDocument::createWithRootElement(nullptr);
    auto found = document->nodesForXPathError("/*", nullptr);
    ASSERT_TRUE(found);
    EXPECT_TRUE(found->empty());
}

TEST(DDXMLSerializationTest, LastErrorIsKeptPerThread)
{
    std::thread([] {
        EXPECT_FALSE(DDXMLNode::lastError());
        auto element = DDXMLNode::elementWithName("e");
        EXPECT_FALSE(element->nodesForXPathError("][", nullptr));
        auto error = DDXMLNode::lastError();
        ASSERT_TRUE(error);
        EXPECT_EQ(error->domain(), "DDXMLErrorDomain");
    }).join();

    // Started before any model use on it, a second thread gets the handler too and keeps its own error.
    std::thread([] {
        EXPECT_FALSE(DDXMLNode::lastError());
        EXPECT_FALSE(DDXMLDocument::createWithXMLStringOptionsError("<a></b>", 0, nullptr));
        auto error = DDXMLNode::lastError();
        ASSERT_TRUE(error);
        EXPECT_NE(error->localizedDescription().find("mismatch"), std::string::npos) << error->localizedDescription();
        std::thread([] { EXPECT_FALSE(DDXMLNode::lastError()); }).join();
    }).join();

    // A thread whose libxml2 state was set up without the model's handler still gets it.
    std::thread([] {
        xmlSetStructuredErrorFunc(nullptr, nullptr);
        EXPECT_FALSE(DDXMLNode::elementWithName("e")->nodesForXPathError("(", nullptr));
        EXPECT_TRUE(DDXMLNode::lastError());
    }).join();
}
