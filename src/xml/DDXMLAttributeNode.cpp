#include "xml/DDXMLAttributeNode.h"

#include "platform/foundation/Assertion.h"
#include "platform/foundation/Format.h"
#include "xml/DDXMLOwnership.h"
#include "xml/DDXMLPrivateNamespaces.h"
#include "xml/DDXMLRecordTree.h"
#include "xml/DDXMLText.h"

#include <libxml/valid.h>

namespace {

constexpr const char* sourceFile = "Classes/DDXML/DDXMLNode";

}

DDXMLAttributeNode::DDXMLAttributeNode(ConstructionKey key, xmlAttrPtr attribute, bool freeOnDealloc)
    : DDXMLNode(key, DDXMLRecordTree::asKind(attribute), freeOnDealloc)
{
}

fnd::Ref<DDXMLAttributeNode> DDXMLAttributeNode::createWithAttrPrimitiveFreeOnDealloc(xmlAttrPtr attribute, bool freeOnDealloc)
{
    if (!attribute)
        return nullptr;
    auto node = std::make_shared<DDXMLAttributeNode>(ConstructionKey(), attribute, freeOnDealloc);
    if (!freeOnDealloc)
        DDXMLOwnership::anchorNew(*node, DDXMLOwnership::ownerOfTreeHolding(DDXMLRecordTree::asKind(attribute)));
    return node;
}

fnd::Ref<DDXMLAttributeNode> DDXMLAttributeNode::nodeWithAttrPrimitiveFreeOnDealloc(xmlAttrPtr attribute, bool freeOnDealloc)
{
    return createWithAttrPrimitiveFreeOnDealloc(attribute, freeOnDealloc);
}

fnd::Ref<DDXMLNode> DDXMLAttributeNode::createWithPrimitiveFreeOnDealloc(xmlKindPtr, bool)
{
    FND_ASSERT(false, sourceFile, "Use initWithAttrPrimitive:freeOnDealloc:");
    return nullptr;
}

fnd::Ref<DDXMLNode> DDXMLAttributeNode::nodeWithPrimitiveFreeOnDealloc(xmlKindPtr, bool)
{
    FND_ASSERT(false, sourceFile, "Use nodeWithAttrPrimitive:freeOnDealloc:");
    return nullptr;
}

xmlAttrPtr DDXMLAttributeNode::attributeRecord() const
{
    return kind() == XML_ATTRIBUTE_NODE ? reinterpret_cast<xmlAttrPtr>(genericPtr()) : nullptr;
}

std::optional<std::string> DDXMLAttributeNode::stringValue() const
{
    xmlAttrPtr attribute = attributeRecord();
    if (!attribute || !attribute->children)
        return std::nullopt;
    // The whole value: one text record normally, more when it holds entity references.
    xmlChar* content = xmlNodeGetContent(reinterpret_cast<xmlNodePtr>(attribute));
    std::string value = content ? reinterpret_cast<const char*>(content) : "";
    xmlFree(content);
    return value;
}

void DDXMLAttributeNode::setStringValue(std::optional<std::string_view> value)
{
    xmlAttrPtr attribute = attributeRecord();
    if (!attribute)
        return;
    // The document's ID table finds ID attributes by value; a changed value must leave it.
    if (attribute->atype == XML_ATTRIBUTE_ID && attribute->doc)
        xmlRemoveID(attribute->doc, attribute);
    auto node = reinterpret_cast<xmlNodePtr>(attribute);
    removeAllChildrenFromNode(node);
    // Attribute content is parsed for entity references, so the text goes in escaped.
    DDXMLText text(value);
    xmlChar* escaped = xmlEncodeSpecialChars(attribute->doc, text.get());
    xmlNodeSetContent(node, escaped);
    xmlFree(escaped);
}

fnd::Ref<DDXMLNode> DDXMLAttributeNode::previousNode() const
{
    return nullptr;
}

fnd::Ref<DDXMLNode> DDXMLAttributeNode::nextNode() const
{
    return nullptr;
}

void DDXMLAttributeNode::detach()
{
    xmlAttrPtr attribute = attributeRecord();
    if (!attribute || !attribute->parent)
        return;
    detachAttributeFromNode(attribute, attribute->parent);
    DDXMLOwnership::takeOverCutSubtree(genericPtr(), shared_from_this());
}

std::optional<std::string> DDXMLAttributeNode::URI() const
{
    xmlAttrPtr attribute = attributeRecord();
    if (!attribute || !attribute->ns || !attribute->ns->href)
        return std::nullopt;
    return std::string(reinterpret_cast<const char*>(attribute->ns->href));
}

void DDXMLAttributeNode::setURI(std::optional<std::string_view> URI)
{
    xmlAttrPtr attribute = attributeRecord();
    if (!attribute)
        return;
    // A declaration on an element stays where it is; the attribute's own record goes.
    if (DDXMLPrivateNamespaces::contains(attribute->ns))
        DDXMLPrivateNamespaces::free(attribute->ns);
    attribute->ns = nullptr;
    if (URI)
        attribute->ns = DDXMLPrivateNamespaces::create(DDXMLText(URI).get(), nullptr);
}

xmlKindPtr DDXMLAttributeNode::XPathPreProcess(std::string& path) const
{
    xmlAttrPtr attribute = attributeRecord();
    if (!attribute)
        return nullptr;
    auto name = reinterpret_cast<const char*>(attribute->name);
    path.append(attribute->parent ? fnd::format("/@%s", name) : fnd::format("@%s", name));
    return DDXMLRecordTree::asKind(attribute->parent);
}
