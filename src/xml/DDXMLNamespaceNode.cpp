#include "xml/DDXMLNamespaceNode.h"

#include "platform/foundation/Assertion.h"
#include "platform/foundation/Format.h"
#include "xml/DDXMLDocument.h"
#include "xml/DDXMLOwnership.h"
#include "xml/DDXMLRecordTree.h"
#include "xml/DDXMLText.h"

namespace {

constexpr const char* sourceFile = "Classes/DDXML/DDXMLNode";

std::string textOf(const xmlChar* text)
{
    return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

}

DDXMLNamespaceNode::DDXMLNamespaceNode(ConstructionKey key, xmlNsPtr ns, xmlNodePtr nsParent, bool freeOnDealloc)
    : DDXMLNode(key, DDXMLRecordTree::asKind(ns), freeOnDealloc)
    , m_nsParentPtr(nsParent)
{
}

fnd::Ref<DDXMLNamespaceNode> DDXMLNamespaceNode::createWithNsPrimitiveNsParentFreeOnDealloc(xmlNsPtr ns, xmlNodePtr nsParent, bool freeOnDealloc)
{
    if (!ns)
        return nullptr;
    auto node = std::make_shared<DDXMLNamespaceNode>(ConstructionKey(), ns, nsParent, freeOnDealloc);
    if (!freeOnDealloc && nsParent)
        DDXMLOwnership::anchorNew(*node, DDXMLOwnership::ownerOfTreeHolding(DDXMLRecordTree::asKind(nsParent)));
    return node;
}

fnd::Ref<DDXMLNamespaceNode> DDXMLNamespaceNode::nodeWithNsPrimitiveNsParentFreeOnDealloc(xmlNsPtr ns, xmlNodePtr nsParent, bool freeOnDealloc)
{
    return createWithNsPrimitiveNsParentFreeOnDealloc(ns, nsParent, freeOnDealloc);
}

fnd::Ref<DDXMLNode> DDXMLNamespaceNode::createWithPrimitiveFreeOnDealloc(xmlKindPtr, bool)
{
    FND_ASSERT(false, sourceFile, "Use initWithNsPrimitive:nsParent:freeOnDealloc:");
    return nullptr;
}

fnd::Ref<DDXMLNode> DDXMLNamespaceNode::nodeWithPrimitiveFreeOnDealloc(xmlKindPtr, bool)
{
    FND_ASSERT(false, sourceFile, "Use nodeWithNsPrimitive:nsParent:freeOnDealloc:");
    return nullptr;
}

xmlNsPtr DDXMLNamespaceNode::nsRecord() const
{
    return kind() == XML_NAMESPACE_DECL ? reinterpret_cast<xmlNsPtr>(genericPtr()) : nullptr;
}

void DDXMLNamespaceNode::setNsParentPtr(xmlNodePtr nsParent)
{
    m_nsParentPtr = nsParent;
    // A wrapper that does not own its record must keep the declaring element's tree alive.
    if (!freeOnDealloc() && nsParent) {
        DDXMLOwnership::ReleasePool pool;
        DDXMLOwnership::anchor(*this, DDXMLOwnership::ownerOfTreeHolding(DDXMLRecordTree::asKind(nsParent)), pool);
    }
}

void DDXMLNamespaceNode::setParentOfWrappers(xmlNsPtr ns, xmlNodePtr nsParent)
{
    for (DDXMLNode* wrapper : DDXMLOwnership::wrappersOf(DDXMLRecordTree::asKind(ns))) {
        if (auto namespaceNode = dynamic_cast<DDXMLNamespaceNode*>(wrapper))
            namespaceNode->m_nsParentPtr = nsParent;
    }
}

std::optional<std::string> DDXMLNamespaceNode::name() const
{
    xmlNsPtr ns = nsRecord();
    if (!ns)
        return std::nullopt;
    return textOf(ns->prefix);
}

void DDXMLNamespaceNode::setName(std::string_view name)
{
    xmlNsPtr ns = nsRecord();
    if (!ns)
        return;
    xmlFree(const_cast<xmlChar*>(ns->prefix));
    // An empty prefix is no prefix: "xmlns:" would not be XML.
    ns->prefix = name.empty() ? nullptr : xmlStrdup(DDXMLText(name).get());
}

std::optional<std::string> DDXMLNamespaceNode::localName() const
{
    return name();
}

std::string DDXMLNamespaceNode::prefix() const
{
    return {};
}

std::optional<std::string> DDXMLNamespaceNode::stringValue() const
{
    xmlNsPtr ns = nsRecord();
    if (!ns || !ns->href)
        return std::nullopt;
    return textOf(ns->href);
}

void DDXMLNamespaceNode::setStringValue(std::optional<std::string_view> value)
{
    xmlNsPtr ns = nsRecord();
    if (!ns)
        return;
    xmlFree(const_cast<xmlChar*>(ns->href));
    DDXMLText text(value);
    ns->href = text.isNil() ? nullptr : xmlStrdup(text.get());
}

size_t DDXMLNamespaceNode::index() const
{
    xmlNsPtr ns = nsRecord();
    if (!ns || !m_nsParentPtr)
        return 0;
    size_t position = 0;
    for (xmlNsPtr declaration = m_nsParentPtr->nsDef; declaration; declaration = declaration->next, ++position) {
        if (declaration == ns)
            return position;
    }
    return 0;
}

size_t DDXMLNamespaceNode::level() const
{
    if (!nsRecord())
        return 0;
    size_t count = 0;
    for (xmlNodePtr node = m_nsParentPtr; node; node = node->parent)
        ++count;
    return count;
}

fnd::Ref<DDXMLDocument> DDXMLNamespaceNode::rootDocument() const
{
    if (!nsRecord() || !m_nsParentPtr || !m_nsParentPtr->doc)
        return nullptr;
    return std::dynamic_pointer_cast<DDXMLDocument>(wrapInTree(DDXMLRecordTree::asKind(m_nsParentPtr->doc)));
}

fnd::Ref<DDXMLNode> DDXMLNamespaceNode::parent() const
{
    if (!nsRecord())
        return nullptr;
    return wrapInTree(DDXMLRecordTree::asKind(m_nsParentPtr));
}

bool DDXMLNamespaceNode::hasParent() const
{
    return nsRecord() && m_nsParentPtr;
}

size_t DDXMLNamespaceNode::childCount() const
{
    return 0;
}

std::optional<DDXMLNode::Nodes> DDXMLNamespaceNode::children() const
{
    return std::nullopt;
}

fnd::Ref<DDXMLNode> DDXMLNamespaceNode::childAtIndex(size_t) const
{
    return nullptr;
}

fnd::Ref<DDXMLNode> DDXMLNamespaceNode::previousSibling() const
{
    return nullptr;
}

fnd::Ref<DDXMLNode> DDXMLNamespaceNode::nextSibling() const
{
    return nullptr;
}

fnd::Ref<DDXMLNode> DDXMLNamespaceNode::previousNode() const
{
    return nullptr;
}

fnd::Ref<DDXMLNode> DDXMLNamespaceNode::nextNode() const
{
    return nullptr;
}

std::optional<std::string> DDXMLNamespaceNode::URI() const
{
    return std::nullopt;
}

void DDXMLNamespaceNode::setURI(std::optional<std::string_view>)
{
}

void DDXMLNamespaceNode::detach()
{
    xmlNsPtr ns = nsRecord();
    if (!ns || !m_nsParentPtr)
        return;
    xmlNodePtr declaringElement = m_nsParentPtr;
    if (!DDXMLRecordTree::declaresNamespace(declaringElement, ns)) {
        m_nsParentPtr = nullptr;
        return;
    }
    detachNamespaceFromNode(ns, declaringElement);
    setParentOfWrappers(ns, nullptr);
    DDXMLOwnership::takeOverCutSubtree(genericPtr(), shared_from_this());
}

xmlKindPtr DDXMLNamespaceNode::XPathPreProcess(std::string& path) const
{
    if (!nsRecord())
        return nullptr;
    std::string prefix = name().value_or("");
    path.append(m_nsParentPtr ? fnd::format("/namespace::%@", prefix) : fnd::format("namespace::%@", prefix));
    return DDXMLRecordTree::asKind(m_nsParentPtr);
}
