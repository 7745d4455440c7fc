#include "AssertionRecorder.h"

#include "platform/foundation/Exception.h"

#include "xml/DDXMLAttributeNode.h"
#include "xml/DDXMLDocument.h"
#include "xml/DDXMLElement.h"
#include "xml/DDXMLNamespaceNode.h"

#include <gtest/gtest.h>

namespace {

fnd::Ref<DDXMLDocument> parse(std::string_view text)
{
    fnd::Ref<fnd::Error> error;
    auto document = DDXMLDocument::createWithXMLStringOptionsError(text, 0, &error);
    EXPECT_TRUE(document) << (error ? error->description() : "");
    return document;
}

std::vector<std::string> namesOf(const std::optional<DDXMLNode::Nodes>& nodes)
{
    std::vector<std::string> names;
    for (auto& node : nodes.value_or(DDXMLNode::Nodes {}))
        names.push_back(node->name().value_or("(nil)"));
    return names;
}

}

TEST(DDXMLNodeTest, WrapperClassFollowsTheRecordKind)
{
    auto document = parse("<!DOCTYPE r [<!ENTITY e 'v'>]><r xmlns:p='u' a='1'>t<![CDATA[c]]><?pi x?><!--k-->&e;</r>");
    auto root = document->rootElement();
    EXPECT_EQ(document->kind(), DDXMLDocumentKind);
    EXPECT_EQ(root->kind(), DDXMLElementKind);
    EXPECT_TRUE(fnd::is<DDXMLAttributeNode>(root->attributeForName("a")));
    EXPECT_TRUE(fnd::is<DDXMLNamespaceNode>(root->namespaces().at(0)));

    std::vector<int> kinds;
    auto children = root->children();
    for (auto& child : *children)
        kinds.push_back(child->kind());
    EXPECT_EQ(kinds, (std::vector<int> { DDXMLTextKind, DDXMLCDataKind, DDXMLProcessingInstructionKind, DDXMLCommentKind, DDXMLEntityReferenceKind }));
    EXPECT_EQ(document->childAtIndex(0)->kind(), DDXMLDTDKind);
    EXPECT_EQ(root->childAtIndex(1)->className(), "DDXMLNode");
}

TEST(DDXMLNodeTest, NavigationGivesDistinctNonOwningWrappers)
{
    auto document = parse("<floor><a/><b><c/></b></floor>");
    auto b = document->rootElement()->childAtIndex(1);
    auto firstParent = b->parent();
    auto secondParent = b->parent();
    EXPECT_NE(firstParent, secondParent);
    EXPECT_EQ(firstParent->genericPtr(), secondParent->genericPtr());
    EXPECT_FALSE(firstParent->freeOnDealloc());
    EXPECT_TRUE(document->freeOnDealloc());

    EXPECT_EQ(b->index(), 1u);
    EXPECT_EQ(b->level(), 2u);
    EXPECT_EQ(b->childAtIndex(0)->level(), 3u);
    EXPECT_EQ(b->previousSibling()->name(), "a");
    EXPECT_FALSE(b->nextSibling());
    EXPECT_EQ(b->rootDocument()->genericPtr(), document->genericPtr());
    EXPECT_TRUE(b->hasParent());
    EXPECT_FALSE(document->rootElement()->copy()->hasParent());
}

TEST(DDXMLNodeTest, ChildAtIndexBounds)
{
    AssertionRecorder assertions;
    auto document = parse("<r><a/><b/></r>");
    auto root = document->rootElement();
    EXPECT_FALSE(root->childAtIndex(0)->childAtIndex(0));
    EXPECT_EQ(assertions.count(), 0u);

    EXPECT_FALSE(root->childAtIndex(2));
    EXPECT_EQ(assertions.lastMessage(), "index (2) beyond bounds (2)");
    EXPECT_EQ(assertions.lastFile(), "Classes/DDXML/DDXMLNode");
}

TEST(DDXMLNodeTest, AttributesAndNamespacesHaveNoChildren)
{
    auto document = parse("<r xmlns:p='u' a='1'/>");
    auto attribute = document->rootElement()->attributeForName("a");
    EXPECT_FALSE(attribute->children());
    EXPECT_EQ(attribute->childCount(), 0u);
    EXPECT_FALSE(attribute->nextNode());
    auto ns = document->rootElement()->namespaces().at(0);
    EXPECT_FALSE(ns->children());
    EXPECT_FALSE(ns->nextSibling());
    EXPECT_EQ(document->rootElement()->children()->size(), 0u);
}

TEST(DDXMLNodeTest, DocumentOrderTraversal)
{
    auto document = parse("<r><a><a1/><a2>t</a2></a><b/></r>");
    auto root = document->rootElement();
    EXPECT_FALSE(root->previousNode());

    std::vector<std::string> forward;
    for (auto node = fnd::Ref<DDXMLNode>(root); node; node = node->nextNode())
        forward.push_back(node->name().value_or("?"));
    EXPECT_EQ(forward, (std::vector<std::string> { "r", "a", "a1", "a2", "text", "b" }));

    std::vector<std::string> backward;
    for (auto node = root->childAtIndex(1)->previousNode(); node; node = node->previousNode())
        backward.push_back(node->name().value_or("?"));
    EXPECT_EQ(backward, (std::vector<std::string> { "text", "a2", "a1", "a", "r" }));
}

TEST(DDXMLNodeTest, PrefixAndLocalName)
{
    EXPECT_EQ(DDXMLNode::prefixForName("a:b:c"), "a");
    EXPECT_EQ(DDXMLNode::localNameForName("a:b:c"), "b:c");
    EXPECT_EQ(DDXMLNode::prefixForName("x"), "");
    EXPECT_EQ(DDXMLNode::localNameForName("x"), "x");
    EXPECT_EQ(DDXMLNode::prefixForName(std::nullopt), "");
    EXPECT_EQ(DDXMLNode::localNameForName(std::nullopt), std::nullopt);

    auto element = DDXMLNode::elementWithName("svg:rect");
    EXPECT_EQ(element->name(), "svg:rect");
    EXPECT_EQ(element->prefix(), "svg");
    EXPECT_EQ(element->localName(), "rect");
}

TEST(DDXMLNodeTest, StringValues)
{
    auto document = parse("<r>a<b>b<c>c</c></b><!--note--></r>");
    auto root = document->rootElement();
    EXPECT_EQ(root->stringValue(), "abc");
    EXPECT_EQ(root->childAtIndex(2)->stringValue(), "note");
    EXPECT_FALSE(document->stringValue());

    root->setName("s");
    EXPECT_EQ(root->name(), "s");
}

TEST(DDXMLNodeTest, SettingStringValuesStoresTheTextAsGiven)
{
    const std::string text = "a & b < c > \"d\" \r";
    auto element = DDXMLNode::elementWithName("e");
    element->setStringValue(text);
    EXPECT_EQ(element->stringValue(), text);
    EXPECT_EQ(element->childCount(), 1u);

    for (auto node : { DDXMLNode::textWithStringValue("x"), DDXMLNode::commentWithStringValue("x"),
             DDXMLNode::processingInstructionWithNameStringValue("pi", "x") }) {
        node->setStringValue(text);
        EXPECT_EQ(node->stringValue(), text) << node->kind();
    }
    auto attribute = DDXMLNode::attributeWithNameStringValue("a", "old");
    attribute->setStringValue(text);
    EXPECT_EQ(attribute->stringValue(), text);

    auto ns = DDXMLNode::namespaceWithNameStringValue("p", "old");
    ns->setStringValue("http://x/?a=1&b=2");
    EXPECT_EQ(ns->stringValue(), "http://x/?a=1&b=2");
    element->addNamespace(ns);
    EXPECT_EQ(element->namespaceForPrefix("p")->stringValue(), "http://x/?a=1&b=2");
    element->removeAllNamespaces();
    EXPECT_EQ(element->XMLString(), "<e>a &amp; b &lt; c &gt; \"d\" &#13;</e>");
}

TEST(DDXMLNodeTest, CopiesAreDeepAndOwned)
{
    auto document = parse("<r xmlns:p='u'><p:a x='1'><b/></p:a></r>");
    auto a = document->rootElement()->childAtIndex(0);
    auto copy = a->copy();
    ASSERT_TRUE(copy);
    EXPECT_TRUE(fnd::is<DDXMLElement>(copy));
    EXPECT_TRUE(copy->freeOnDealloc());
    EXPECT_FALSE(copy->hasParent());
    EXPECT_FALSE(copy->rootDocument());
    EXPECT_NE(copy->genericPtr(), a->genericPtr());
    document.reset();
    a.reset();
    EXPECT_EQ(copy->XMLString(), "<p:a xmlns:p=\"u\" x=\"1\"><b></b></p:a>");

    auto attribute = DDXMLNode::attributeWithNameURIStringValue("x", "urn:a", "v");
    auto attributeCopy = attribute->copy();
    EXPECT_TRUE(fnd::is<DDXMLAttributeNode>(attributeCopy));
    EXPECT_EQ(attributeCopy->URI(), "urn:a");
    EXPECT_EQ(attributeCopy->stringValue(), "v");
}

TEST(DDXMLNodeTest, CopyOfAnElementKeepsTheNamespacesOfItsAttributes)
{
    auto element = DDXMLNode::elementWithName("e");
    auto child = DDXMLNode::elementWithName("c");
    element->addChild(child);
    element->addAttribute(DDXMLNode::attributeWithNameURIStringValue("x", "urn:a", "v"));
    auto inner = DDXMLNode::attributeWithNameStringValue("y", "w");
    inner->setURI("urn:b");
    child->addAttribute(inner);
    auto declared = DDXMLDocument::createWithXMLStringOptionsError("<r xmlns:p='urn:p'><p:q p:z='1'/></r>", 0, nullptr);
    ASSERT_TRUE(declared);

    auto copy = fnd::as<DDXMLElement>(element->copy());
    ASSERT_TRUE(copy);
    element.reset();
    child.reset();
    inner.reset();
    EXPECT_EQ(copy->attributeForName("x")->URI(), "urn:a");
    EXPECT_EQ(copy->elementForName("c")->attributeForName("y")->URI(), "urn:b");

    auto declaredCopy = fnd::as<DDXMLElement>(declared->rootElement()->elementForName("p:q")->copy());
    declared.reset();
    EXPECT_EQ(declaredCopy->attributeForName("p:z")->URI(), "urn:p");
    EXPECT_EQ(declaredCopy->XMLString(), "<p:q xmlns:p=\"urn:p\" p:z=\"1\"></p:q>");
}

TEST(DDXMLNodeTest, EntityReferencesAreNotCopiedNorFreedByKind)
{
    AssertionRecorder assertions;
    xmlNodePtr reference = xmlNewReference(nullptr, reinterpret_cast<const xmlChar*>("&e;"));
    {
        auto wrapper = DDXMLNode::nodeWithPrimitiveFreeOnDealloc(reinterpret_cast<xmlKindPtr>(reference), true);
        EXPECT_EQ(wrapper->kind(), DDXMLEntityReferenceKind);
        EXPECT_FALSE(wrapper->copy());
    }
    EXPECT_EQ(assertions.lastMessage(), "Cannot free unknown node type: 5");
    EXPECT_EQ(assertions.lastFile(), "Classes/DDXML/DDXMLNode");
    xmlFreeNode(reference);
}

TEST(DDXMLNodeTest, SubclassesRefuseTheGenericFactories)
{
    AssertionRecorder assertions;
    EXPECT_FALSE(DDXMLDocument::nodeWithPrimitiveFreeOnDealloc(nullptr, false));
    EXPECT_EQ(assertions.lastMessage(), "Use nodeWithDocPrimitive:freeOnDealloc:");
    EXPECT_EQ(assertions.lastFile(), "Classes/DDXML/DDXMLDocument");
    EXPECT_FALSE(DDXMLDocument::createWithPrimitiveFreeOnDealloc(nullptr, false));
    EXPECT_EQ(assertions.lastMessage(), "Use initWithDocPrimitive:freeOnDealloc:");
    EXPECT_FALSE(DDXMLElement::nodeWithPrimitiveFreeOnDealloc(nullptr, false));
    EXPECT_EQ(assertions.lastMessage(), "Use nodeWithElementPrimitive:freeOnDealloc:");
    EXPECT_EQ(assertions.lastFile(), "Classes/DDXML/DDXMLElement");
    EXPECT_FALSE(DDXMLElement::createWithPrimitiveFreeOnDealloc(nullptr, false));
    EXPECT_EQ(assertions.lastMessage(), "Use initWithElementPrimitive:freeOnDealloc:");
    EXPECT_FALSE(DDXMLNamespaceNode::nodeWithPrimitiveFreeOnDealloc(nullptr, false));
    EXPECT_EQ(assertions.lastMessage(), "Use nodeWithNsPrimitive:nsParent:freeOnDealloc:");
    EXPECT_EQ(assertions.lastFile(), "Classes/DDXML/DDXMLNode");
    EXPECT_FALSE(DDXMLNamespaceNode::createWithPrimitiveFreeOnDealloc(nullptr, false));
    EXPECT_EQ(assertions.lastMessage(), "Use initWithNsPrimitive:nsParent:freeOnDealloc:");
    EXPECT_FALSE(DDXMLAttributeNode::nodeWithPrimitiveFreeOnDealloc(nullptr, false));
    EXPECT_FALSE(DDXMLAttributeNode::createWithPrimitiveFreeOnDealloc(nullptr, false));
    EXPECT_EQ(assertions.count(), 8u);
    EXPECT_EQ(assertions.lastFile(), "Classes/DDXML/DDXMLNode");
}

TEST(DDXMLNodeTest, AssertionsThrowByDefault)
{
    auto element = DDXMLNode::elementWithName("e");
    EXPECT_THROW(element->addChild(DDXMLNode::attributeWithNameStringValue("a", "1")), fnd::AssertionFailure);
    EXPECT_EQ(element->XMLString(), "<e></e>");
}

TEST(DDXMLNodeTest, RawPrimitivesAreWrappedByKind)
{
    auto document = parse("<r a='1'><c/></r>");
    auto rootRecord = reinterpret_cast<xmlKindPtr>(xmlDocGetRootElement(reinterpret_cast<xmlDocPtr>(document->genericPtr())));
    auto wrapped = DDXMLNode::nodeWithUnknownPrimitiveFreeOnDealloc(rootRecord, false);
    EXPECT_TRUE(fnd::is<DDXMLElement>(wrapped));
    document.reset();
    // The raw wrapper found the tree's owner and keeps the tree alive.
    EXPECT_EQ(wrapped->XMLString(), "<r a=\"1\"><c></c></r>");
    EXPECT_EQ(namesOf(wrapped->children()), (std::vector<std::string> { "c" }));
}
