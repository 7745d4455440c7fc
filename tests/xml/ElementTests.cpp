#include "AssertionRecorder.h"

#include "platform/foundation/String.h"
#include "xml/DDXMLAttributeNode.h"
#include "xml/DDXMLDocument.h"
#include "xml/DDXMLElement.h"
#include "xml/DDXMLNamespaceNode.h"

#include <gtest/gtest.h>

namespace {

fnd::Ref<DDXMLElement> parseRoot(std::string_view text)
{
    fnd::Ref<fnd::Error> error;
    auto root = DDXMLElement::createWithXMLStringError(text, &error);
    EXPECT_TRUE(root) << (error ? error->description() : "");
    return root;
}

std::vector<std::string> texts(const DDXMLElement::Elements& elements)
{
    std::vector<std::string> values;
    for (auto& element : elements)
        values.push_back(element->stringValue().value_or("(nil)"));
    return values;
}

}

TEST(DDXMLElementTest, ElementFromXMLStringIsAFreeOwnedRoot)
{
    auto root = parseRoot("<floor><background>a.png</background></floor>");
    EXPECT_TRUE(root->freeOnDealloc());
    EXPECT_FALSE(root->hasParent());
    EXPECT_FALSE(root->rootDocument());
    EXPECT_EQ(root->XPath(), "floor");
    fnd::Ref<fnd::Error> error;
    EXPECT_FALSE(DDXMLElement::createWithXMLStringError("<floor>", &error));
    EXPECT_EQ(error->code(), 1);
}

TEST(DDXMLElementTest, ElementsForNameFindsDirectChildrenInOrder)
{
    auto root = parseRoot("<floor><floor>1<floor>deep</floor></floor><title/><floor>2</floor></floor>");
    EXPECT_EQ(texts(root->elementsForName("floor")), (std::vector<std::string> { "1deep", "2" }));
    EXPECT_TRUE(root->elementsForName("missing").empty());
    EXPECT_TRUE(root->elementsForName(std::nullopt).empty());
    EXPECT_EQ(root->elementForName("floor")->stringValue(), "1deep");
    EXPECT_FALSE(root->elementForName("missing"));
}

TEST(DDXMLElementTest, ElementsForNameWithNamespaces)
{
    auto root = parseRoot("<r xmlns:p='urn:p' xmlns:q='urn:p' xmlns:z='urn:z'>"
                          "<p:a>1</p:a><q:a>2</q:a><a>3</a><z:a>4</z:a></r>");
    // A prefixed name matches the stored name, or the local name within the prefix's namespace.
    EXPECT_EQ(texts(root->elementsForName("p:a")), (std::vector<std::string> { "1", "2" }));
    // Parsed names are stored without their prefix, so the bare name matches them all.
    EXPECT_EQ(texts(root->elementsForName("a")), (std::vector<std::string> { "1", "2", "3", "4" }));
    EXPECT_EQ(texts(root->elementsForNameUri("a", "urn:z")), (std::vector<std::string> { "4" }));
    EXPECT_EQ(texts(root->elementsForLocalNameURI("a", "urn:z")), (std::vector<std::string> { "4" }));
    EXPECT_EQ(texts(root->elementsForLocalNameURI("a", "urn:p")), (std::vector<std::string> { "1", "2" }));
    EXPECT_EQ(root->elementForNameXmlns("a", "urn:z")->stringValue(), "4");
    EXPECT_EQ(root->resolvePrefixForNamespaceURI("urn:p"), "p");
    EXPECT_FALSE(root->resolvePrefixForNamespaceURI("urn:none"));
}

TEST(DDXMLElementTest, Attributes)
{
    auto element = DDXMLNode::elementWithName("center");
    EXPECT_TRUE(element->attributesAsDictionary()->isEmpty());
    element->addAttributeWithNameStringValue("x", "160.000000");
    element->addAttributeWithNameStringValue("y", "85.000000");
    element->addAttributeWithNameStringValue("x", "1");
    EXPECT_EQ(element->XMLString(), "<center y=\"85.000000\" x=\"1\"></center>");
    EXPECT_TRUE(element->hasAttributeWithName("y"));
    EXPECT_FALSE(element->hasAttributeWithName("z"));
    EXPECT_EQ(element->attributes().size(), 2u);
    EXPECT_EQ(element->attributeForName("x")->stringValue(), "1");
    EXPECT_FALSE(element->attributeForName("z"));

    element->addAttribute(DDXMLNode::attributeWithNameStringValue("empty", std::nullopt));
    EXPECT_FALSE(element->attributeForName("empty")->stringValue());
    auto dictionary = element->attributesAsDictionary();
    EXPECT_EQ(dictionary->count(), 3u);
    EXPECT_EQ(dictionary->stringForKey("x"), "1");
    EXPECT_EQ(dictionary->stringForKey("empty"), "");

    element->removeAttributeForName("y");
    element->removeAttributeForName("missing");
    element->removeAttribute(reinterpret_cast<xmlAttrPtr>(element->attributeForName("empty")->genericPtr()));
    EXPECT_EQ(element->XMLString(), "<center x=\"1\"></center>");
    element->removeAllAttributes();
    EXPECT_TRUE(element->attributes().empty());
}

TEST(DDXMLElementTest, AttributeWithAParentMustBeDetachedFirst)
{
    AssertionRecorder assertions;
    auto first = DDXMLNode::elementWithName("first");
    auto second = DDXMLNode::elementWithName("second");
    first->addAttributeWithNameStringValue("a", "1");
    auto attribute = first->attributeForName("a");
    second->addAttribute(attribute);
    EXPECT_EQ(assertions.lastMessage(), "Cannot add an attribute with a parent; detach or copy first");
    EXPECT_EQ(second->XMLString(), "<second></second>");

    attribute->detach();
    EXPECT_EQ(first->XMLString(), "<first></first>");
    second->addAttribute(attribute);
    EXPECT_EQ(second->XMLString(), "<second a=\"1\"></second>");
    EXPECT_EQ(assertions.count(), 1u);
}

TEST(DDXMLElementTest, AttributeNamesWithPrefixes)
{
    auto root = parseRoot("<r xmlns:p='urn:p' p:x='1' x='2' q:y='3'/>");
    EXPECT_EQ(root->attributeForName("p:x")->stringValue(), "1");
    EXPECT_EQ(root->attributeForName("x")->stringValue(), "2");
    // An undeclared prefix stays part of the stored name.
    EXPECT_EQ(root->attributeForName("q:y")->stringValue(), "3");
    // Replacing "x" leaves the attribute of that name in another namespace alone.
    root->addAttributeWithNameStringValue("x", "new");
    EXPECT_EQ(root->XMLString(), "<r xmlns:p=\"urn:p\" p:x=\"1\" q:y=\"3\" x=\"new\"></r>");
}

TEST(DDXMLElementTest, Namespaces)
{
    auto element = DDXMLElement::elementWithNameXmlns("feed", "urn:atom");
    EXPECT_EQ(element->xmlns(), "urn:atom");
    EXPECT_EQ(element->URI(), "urn:atom");
    element->addNamespace(DDXMLNode::namespaceWithNameStringValue("m", "urn:media"));
    element->addNamespace(DDXMLNode::namespaceWithNameStringValue("m", "urn:media2"));
    EXPECT_EQ(element->XMLString(), "<feed xmlns=\"urn:atom\" xmlns:m=\"urn:media2\"></feed>");

    auto namespaces = element->namespaces();
    ASSERT_EQ(namespaces.size(), 2u);
    EXPECT_EQ(namespaces[1]->name(), "m");
    EXPECT_EQ(namespaces[1]->prefix(), "");
    EXPECT_EQ(namespaces[1]->index(), 1u);
    EXPECT_EQ(namespaces[1]->level(), 1u);
    EXPECT_EQ(namespaces[1]->parent()->name(), "feed");
    EXPECT_EQ(namespaces[0]->name(), "");
    EXPECT_EQ(namespaces[1]->XPath(), "feed/namespace::m");
    EXPECT_EQ(element->namespaceForPrefix("m")->stringValue(), "urn:media2");
    EXPECT_FALSE(element->namespaceForPrefix("x"));

    auto child = DDXMLNode::elementWithName("entry");
    element->addChild(child);
    EXPECT_EQ(child->resolveNamespaceForName("m:thumbnail")->stringValue(), "urn:media2");
    EXPECT_EQ(child->resolveNamespaceForName("")->stringValue(), "urn:atom");
    EXPECT_FALSE(child->resolveNamespaceForName("plain"));
    EXPECT_EQ(DDXMLElement::resolveNamespaceForPrefixAtNode("m", child)->parent()->name(), "feed");
    EXPECT_FALSE(DDXMLElement::resolveNamespaceForPrefixAtNode("m", nullptr));

    element->removeNamespaceForPrefix("m");
    EXPECT_EQ(element->namespaces().size(), 1u);
    element->setNamespaces({ DDXMLNode::namespaceWithNameStringValue("a", "urn:a") });
    EXPECT_FALSE(element->xmlns());
    EXPECT_EQ(element->XMLString(), "<feed xmlns:a=\"urn:a\"><entry></entry></feed>");
    element->removeAllNamespaces();
    EXPECT_TRUE(element->namespaces().empty());
}

TEST(DDXMLElementTest, NamespaceOfTheElementMayBeDeclaredAbove)
{
    auto root = parseRoot("<r xmlns='urn:d'><c/></r>");
    auto child = root->elementForName("c");
    auto ns = child->namespaceForPrefix("");
    EXPECT_EQ(ns->stringValue(), "urn:d");
    EXPECT_EQ(ns->parent()->name(), "r");
    EXPECT_EQ(child->xmlns(), "urn:d");

    // Taking the element out of that namespace leaves the declaration above in place.
    child->setURI(std::nullopt);
    EXPECT_FALSE(child->URI());
    EXPECT_EQ(root->xmlns(), "urn:d");
    child->setURI("urn:own");
    EXPECT_EQ(root->XMLString(), "<r xmlns=\"urn:d\"><c xmlns=\"urn:own\"></c></r>");
}

TEST(DDXMLElementTest, InsertChildCountsContentChildrenOnly)
{
    AssertionRecorder assertions;
    auto root = parseRoot("<!DOCTYPE r [<!ENTITY e 'v'>]><r><a/>&e;<b/></r>");
    root->insertChildAtIndex(DDXMLNode::elementWithName("between"), 1);
    root->insertChildAtIndex(DDXMLNode::elementWithName("end"), 3);
    EXPECT_EQ(root->XMLString(), "<r><a></a>&e;<between></between><b></b><end></end></r>");
    EXPECT_EQ(assertions.count(), 0u);

    root->insertChildAtIndex(DDXMLNode::elementWithName("far"), 5);
    EXPECT_EQ(assertions.lastMessage(), "index (5) beyond bounds (5)");
    EXPECT_EQ(assertions.lastFile(), "Classes/DDXML/DDXMLElement");
    EXPECT_EQ(root->childCount(), 5u);
}

TEST(DDXMLElementTest, RemovingChildren)
{
    auto root = parseRoot("<r><a/><b/><c/></r>");
    root->removeChildAtIndex(7);
    EXPECT_EQ(root->childCount(), 3u);
    root->removeChildAtIndex(1);
    EXPECT_EQ(root->XMLString(), "<r><a></a><c></c></r>");
    auto c = root->childAtIndex(1);
    root->removeChild(c);
    EXPECT_EQ(c->kind(), DDXMLInvalidKind);
    auto stranger = DDXMLNode::elementWithName("a");
    root->removeChild(stranger);
    EXPECT_EQ(root->XMLString(), "<r><a></a></r>");
    EXPECT_EQ(stranger->name(), "a");
}

TEST(DDXMLElementTest, ElementFactories)
{
    auto bare = DDXMLNode::elementWithNameChildrenAttributes("e", {}, {});
    EXPECT_EQ(bare->childCount(), 0u);
    EXPECT_TRUE(bare->attributes().empty());

    auto built = DDXMLNode::elementWithNameChildrenAttributes("center",
        { DDXMLNode::elementWithNameStringValue("t", "x"), DDXMLNode::commentWithStringValue("c") },
        { DDXMLNode::attributeWithNameStringValue("x", "1") });
    EXPECT_EQ(built->XMLString(), "<center x=\"1\"><t>x</t><!--c--></center>");

    EXPECT_EQ(DDXMLNode::elementWithNameStringValue("type", std::nullopt)->XMLString(), "<type></type>");
    EXPECT_EQ(DDXMLNode::elementWithNameURI("a", "urn:a")->XMLString(), "<a xmlns=\"urn:a\"></a>");
    EXPECT_EQ(DDXMLNode::processingInstructionWithNameStringValue("pi", "go")->XMLString(), "<?pi go?>");
    EXPECT_EQ(DDXMLNode::attributeWithNameStringValue("n", std::nullopt)->XMLString(), "n=\"\"");
    EXPECT_FALSE(DDXMLNode::namespaceWithNameStringValue("xml", "http://www.w3.org/XML/1998/namespace"));
    EXPECT_EQ(DDXMLNode::namespaceWithNameStringValue("", "urn:d")->XMLString(), "xmlns=\"urn:d\"");
}
