#include "xml/DDXMLDocument.h"
#include "xml/DDXMLElement.h"
#include "xml/DDXMLNamespaceNode.h"
#include "xml/DDXMLString.h"

#include <gtest/gtest.h>

TEST(DDXMLNamespaceNodeTest, NameIsThePrefix)
{
    auto ns = DDXMLNode::namespaceWithNameStringValue("m", "urn:m");
    EXPECT_EQ(ns->kind(), DDXMLNamespaceKind);
    EXPECT_EQ(ns->name(), "m");
    EXPECT_EQ(ns->localName(), "m");
    EXPECT_EQ(ns->prefix(), "");
    EXPECT_FALSE(ns->URI());
    ns->setURI("ignored");
    EXPECT_EQ(ns->stringValue(), "urn:m");

    ns->setName("n");
    EXPECT_EQ(ns->XMLString(), "xmlns:n=\"urn:m\"");
    ns->setName("");
    EXPECT_EQ(ns->name(), "");
    EXPECT_EQ(ns->XMLString(), "xmlns=\"urn:m\"");

    auto copy = ns->copy();
    ASSERT_TRUE(fnd::is<DDXMLNamespaceNode>(copy));
    EXPECT_TRUE(copy->freeOnDealloc());
    EXPECT_NE(copy->genericPtr(), ns->genericPtr());
    EXPECT_EQ(copy->stringValue(), "urn:m");
}

TEST(DDXMLNamespaceNodeTest, PositionThroughTheDeclaringElement)
{
    auto document = DDXMLDocument::createWithXMLStringOptionsError("<r><c xmlns:a='urn:a' xmlns:b='urn:b'/></r>", 0, nullptr);
    auto c = document->rootElement()->elementForName("c");
    auto b = c->namespaceForPrefix("b");
    EXPECT_EQ(b->index(), 1u);
    EXPECT_EQ(b->level(), 3u);
    EXPECT_EQ(b->rootDocument()->genericPtr(), document->genericPtr());
    EXPECT_EQ(b->parent()->name(), "c");
    EXPECT_EQ(b->childCount(), 0u);
    EXPECT_FALSE(b->childAtIndex(0));
    EXPECT_FALSE(b->previousNode());

    auto free = DDXMLNode::namespaceWithNameStringValue("f", "urn:f");
    EXPECT_EQ(free->index(), 0u);
    EXPECT_EQ(free->level(), 0u);
    EXPECT_FALSE(free->rootDocument());
    EXPECT_FALSE(free->parent());
}

TEST(DDXMLNamespaceNodeTest, RawDeclarationWrappersKeepTheirElementAlive)
{
    fnd::Ref<DDXMLNamespaceNode> wrapped;
    {
        auto root = DDXMLNode::elementWithName("r");
        root->addNamespace(DDXMLNode::namespaceWithNameStringValue("p", "urn:p"));
        auto record = reinterpret_cast<xmlNodePtr>(root->genericPtr());
        wrapped = DDXMLNamespaceNode::nodeWithNsPrimitiveNsParentFreeOnDealloc(record->nsDef, record, false);
    }
    EXPECT_EQ(wrapped->parent()->XMLString(), "<r xmlns:p=\"urn:p\"></r>");

    auto other = DDXMLNode::elementWithName("o");
    other->addNamespace(DDXMLNode::namespaceWithNameStringValue("q", "urn:q"));
    auto otherRecord = reinterpret_cast<xmlNodePtr>(other->genericPtr());
    auto moved = DDXMLNamespaceNode::createWithNsPrimitiveNsParentFreeOnDealloc(otherRecord->nsDef, nullptr, false);
    moved->setNsParentPtr(otherRecord);
    EXPECT_EQ(moved->nsParentPtr(), otherRecord);
    other.reset();
    EXPECT_EQ(moved->parent()->name(), "o");
    EXPECT_EQ(moved->XPath(), "o/namespace::q");
}

TEST(DDXMLNamespaceNodeTest, DetachedSubtreeWhosePrefixIsRedeclaredInside)
{
    auto root = DDXMLElement::createWithXMLStringError("<r xmlns:p='urn:1'><a><p:c/></a></r>", nullptr);
    auto a = root->elementForName("a");
    // "p" now means something else on a, while c stays in the outer "p" namespace.
    a->addNamespace(DDXMLNode::namespaceWithNameStringValue("p", "urn:2"));
    a->detach();
    root.reset();
    EXPECT_EQ(a->XMLString(), "<a xmlns:p=\"urn:2\"><p:c xmlns:p=\"urn:1\"></p:c></a>");
    EXPECT_EQ(a->childAtIndex(0)->URI(), "urn:1");
}

TEST(DDXMLNamespaceNodeTest, ElementURIReplacesItsOwnDeclaration)
{
    auto element = DDXMLNode::elementWithNameURI("e", "urn:first");
    auto first = element->namespaceForPrefix("");
    element->setURI("urn:second");
    EXPECT_EQ(first->kind(), DDXMLInvalidKind);
    EXPECT_EQ(element->URI(), "urn:second");
    EXPECT_EQ(element->namespaces().size(), 1u);
    element->setURI(std::nullopt);
    EXPECT_TRUE(element->namespaces().empty());
    EXPECT_EQ(element->XMLString(), "<e></e>");

    auto text = DDXMLNode::textWithStringValue("t");
    text->setURI("urn:x");
    EXPECT_FALSE(text->URI());
}

TEST(DDXMLNamespaceNodeTest, XmlPrefixNeedsNoDeclaration)
{
    auto root = DDXMLElement::createWithXMLStringError("<r><xml:a>1</xml:a><a>2</a></r>", nullptr);
    auto found = root->elementsForName("xml:a");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0]->stringValue(), "1");
}

TEST(DDXMLNamespaceNodeTest, RawSurgeryLeavesForeignDeclarationsAlone)
{
    auto root = DDXMLElement::createWithXMLStringError("<r xmlns:p='urn:p'><p:c/></r>", nullptr);
    auto rootRecord = reinterpret_cast<xmlNodePtr>(root->genericPtr());
    auto childRecord = rootRecord->children;
    // Not declared on the child: only the child's own namespace link goes.
    DDXMLNode::removeNamespaceFromNode(rootRecord->nsDef, childRecord);
    EXPECT_FALSE(root->childAtIndex(0)->URI());
    EXPECT_EQ(root->namespaces().size(), 1u);
    DDXMLNode::removeAllNamespacesFromNode(rootRecord);
    EXPECT_EQ(root->XMLString(), "<r><c></c></r>");
}

TEST(DDXMLNamespaceNodeTest, TrimmingUsesUnicodeWhiteSpace)
{
    EXPECT_EQ(DDXMLString::stringByTrimming("\xE3\x80\x80 \n a\xC3\xA9 b\t\xE2\x80\xA8\xC2\xA0"), "a\xC3\xA9 b");
    EXPECT_EQ(DDXMLString::stringByTrimming(" \xE2\x82\xAC "), "\xE2\x82\xAC");
    EXPECT_EQ(DDXMLString::stringByTrimming(" \n\t "), "");
    EXPECT_EQ(DDXMLString::stringByTrimming("x"), "x");
    std::string text = "abc";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(DDXMLString::xmlChar(text))), "abc");
}
