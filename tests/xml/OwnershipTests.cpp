// Ownership of libxml2 records across wrappers. Run under AddressSanitizer: a fault here shows as a
// use-after-free, a double free or a leak rather than as a failed expectation.

#include "AssertionRecorder.h"

#include "xml/DDXMLAttributeNode.h"
#include "xml/DDXMLDocument.h"
#include "xml/DDXMLElement.h"
#include "xml/DDXMLNamespaceNode.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

fnd::Ref<DDXMLDocument> parse(std::string_view text)
{
    return DDXMLDocument::createWithXMLStringOptionsError(text, 0, nullptr);
}

}

TEST(DDXMLOwnershipTest, NavigatedWrappersKeepTheirTreeAlive)
{
    fnd::Ref<DDXMLNode> grandchild;
    fnd::Ref<DDXMLAttributeNode> attribute;
    {
        auto document = parse("<r><a><b x='1'>text</b></a></r>");
        auto b = document->rootElement()->elementForName("a")->elementForName("b");
        grandchild = b->childAtIndex(0);
        attribute = b->attributeForName("x");
    }
    EXPECT_EQ(grandchild->stringValue(), "text");
    EXPECT_EQ(grandchild->rootDocument()->rootElement()->name(), "r");
    EXPECT_EQ(attribute->stringValue(), "1");
    EXPECT_EQ(attribute->XPath(), "/r[1]/a[1]/b[1]/@x");
}

TEST(DDXMLOwnershipTest, ReleasingNavigatedWrappersLeavesTheTreeIntact)
{
    auto document = parse("<r><a/><b/></r>");
    for (int round = 0; round < 3; ++round) {
        auto children = document->rootElement()->children();
        EXPECT_EQ(children->size(), 2u);
    }
    EXPECT_EQ(document->rootElement()->XMLString(), "<r><a></a><b></b></r>");
}

TEST(DDXMLOwnershipTest, DetachedSubtreeOutlivesItsParsedDocument)
{
    // Names in a parse dictionary would dangle here once the document is freed.
    auto document = parse("<r><picture id='7'><title>Ann</title></picture></r>");
    auto picture = document->rootElement()->elementForName("picture");
    picture->detach();
    EXPECT_TRUE(picture->freeOnDealloc());
    EXPECT_FALSE(picture->rootDocument());
    document.reset();
    EXPECT_EQ(picture->XMLString(), "<picture id=\"7\"><title>Ann</title></picture>");
    EXPECT_EQ(picture->elementForName("title")->stringValue(), "Ann");
    picture->setName("renamed");
    EXPECT_EQ(picture->name(), "renamed");
}

TEST(DDXMLOwnershipTest, CopiesOutliveTheirOriginalsDocument)
{
    auto document = parse("<r a='1'><e b='2'>text</e></r>");
    auto attribute = document->rootElement()->attributeForName("a")->copy();
    auto element = document->rootElement()->elementForName("e")->copy();
    document.reset();
    // A copy belongs to no document, so nothing leads back to the freed one.
    EXPECT_FALSE(attribute->rootDocument());
    EXPECT_FALSE(element->rootDocument());
    EXPECT_EQ(attribute->XMLString(), "a=\"1\"");
    EXPECT_EQ(element->XMLString(), "<e b=\"2\">text</e>");
}

TEST(DDXMLOwnershipTest, WrappersIntoADetachedSubtreeFollowIt)
{
    fnd::Ref<DDXMLNode> title;
    {
        auto document = parse("<r><picture><title>Ann</title></picture></r>");
        auto picture = document->rootElement()->elementForName("picture");
        title = picture->elementForName("title");
        picture->detach();
    }
    // Both the document and the detaching wrapper are gone; the title keeps the subtree alive.
    EXPECT_EQ(title->stringValue(), "Ann");
    EXPECT_EQ(title->parent()->name(), "picture");
    EXPECT_FALSE(title->parent()->hasParent());
}

TEST(DDXMLOwnershipTest, RemovalFreesAtOnceAndLeavesWrappersWithoutRecord)
{
    auto root = DDXMLNode::elementWithName("r");
    auto child = DDXMLNode::elementWithName("c");
    auto grandchild = DDXMLNode::elementWithNameStringValue("g", "x");
    child->addChild(grandchild);
    child->addAttributeWithNameStringValue("a", "1");
    root->addChild(child);
    auto attribute = child->attributeForName("a");

    root->removeChildAtIndex(0);
    for (auto& node : std::vector<fnd::Ref<DDXMLNode>> { child, grandchild, attribute }) {
        EXPECT_EQ(node->kind(), DDXMLInvalidKind);
        EXPECT_FALSE(node->name());
        EXPECT_FALSE(node->parent());
        EXPECT_EQ(node->XMLString(), "");
        EXPECT_EQ(node->XPath(), "");
        node->detach();
        node->setStringValue("ignored");
    }
    root->addChild(child);
    EXPECT_EQ(root->XMLString(), "<r></r>");
}

TEST(DDXMLOwnershipTest, AnAddedAttributeReplacesEveryAttributeOfItsName)
{
    auto element = DDXMLNode::elementWithName("e");
    element->addAttributeWithNameStringValue("a", "1");
    element->addAttributeWithNameStringValue("b", "2");
    auto first = element->attributeForName("a");
    auto renamed = element->attributeForName("b");
    // A rename leaves the element with two attributes called "a".
    renamed->setName("a");

    element->addAttribute(DDXMLNode::attributeWithNameStringValue("a", "3"));
    EXPECT_EQ(element->XMLString(), "<e a=\"3\"></e>");
    for (auto& replaced : { first, renamed }) {
        EXPECT_EQ(replaced->kind(), DDXMLInvalidKind);
        EXPECT_FALSE(replaced->stringValue());
    }
}

TEST(DDXMLOwnershipTest, InsertionHandsOwnershipToTheTree)
{
    auto root = DDXMLNode::elementWithName("r");
    auto child = DDXMLNode::elementWithName("c");
    auto grandchild = DDXMLNode::elementWithName("g");
    child->addChild(grandchild);
    root->addChild(child);
    EXPECT_FALSE(child->freeOnDealloc());
    root.reset();
    // The tree is kept by the wrappers into it and freed once with the last of them.
    EXPECT_EQ(grandchild->parent()->parent()->name(), "r");
    child.reset();
    EXPECT_EQ(grandchild->XPath(), "r/c[1]/g[1]");
}

TEST(DDXMLOwnershipTest, AddingANonOwningWrapperOfAFreeTreeTakesItOver)
{
    auto target = DDXMLNode::elementWithName("target");
    auto top = DDXMLNode::elementWithName("top");
    top->addChild(DDXMLNode::elementWithName("inner"));
    auto topAgain = top->childAtIndex(0)->parent();
    ASSERT_FALSE(topAgain->freeOnDealloc());
    target->addChild(topAgain);
    EXPECT_FALSE(top->freeOnDealloc());
    top.reset();
    EXPECT_EQ(target->XMLString(), "<target><top><inner></inner></top></target>");
}

TEST(DDXMLOwnershipTest, NoCycles)
{
    AssertionRecorder assertions;
    auto root = DDXMLNode::elementWithName("r");
    auto child = DDXMLNode::elementWithName("c");
    root->addChild(child);
    root->addChild(root);
    EXPECT_EQ(assertions.lastMessage(), "Cannot add an element as a child of itself or of one of its descendants");
    child->addChild(root);
    child->insertChildAtIndex(root, 0);
    EXPECT_EQ(assertions.count(), 3u);
    EXPECT_EQ(root->XMLString(), "<r><c></c></r>");
    EXPECT_TRUE(root->freeOnDealloc());
}

TEST(DDXMLOwnershipTest, FailedPreconditionsInsertNothing)
{
    AssertionRecorder assertions;
    auto document = parse("<r><a/></r>");
    auto a = document->rootElement()->childAtIndex(0);
    auto other = DDXMLNode::elementWithName("other");
    other->addChild(a);
    EXPECT_EQ(assertions.lastMessage(), "Cannot add a child that has a parent; detach or copy first");
    other->addChild(DDXMLNode::namespaceWithNameStringValue("p", "u"));
    EXPECT_EQ(assertions.lastMessage(), "Elements can only have text, elements, processing instructions, and comments as children");
    other->addAttribute(DDXMLNode::elementWithName("x"));
    EXPECT_EQ(assertions.lastMessage(), "Not an attribute");
    other->addNamespace(DDXMLNode::textWithStringValue("t"));
    EXPECT_EQ(assertions.lastMessage(), "Not a namespace");
    EXPECT_EQ(assertions.lastFile(), "Classes/DDXML/DDXMLElement");
    EXPECT_EQ(other->XMLString(), "<other></other>");
    EXPECT_EQ(document->rootElement()->XMLString(), "<r><a></a></r>");
}

TEST(DDXMLOwnershipTest, MergedTextKeepsItsWrapperValid)
{
    auto element = DDXMLNode::elementWithNameStringValue("e", "Hello");
    auto added = DDXMLNode::textWithStringValue(", world");
    element->addChild(added);
    EXPECT_EQ(element->childCount(), 1u);
    EXPECT_FALSE(added->freeOnDealloc());
    EXPECT_EQ(added->genericPtr(), element->childAtIndex(0)->genericPtr());
    EXPECT_EQ(added->stringValue(), "Hello, world");

    auto before = DDXMLNode::textWithStringValue(">> ");
    element->insertChildAtIndex(before, 0);
    EXPECT_EQ(element->childCount(), 1u);
    EXPECT_EQ(before->stringValue(), ">> Hello, world");
    element.reset();
    added.reset();
    EXPECT_EQ(before->parent()->name(), "e");
}

TEST(DDXMLOwnershipTest, ReplacedRootLivesWhileReachable)
{
    auto document = parse("<old><kept>1</kept></old>");
    auto oldRoot = document->rootElement();
    auto kept = oldRoot->childAtIndex(0);
    document->setRootElement(DDXMLNode::elementWithName("new"));
    EXPECT_EQ(document->rootElement()->name(), "new");
    EXPECT_TRUE(oldRoot->freeOnDealloc());
    EXPECT_FALSE(oldRoot->rootDocument());
    document.reset();
    oldRoot.reset();
    EXPECT_EQ(kept->parent()->XMLString(), "<old><kept>1</kept></old>");

    // Nothing reaches this one: it is freed at once (a leak would fail under LeakSanitizer).
    auto other = DDXMLDocument::createWithRootElement(DDXMLNode::elementWithName("a"));
    other->setRootElement(DDXMLNode::elementWithName("b"));
    EXPECT_EQ(other->XMLString(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<b></b>");
}

TEST(DDXMLOwnershipTest, RootElementMustBeFree)
{
    AssertionRecorder assertions;
    auto document = DDXMLDocument::createWithRootElement(DDXMLNode::elementWithName("root"));
    auto parent = DDXMLNode::elementWithName("p");
    auto child = DDXMLNode::elementWithName("c");
    parent->addChild(child);
    document->setRootElement(child);
    EXPECT_EQ(assertions.lastMessage(), "Cannot set a root element that has a parent; detach or copy first");
    EXPECT_EQ(document->rootElement()->name(), "root");
    EXPECT_EQ(parent->XMLString(), "<p><c></c></p>");
    document->setRootElement(document->rootElement());
    EXPECT_EQ(assertions.count(), 1u);
}

TEST(DDXMLOwnershipTest, DetachedSubtreeCarriesItsNamespaces)
{
    auto document = parse("<r xmlns='urn:d' xmlns:p='urn:p'><p:a xml:lang='en' p:x='1'><b/></p:a></r>");
    auto a = document->rootElement()->childAtIndex(0);
    auto b = DDXMLElement::nodeWithElementPrimitiveFreeOnDealloc(reinterpret_cast<xmlNodePtr>(a->childAtIndex(0)->genericPtr()), false);
    a->detach();
    document.reset();
    EXPECT_EQ(a->URI(), "urn:p");
    EXPECT_EQ(b->URI(), "urn:d");
    EXPECT_EQ(a->XMLString(), "<p:a xmlns:p=\"urn:p\" xmlns=\"urn:d\" xml:lang=\"en\" p:x=\"1\"><b></b></p:a>");

    auto reparsed = parse(a->XMLString());
    ASSERT_TRUE(reparsed);
    EXPECT_EQ(reparsed->rootElement()->attributeForName("p:x")->URI(), "urn:p");
}

TEST(DDXMLOwnershipTest, DetachedAttributeKeepsItsNamespace)
{
    auto document = parse("<r xmlns:p='urn:p' p:x='1'/>");
    auto attribute = document->rootElement()->attributeForName("p:x");
    attribute->detach();
    document.reset();
    EXPECT_EQ(attribute->URI(), "urn:p");
    EXPECT_EQ(attribute->XMLString(), "p:x=\"1\"");
    EXPECT_EQ(attribute->XPath(), "@x");
}

TEST(DDXMLOwnershipTest, AttributeNamespaceRecordsGoWithTheirAttribute)
{
    auto attribute = DDXMLNode::attributeWithNameURIStringValue("x", "urn:first", "1");
    attribute->setURI("urn:second");
    EXPECT_EQ(attribute->URI(), "urn:second");
    auto element = DDXMLNode::elementWithName("e");
    element->addAttribute(attribute);
    EXPECT_EQ(element->attributeForName("x")->URI(), "urn:second");
    element->addAttribute(DDXMLNode::attributeWithNameURIStringValue("y", "urn:third", "2"));
    element->removeAttributeForName("x");
    EXPECT_EQ(element->XMLString(), "<e y=\"2\"></e>");
    // LeakSanitizer reports the namespace records if they outlive the attributes.
}

TEST(DDXMLOwnershipTest, RemovedDeclarationIsForgottenByItsUsers)
{
    auto document = parse("<r xmlns:p='urn:p'><p:a p:x='1'/></r>");
    auto root = document->rootElement();
    auto ns = root->namespaceForPrefix("p");
    root->removeNamespaceForPrefix("p");
    EXPECT_EQ(ns->kind(), DDXMLInvalidKind);
    auto a = root->childAtIndex(0);
    EXPECT_FALSE(a->URI());
    EXPECT_FALSE(fnd::as<DDXMLElement>(a)->attributeForName("x")->URI());
    EXPECT_EQ(root->XMLString(), "<r><a x=\"1\"></a></r>");
}

TEST(DDXMLOwnershipTest, DetachedDeclarationIsOwnedByItsWrapper)
{
    auto root = DDXMLNode::elementWithName("r");
    root->setXmlns("urn:d");
    auto declaration = root->namespaces().at(0);
    auto another = root->namespaceForPrefix("");
    declaration->detach();
    EXPECT_TRUE(declaration->freeOnDealloc());
    EXPECT_FALSE(another->hasParent());
    EXPECT_FALSE(root->xmlns());
    EXPECT_EQ(root->XMLString(), "<r></r>");
    root.reset();
    EXPECT_EQ(another->stringValue(), "urn:d");
    auto other = DDXMLNode::elementWithName("o");
    other->addNamespace(declaration);
    EXPECT_EQ(other->xmlns(), "urn:d");
    EXPECT_EQ(another->parent()->name(), "o");
}

TEST(DDXMLOwnershipTest, IDAttributesLeaveTheDocumentWithTheirElement)
{
    auto document = parse("<r><a xml:id='one'/></r>");
    auto a = document->rootElement()->childAtIndex(0);
    a->detach();
    a.reset();
    fnd::Ref<fnd::Error> error;
    auto found = document->nodesForXPathError("id('one')", &error);
    ASSERT_TRUE(found);
    EXPECT_TRUE(found->empty());
}

TEST(DDXMLOwnershipTest, EntityReferencesDetachWithoutTheirDeclaration)
{
    auto document = parse("<!DOCTYPE r [<!ENTITY e 'v'>]><r><a>x&e;</a></r>");
    auto a = document->rootElement()->childAtIndex(0);
    a->detach();
    document.reset();
    // The reference no longer points into the freed document's DTD.
    auto reference = reinterpret_cast<xmlNodePtr>(a->childAtIndex(1)->genericPtr());
    EXPECT_EQ(reference->children, nullptr);
    EXPECT_EQ(a->XMLString(), "<a>x&e;</a>");
    auto found = a->nodesForXPathError("//text()", nullptr);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->size(), 1u);
}

TEST(DDXMLOwnershipTest, SetChildrenKeepsListedChildren)
{
    auto parent = DDXMLNode::elementWithName("p");
    auto kept = DDXMLNode::elementWithName("kept");
    auto dropped = DDXMLNode::elementWithName("dropped");
    parent->addChild(kept);
    parent->addChild(dropped);
    parent->setChildren({ DDXMLNode::elementWithName("new"), kept });
    EXPECT_EQ(parent->XMLString(), "<p><new></new><kept></kept></p>");
    EXPECT_EQ(dropped->kind(), DDXMLInvalidKind);

    auto attribute = DDXMLNode::attributeWithNameStringValue("a", "1");
    parent->addAttribute(attribute);
    parent->setAttributes({ attribute, DDXMLNode::attributeWithNameStringValue("b", "2") });
    EXPECT_EQ(parent->XMLString(), "<p a=\"1\" b=\"2\"><new></new><kept></kept></p>");
}

TEST(DDXMLOwnershipTest, WrappersOnDifferentThreadsOverSeparateTrees)
{
    std::vector<std::thread> threads;
    std::atomic<int> correct { 0 };
    for (int index = 0; index < 4; ++index) {
        threads.emplace_back([&correct, index] {
            auto root = DDXMLNode::elementWithName("r");
            for (int child = 0; child < 200; ++child)
                root->addChild(DDXMLNode::elementWithNameStringValue("c", std::to_string(index)));
            auto document = DDXMLDocument::createWithXMLStringOptionsError(root->XMLString(), 0, nullptr);
            if (document && document->rootElement()->elementsForName("c").size() == 200)
                ++correct;
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(correct.load(), 4);
}

TEST(DDXMLOwnershipTest, ReplacedRootReachedOnlyFromBelow)
{
    auto document = parse("<old><a><b>deep</b></a></old>");
    auto b = document->rootElement()->elementForName("a")->elementForName("b");
    document->setRootElement(DDXMLNode::elementWithName("new"));
    document.reset();
    // No wrapper of the old root itself: a hidden one owns it for as long as b lives.
    EXPECT_EQ(b->parent()->parent()->XMLString(), "<old><a><b>deep</b></a></old>");
    EXPECT_FALSE(b->rootDocument());
}

TEST(DDXMLOwnershipTest, ChangedIDValueLeavesTheIDTable)
{
    auto document = parse("<r><a xml:id='one'/></r>");
    document->rootElement()->elementForName("a")->attributeForName("xml:id")->setStringValue("two");
    document->rootElement()->removeChildAtIndex(0);
    auto found = document->nodesForXPathError("id('one')", nullptr);
    ASSERT_TRUE(found);
    EXPECT_TRUE(found->empty());
}

TEST(DDXMLOwnershipTest, RawWrappersFindTheOwnerOfTheirTree)
{
    auto document = parse("<r a='1'/>");
    auto documentRecord = reinterpret_cast<xmlDocPtr>(document->genericPtr());
    auto attributeRecord = xmlDocGetRootElement(documentRecord)->properties;
    auto attribute = DDXMLAttributeNode::nodeWithAttrPrimitiveFreeOnDealloc(attributeRecord, false);
    auto sameDocument = DDXMLDocument::nodeWithDocPrimitiveFreeOnDealloc(documentRecord, false);
    document.reset();
    EXPECT_EQ(attribute->stringValue(), "1");
    EXPECT_EQ(sameDocument->rootElement()->name(), "r");
}

TEST(DDXMLOwnershipTest, RawWrapperWithoutOwnerLosesItsRecordWithTheOwner)
{
    xmlNodePtr record = xmlNewNode(nullptr, reinterpret_cast<const xmlChar*>("e"));
    auto raw = DDXMLNode::nodeWithPrimitiveFreeOnDealloc(reinterpret_cast<xmlKindPtr>(record), false);
    {
        auto owner = DDXMLElement::nodeWithElementPrimitiveFreeOnDealloc(record, true);
        EXPECT_EQ(raw->name(), "e");
    }
    EXPECT_EQ(raw->kind(), DDXMLInvalidKind);
}

TEST(DDXMLOwnershipTest, RawSurgeryRefusesRecordsOfAnotherParent)
{
    auto first = DDXMLElement::createWithXMLStringError("<first a='1'><c/></first>", nullptr);
    auto second = DDXMLElement::createWithXMLStringError("<second b='2'><d/></second>", nullptr);
    auto firstRecord = reinterpret_cast<xmlNodePtr>(first->genericPtr());
    auto secondRecord = reinterpret_cast<xmlNodePtr>(second->genericPtr());
    DDXMLNode::removeChildFromNode(firstRecord->children, secondRecord);
    DDXMLNode::detachChildFromNode(firstRecord->children, secondRecord);
    DDXMLNode::removeAttributeFromNode(firstRecord->properties, secondRecord);
    DDXMLNode::detachAttributeFromNode(firstRecord->properties, secondRecord);
    EXPECT_EQ(first->XMLString(), "<first a=\"1\"><c></c></first>");
    EXPECT_EQ(second->XMLString(), "<second b=\"2\"><d></d></second>");

    DDXMLNode::removeAllChildrenFromNode(secondRecord);
    DDXMLNode::removeAllAttributesFromNode(secondRecord);
    EXPECT_EQ(second->XMLString(), "<second></second>");
}
