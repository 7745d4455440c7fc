#include "xml/DDXMLNode.h"

#include "platform/foundation/Assertion.h"
#include "xml/DDXMLAttributeNode.h"
#include "xml/DDXMLDocument.h"
#include "xml/DDXMLElement.h"
#include "xml/DDXMLLastError.h"
#include "xml/DDXMLNamespaceNode.h"
#include "xml/DDXMLOwnership.h"
#include "xml/DDXMLPrivateNamespaces.h"
#include "xml/DDXMLRecordTree.h"
#include "xml/DDXMLString.h"
#include "xml/DDXMLText.h"
#include "xml/DDXMLWrapperAllocator.h"
#include "xml/DDXMLXPathQuery.h"

namespace {

constexpr const char* sourceFile = "Classes/DDXML/DDXMLNode";

// Built in place: moving a short string into an optional copies its bytes a second time.
std::optional<std::string> stringFrom(const xmlChar* text)
{
    if (!text)
        return std::nullopt;
    return std::optional<std::string>(std::in_place, reinterpret_cast<const char*>(text));
}

std::optional<std::string> takeString(xmlChar* text)
{
    auto string = stringFrom(text);
    xmlFree(text);
    return string;
}

// The children of `parent` in order, in the thread's scratch list. The sibling list is followed
// from both ends at once: each record lies apart from the last and must be fetched before the
// next can be, so two chains wait half as long as one. What a walk reads of each child next (its
// name and its first and last children) is fetched on the way.
std::vector<xmlNodePtr>& childRecords(xmlNodePtr parent)
{
    thread_local std::vector<xmlNodePtr> records;
    thread_local std::vector<xmlNodePtr> fromLast;
    records.clear();
    fromLast.clear();
    auto prefetchContents = [](xmlNodePtr child) {
        __builtin_prefetch(child->name);
        __builtin_prefetch(child->children);
        __builtin_prefetch(child->last);
    };
    xmlNodePtr first = parent->children;
    xmlNodePtr last = parent->last;
    while (first && last) {
        prefetchContents(first);
        records.push_back(first);
        if (first == last)
            break;
        prefetchContents(last);
        fromLast.push_back(last);
        if (first->next == last)
            break;
        first = first->next;
        last = last->prev;
    }
    records.insert(records.end(), fromLast.rbegin(), fromLast.rend());
    // One level further, independently for every child: the second and next-to-last grandchildren.
    for (xmlNodePtr child : records) {
        if (xmlNodePtr firstGrandchild = child->children)
            __builtin_prefetch(firstGrandchild->next);
        if (xmlNodePtr lastGrandchild = child->last)
            __builtin_prefetch(lastGrandchild->prev);
    }
    return records;
}

bool isDocumentKind(int kind)
{
    return kind == XML_DOCUMENT_NODE || kind == XML_HTML_DOCUMENT_NODE;
}

}

DDXMLNode::DDXMLNode(ConstructionKey, xmlKindPtr record, bool freeOnDealloc)
    : m_genericPtr(record)
    , m_freeOnDealloc(record && freeOnDealloc)
{
    initialize();
    DDXMLOwnership::registerWrapper(*this);
}

DDXMLNode::~DDXMLNode()
{
    DDXMLOwnership::unregisterWrapper(*this);
    if (m_freeOnDealloc && m_genericPtr)
        DDXMLOwnership::freeOwnedRecord(*this);
    if (m_treeOwner)
        m_treeOwner->m_anchoredWrapperCount--;
}

void DDXMLNode::initialize()
{
    DDXMLLastError::installOnCurrentThread();
}

fnd::Ref<DDXMLNode> DDXMLNode::wrapperForKind(xmlKindPtr record, bool freeOnDealloc)
{
    switch (DDXMLRecordTree::kindOf(record)) {
    case XML_ELEMENT_NODE:
        return std::allocate_shared<DDXMLElement>(DDXMLWrapperAllocator<DDXMLElement>(), ConstructionKey(), reinterpret_cast<xmlNodePtr>(record), freeOnDealloc);
    case XML_ATTRIBUTE_NODE:
        return std::allocate_shared<DDXMLAttributeNode>(DDXMLWrapperAllocator<DDXMLAttributeNode>(), ConstructionKey(), reinterpret_cast<xmlAttrPtr>(record), freeOnDealloc);
    case XML_DOCUMENT_NODE:
        return std::make_shared<DDXMLDocument>(ConstructionKey(), reinterpret_cast<xmlDocPtr>(record), freeOnDealloc);
    case XML_NAMESPACE_DECL:
        return std::allocate_shared<DDXMLNamespaceNode>(DDXMLWrapperAllocator<DDXMLNamespaceNode>(), ConstructionKey(), reinterpret_cast<xmlNsPtr>(record), nullptr, freeOnDealloc);
    default:
        return std::allocate_shared<DDXMLNode>(DDXMLWrapperAllocator<DDXMLNode>(), ConstructionKey(), record, freeOnDealloc);
    }
}

fnd::Ref<DDXMLNode> DDXMLNode::createWithPrimitiveFreeOnDealloc(xmlKindPtr record, bool freeOnDealloc)
{
    if (!record)
        return nullptr;
    auto node = std::make_shared<DDXMLNode>(ConstructionKey(), record, freeOnDealloc);
    if (!freeOnDealloc)
        DDXMLOwnership::anchorNew(*node, DDXMLOwnership::ownerOfTreeHolding(record));
    return node;
}

fnd::Ref<DDXMLNode> DDXMLNode::nodeWithPrimitiveFreeOnDealloc(xmlKindPtr record, bool freeOnDealloc)
{
    return createWithPrimitiveFreeOnDealloc(record, freeOnDealloc);
}

fnd::Ref<DDXMLNode> DDXMLNode::nodeWithUnknownPrimitiveFreeOnDealloc(xmlKindPtr record, bool freeOnDealloc)
{
    if (!record)
        return nullptr;
    auto node = wrapperForKind(record, freeOnDealloc);
    if (!freeOnDealloc)
        DDXMLOwnership::anchorNew(*node, DDXMLOwnership::ownerOfTreeHolding(record));
    return node;
}

// MARK: - Factories

fnd::Ref<DDXMLElement> DDXMLNode::elementWithName(std::string_view name)
{
    return DDXMLElement::createWithName(name);
}

fnd::Ref<DDXMLElement> DDXMLNode::elementWithNameStringValue(std::string_view name, std::optional<std::string_view> stringValue)
{
    return DDXMLElement::createWithNameStringValue(name, stringValue);
}

fnd::Ref<DDXMLElement> DDXMLNode::elementWithNameChildrenAttributes(std::string_view name, const Nodes& children, const Nodes& attributes)
{
    auto element = DDXMLElement::createWithName(name);
    if (!element)
        return nullptr;
    element->setChildren(children);
    element->setAttributes(attributes);
    return element;
}

fnd::Ref<DDXMLElement> DDXMLNode::elementWithNameURI(std::string_view name, std::optional<std::string_view> URI)
{
    return DDXMLElement::createWithNameURI(name, URI);
}

fnd::Ref<DDXMLAttributeNode> DDXMLNode::attributeWithNameStringValue(std::string_view name, std::optional<std::string_view> stringValue)
{
    initialize();
    xmlAttrPtr attribute = xmlNewProp(nullptr, DDXMLText(name).get(), DDXMLText(stringValue).get());
    if (!attribute)
        return nullptr;
    return std::make_shared<DDXMLAttributeNode>(ConstructionKey(), attribute, true);
}

fnd::Ref<DDXMLAttributeNode> DDXMLNode::attributeWithNameURIStringValue(std::string_view name, std::optional<std::string_view> URI, std::optional<std::string_view> stringValue)
{
    auto attribute = attributeWithNameStringValue(name, stringValue);
    if (attribute)
        attribute->setURI(URI);
    return attribute;
}

fnd::Ref<DDXMLNamespaceNode> DDXMLNode::namespaceWithNameStringValue(std::string_view name, std::optional<std::string_view> stringValue)
{
    initialize();
    DDXMLText prefix(name.empty() ? std::nullopt : std::optional<std::string_view>(name));
    xmlNsPtr ns = xmlNewNs(nullptr, DDXMLText(stringValue).get(), prefix.get());
    if (!ns)
        return nullptr;
    return std::make_shared<DDXMLNamespaceNode>(ConstructionKey(), ns, nullptr, true);
}

fnd::Ref<DDXMLNode> DDXMLNode::processingInstructionWithNameStringValue(std::string_view name, std::optional<std::string_view> stringValue)
{
    initialize();
    return createWithPrimitiveFreeOnDealloc(DDXMLRecordTree::asKind(xmlNewPI(DDXMLText(name).get(), DDXMLText(stringValue).get())), true);
}

fnd::Ref<DDXMLNode> DDXMLNode::commentWithStringValue(std::optional<std::string_view> stringValue)
{
    initialize();
    return createWithPrimitiveFreeOnDealloc(DDXMLRecordTree::asKind(xmlNewComment(DDXMLText(stringValue).get())), true);
}

fnd::Ref<DDXMLNode> DDXMLNode::textWithStringValue(std::optional<std::string_view> stringValue)
{
    initialize();
    return createWithPrimitiveFreeOnDealloc(DDXMLRecordTree::asKind(xmlNewText(DDXMLText(stringValue).get())), true);
}

// MARK: - Ownership helpers

xmlNodePtr DDXMLNode::nodeRecord() const
{
    return DDXMLRecordTree::asNode(m_genericPtr);
}

fnd::Ref<DDXMLNode> DDXMLNode::treeOwner() const
{
    if (m_freeOnDealloc)
        return std::const_pointer_cast<DDXMLNode>(shared_from_this());
    return m_treeOwner;
}

fnd::Ref<DDXMLNode> DDXMLNode::wrapInTree(xmlKindPtr record) const
{
    if (!record)
        return nullptr;
    auto node = wrapperForKind(record, false);
    DDXMLOwnership::anchorNew(*node, treeOwner());
    return node;
}

fnd::Ref<DDXMLNamespaceNode> DDXMLNode::wrapNamespaceInTree(xmlNsPtr ns, xmlNodePtr declaringElement) const
{
    if (!ns)
        return nullptr;
    auto node = std::allocate_shared<DDXMLNamespaceNode>(DDXMLWrapperAllocator<DDXMLNamespaceNode>(), ConstructionKey(), ns, declaringElement, false);
    DDXMLOwnership::anchorNew(*node, treeOwner());
    return node;
}

// MARK: - Queries

std::optional<std::string> DDXMLNode::name() const
{
    if (kind() == XML_NAMESPACE_DECL)
        return stringFrom(reinterpret_cast<xmlNsPtr>(m_genericPtr)->prefix);
    xmlNodePtr node = nodeRecord();
    if (!node)
        return std::nullopt;
    return stringFrom(node->name);
}

void DDXMLNode::setName(std::string_view name)
{
    if (xmlNodePtr node = nodeRecord())
        xmlNodeSetName(node, DDXMLText(name).get());
}

std::optional<std::string> DDXMLNode::stringValue() const
{
    if (!DDXMLRecordTree::isContentKind(kind()))
        return std::nullopt;
    return takeString(xmlNodeGetContent(nodeRecord()));
}

void DDXMLNode::setStringValue(std::optional<std::string_view> value)
{
    if (!DDXMLRecordTree::isContentKind(kind()))
        return;
    xmlNodePtr node = nodeRecord();
    DDXMLText text(value);
    if (node->type != XML_ELEMENT_NODE) {
        // Text, CDATA, comments and processing instructions keep their content as it is given.
        xmlNodeSetContent(node, text.get());
        return;
    }
    removeAllChildrenFromNode(node);
    // Element content is parsed for entity references, so the text goes in escaped.
    xmlChar* escaped = xmlEncodeSpecialChars(node->doc, text.get());
    xmlNodeSetContent(node, escaped);
    xmlFree(escaped);
}

size_t DDXMLNode::index() const
{
    size_t count = 0;
    if (xmlNodePtr node = nodeRecord()) {
        for (xmlNodePtr sibling = node->prev; sibling; sibling = sibling->prev)
            ++count;
    }
    return count;
}

size_t DDXMLNode::level() const
{
    size_t count = 0;
    if (xmlNodePtr node = nodeRecord()) {
        for (xmlNodePtr ancestor = node->parent; ancestor; ancestor = ancestor->parent)
            ++count;
    }
    return count;
}

fnd::Ref<DDXMLDocument> DDXMLNode::rootDocument() const
{
    xmlNodePtr node = nodeRecord();
    if (!node || !node->doc)
        return nullptr;
    return std::dynamic_pointer_cast<DDXMLDocument>(wrapInTree(DDXMLRecordTree::asKind(node->doc)));
}

fnd::Ref<DDXMLNode> DDXMLNode::parent() const
{
    xmlNodePtr node = nodeRecord();
    return node ? wrapInTree(DDXMLRecordTree::asKind(node->parent)) : nullptr;
}

bool DDXMLNode::hasParent() const
{
    xmlNodePtr node = nodeRecord();
    return node && node->parent;
}

size_t DDXMLNode::childCount() const
{
    if (!DDXMLRecordTree::isChildBearingKind(kind()))
        return 0;
    size_t count = 0;
    for (xmlNodePtr child = nodeRecord()->children; child; child = child->next)
        ++count;
    return count;
}

std::optional<DDXMLNode::Nodes> DDXMLNode::children() const
{
    if (!DDXMLRecordTree::isChildBearingKind(kind()))
        return std::nullopt;
    std::vector<xmlNodePtr>& records = childRecords(nodeRecord());
    Nodes nodes;
    nodes.reserve(records.size());
    // A wrapper that owns its record is the owner; any other borrows its own reference to it.
    fnd::Ref<DDXMLNode> self = m_freeOnDealloc ? treeOwner() : nullptr;
    const fnd::Ref<DDXMLNode>& owner = m_freeOnDealloc ? self : m_treeOwner;
    for (xmlNodePtr child : records) {
        auto wrapper = wrapperForKind(DDXMLRecordTree::asKind(child), false);
        DDXMLOwnership::anchorNew(*wrapper, owner);
        nodes.push_back(std::move(wrapper));
    }
    return nodes;
}

fnd::Ref<DDXMLNode> DDXMLNode::childAtIndex(size_t index) const
{
    if (!DDXMLRecordTree::isChildBearingKind(kind()))
        return nullptr;
    xmlNodePtr child = nodeRecord()->children;
    if (!child)
        return nullptr;
    size_t position = 0;
    for (; child; child = child->next, ++position) {
        if (position == index)
            return wrapInTree(DDXMLRecordTree::asKind(child));
    }
    FND_ASSERT(false, sourceFile, "index (%u) beyond bounds (%u)", index, position);
    return nullptr;
}

fnd::Ref<DDXMLNode> DDXMLNode::previousSibling() const
{
    xmlNodePtr node = nodeRecord();
    return node ? wrapInTree(DDXMLRecordTree::asKind(node->prev)) : nullptr;
}

fnd::Ref<DDXMLNode> DDXMLNode::nextSibling() const
{
    xmlNodePtr node = nodeRecord();
    return node ? wrapInTree(DDXMLRecordTree::asKind(node->next)) : nullptr;
}

fnd::Ref<DDXMLNode> DDXMLNode::previousNode() const
{
    xmlNodePtr node = nodeRecord();
    if (!node)
        return nullptr;
    if (xmlNodePtr previous = node->prev) {
        while (DDXMLRecordTree::isChildBearingKind(previous->type) && previous->last)
            previous = previous->last;
        return wrapInTree(DDXMLRecordTree::asKind(previous));
    }
    if (!node->parent || isDocumentKind(node->parent->type))
        return nullptr;
    return wrapInTree(DDXMLRecordTree::asKind(node->parent));
}

fnd::Ref<DDXMLNode> DDXMLNode::nextNode() const
{
    xmlNodePtr node = nodeRecord();
    if (!node)
        return nullptr;
    if (DDXMLRecordTree::isChildBearingKind(node->type) && node->children)
        return wrapInTree(DDXMLRecordTree::asKind(node->children));
    for (; node; node = node->parent) {
        if (node->next)
            return wrapInTree(DDXMLRecordTree::asKind(node->next));
    }
    return nullptr;
}

void DDXMLNode::detach()
{
    if (!DDXMLRecordTree::isContentKind(kind()) || !hasParent())
        return;
    xmlNodePtr node = nodeRecord();
    detachChildFromNode(node, node->parent);
    DDXMLOwnership::takeOverCutSubtree(m_genericPtr, shared_from_this());
}

std::optional<std::string> DDXMLNode::localName() const
{
    return localNameForName(name());
}

std::string DDXMLNode::prefix() const
{
    return prefixForName(name());
}

std::optional<std::string> DDXMLNode::localNameForName(std::optional<std::string_view> name)
{
    if (!name)
        return std::nullopt;
    size_t colon = name->find(':');
    if (colon == std::string_view::npos)
        return std::string(*name);
    return std::string(name->substr(colon + 1));
}

std::string DDXMLNode::prefixForName(std::optional<std::string_view> name)
{
    if (!name)
        return {};
    size_t colon = name->find(':');
    if (colon == std::string_view::npos)
        return {};
    return std::string(name->substr(0, colon));
}

std::optional<std::string> DDXMLNode::URI() const
{
    if (!DDXMLRecordTree::isContentKind(kind()))
        return std::nullopt;
    xmlNodePtr node = nodeRecord();
    return node->ns ? stringFrom(node->ns->href) : std::nullopt;
}

void DDXMLNode::setURI(std::optional<std::string_view> URI)
{
    // Only elements carry namespace declarations; libxml2 would never free one put on another kind.
    if (kind() != XML_ELEMENT_NODE)
        return;
    xmlNodePtr element = nodeRecord();
    if (element->ns) {
        if (DDXMLRecordTree::declaresNamespace(element, element->ns))
            removeNamespaceFromNode(element->ns, element);
        else
            element->ns = nullptr;
    }
    if (!URI)
        return;
    xmlNsPtr ns = xmlNewNs(nullptr, DDXMLText(URI).get(), nullptr);
    if (!ns)
        return;
    ns->next = element->nsDef;
    element->nsDef = ns;
    element->ns = ns;
}

// libxml2 copies an attribute's namespace only when it finds it declared in scope; an attribute
// given a URI of its own (a private record) would come out of an element copy in no namespace.
static void restoreAttributeNamespaces(xmlNodePtr original, xmlNodePtr copied)
{
    for (; original && copied; original = original->next, copied = copied->next) {
        if (original->type != XML_ELEMENT_NODE || copied->type != XML_ELEMENT_NODE)
            continue;
        xmlAttrPtr copiedAttribute = copied->properties;
        for (xmlAttrPtr attribute = original->properties; attribute && copiedAttribute; attribute = attribute->next, copiedAttribute = copiedAttribute->next) {
            if (attribute->ns && !copiedAttribute->ns)
                copiedAttribute->ns = DDXMLPrivateNamespaces::create(attribute->ns->href, attribute->ns->prefix);
        }
        restoreAttributeNamespaces(original->children, copied->children);
    }
}

fnd::Ref<DDXMLNode> DDXMLNode::copy() const
{
    switch (kind()) {
    case XML_ELEMENT_NODE:
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_PI_NODE:
    case XML_COMMENT_NODE: {
        xmlNodePtr copied = xmlCopyNode(nodeRecord(), 1);
        if (!copied)
            return nullptr;
        if (dynamic_cast<const DDXMLElement*>(this)) {
            if (DDXMLPrivateNamespaces::anyExist()) {
                xmlNodePtr original = nodeRecord();
                restoreAttributeNamespaces(original, copied);
            }
            return std::make_shared<DDXMLElement>(ConstructionKey(), copied, true);
        }
        return std::make_shared<DDXMLNode>(ConstructionKey(), DDXMLRecordTree::asKind(copied), true);
    }
    case XML_ATTRIBUTE_NODE: {
        auto original = reinterpret_cast<xmlAttrPtr>(m_genericPtr);
        xmlAttrPtr copied = xmlCopyProp(nullptr, original);
        if (!copied)
            return nullptr;
        // Without a target element libxml2 leaves the copy outside any namespace.
        if (original->ns)
            copied->ns = DDXMLPrivateNamespaces::create(original->ns->href, original->ns->prefix);
        // libxml2 gives the copy the original's document, which the copy does not keep alive.
        stripDocPointersFromAttr(copied);
        return std::make_shared<DDXMLAttributeNode>(ConstructionKey(), copied, true);
    }
    case XML_DOCUMENT_NODE: {
        xmlDocPtr copied = xmlCopyDoc(reinterpret_cast<xmlDocPtr>(m_genericPtr), 1);
        return copied ? std::make_shared<DDXMLDocument>(ConstructionKey(), copied, true) : nullptr;
    }
    case XML_DTD_NODE: {
        xmlDtdPtr copied = xmlCopyDtd(reinterpret_cast<xmlDtdPtr>(m_genericPtr));
        return copied ? std::make_shared<DDXMLNode>(ConstructionKey(), DDXMLRecordTree::asKind(copied), true) : nullptr;
    }
    case XML_NAMESPACE_DECL: {
        xmlNsPtr copied = xmlCopyNamespace(reinterpret_cast<xmlNsPtr>(m_genericPtr));
        return copied ? std::make_shared<DDXMLNamespaceNode>(ConstructionKey(), copied, nullptr, true) : nullptr;
    }
    default:
        return nullptr;
    }
}

// MARK: - Serialisation and XPath

std::string DDXMLNode::XMLString() const
{
    return XMLStringWithOptions(0);
}

std::string DDXMLNode::description() const
{
    return XMLString();
}

std::string DDXMLNode::XMLStringWithOptions(unsigned options) const
{
    if (!m_genericPtr)
        return {};
    initialize();
    // libxml2 keeps these per thread, so they are set on every call.
    xmlSaveNoEmptyTags = (options & DDXMLNodeCompactEmptyElement) ? 0 : 1;
    bool prettyPrint = options & DDXMLNodePrettyPrint;
    if (prettyPrint)
        xmlIndentTreeOutput = 1;

    xmlDocPtr document = nullptr;
    if (kind() != XML_NAMESPACE_DECL)
        document = nodeRecord()->doc;
    xmlBufferPtr buffer = xmlBufferCreate();
    if (!buffer)
        return {};
    xmlNodeDump(buffer, document, reinterpret_cast<xmlNodePtr>(m_genericPtr), 0, prettyPrint ? 1 : 0);
    std::string_view written(reinterpret_cast<const char*>(xmlBufferContent(buffer)), xmlBufferLength(buffer));
    std::string result = kind() == XML_TEXT_NODE ? std::string(written) : DDXMLString::stringByTrimming(written);
    xmlBufferFree(buffer);
    return result;
}

xmlKindPtr DDXMLNode::XPathPreProcess(std::string&) const
{
    return m_genericPtr;
}

std::string DDXMLNode::XPath() const
{
    std::string path;
    path.reserve(25);
    xmlKindPtr start = XPathPreProcess(path);
    for (xmlNodePtr node = DDXMLRecordTree::asNode(start); node && !isDocumentKind(node->type); node = node->parent) {
        auto name = reinterpret_cast<const char*>(node->name);
        std::string step;
        if (node->parent || node->doc) {
            int position = 1;
            for (xmlNodePtr sibling = node->prev; sibling; sibling = sibling->prev) {
                if (xmlStrEqual(sibling->name, node->name))
                    ++position;
            }
            step = fnd::format("/%s[%i]", name, position);
        } else {
            step = fnd::format("%s", name);
        }
        path.insert(0, step);
    }
    return path;
}

std::optional<DDXMLNode::Nodes> DDXMLNode::nodesForXPathError(std::string_view xpath, fnd::Ref<fnd::Error>* error) const
{
    return DDXMLXPathQuery::evaluate(*this, xpath, error);
}

fnd::Ref<fnd::Error> DDXMLNode::lastError()
{
    initialize();
    return DDXMLLastError::current();
}

// MARK: - Record surgery

void DDXMLNode::detachChildFromNodeAndNullifyPointers(xmlNodePtr child, xmlNodePtr node, bool nullifyPointers)
{
    // Unlinking a record from a list it is not in would corrupt that list.
    if (!child || !node || child->parent != node)
        return;
    DDXMLRecordTree::unlinkChild(child, node);
    if (!nullifyPointers)
        return;
    child->parent = nullptr;
    child->next = nullptr;
    child->prev = nullptr;
    DDXMLRecordTree::makeNamespacesSelfContained(DDXMLRecordTree::asKind(child));
    if (child->doc)
        recursiveStripDocPointersFromNode(child);
}

void DDXMLNode::detachChildFromNode(xmlNodePtr child, xmlNodePtr node)
{
    detachChildFromNodeAndNullifyPointers(child, node, true);
}

void DDXMLNode::removeChildFromNode(xmlNodePtr child, xmlNodePtr node)
{
    if (!child || !node || child->parent != node)
        return;
    detachChildFromNodeAndNullifyPointers(child, node, false);
    DDXMLOwnership::freeRemovedRecord(DDXMLRecordTree::asKind(child));
}

void DDXMLNode::removeAllChildrenFromNode(xmlNodePtr node)
{
    if (!node)
        return;
    for (xmlNodePtr child = node->children; child;) {
        xmlNodePtr next = child->next;
        DDXMLOwnership::freeRemovedRecord(DDXMLRecordTree::asKind(child));
        child = next;
    }
    node->children = nullptr;
    node->last = nullptr;
}

void DDXMLNode::detachAttributeFromNodeAndNullifyPointers(xmlAttrPtr attribute, xmlNodePtr node, bool nullifyPointers)
{
    if (!attribute || !node || attribute->parent != node)
        return;
    DDXMLRecordTree::unlinkAttribute(attribute, node);
    if (!nullifyPointers)
        return;
    attribute->parent = nullptr;
    attribute->next = nullptr;
    attribute->prev = nullptr;
    DDXMLRecordTree::makeNamespacesSelfContained(DDXMLRecordTree::asKind(attribute));
    if (attribute->doc)
        stripDocPointersFromAttr(attribute);
}

void DDXMLNode::detachAttributeFromNode(xmlAttrPtr attribute, xmlNodePtr node)
{
    detachAttributeFromNodeAndNullifyPointers(attribute, node, true);
}

void DDXMLNode::removeAttributeFromNode(xmlAttrPtr attribute, xmlNodePtr node)
{
    if (!attribute || !node || attribute->parent != node)
        return;
    detachAttributeFromNodeAndNullifyPointers(attribute, node, false);
    DDXMLOwnership::freeRemovedRecord(DDXMLRecordTree::asKind(attribute));
}

void DDXMLNode::removeAllAttributesFromNode(xmlNodePtr node)
{
    if (!node || node->type != XML_ELEMENT_NODE)
        return;
    for (xmlAttrPtr attribute = node->properties; attribute;) {
        xmlAttrPtr next = attribute->next;
        DDXMLOwnership::freeRemovedRecord(DDXMLRecordTree::asKind(attribute));
        attribute = next;
    }
    node->properties = nullptr;
}

void DDXMLNode::detachNamespaceFromNode(xmlNsPtr ns, xmlNodePtr node)
{
    if (!ns || !node || node->type != XML_ELEMENT_NODE)
        return;
    if (!DDXMLRecordTree::unlinkNamespace(ns, node)) {
        // Declared elsewhere: it only stops being the element's namespace.
        if (node->ns == ns)
            node->ns = nullptr;
        return;
    }
    DDXMLRecordTree::forgetNamespaceInSubtree(ns, node);
}

void DDXMLNode::removeNamespaceFromNode(xmlNsPtr ns, xmlNodePtr node)
{
    if (!ns || !node || node->type != XML_ELEMENT_NODE)
        return;
    if (!DDXMLRecordTree::declaresNamespace(node, ns)) {
        if (node->ns == ns)
            node->ns = nullptr;
        return;
    }
    detachNamespaceFromNode(ns, node);
    DDXMLOwnership::freeRemovedRecord(DDXMLRecordTree::asKind(ns));
}

void DDXMLNode::removeAllNamespacesFromNode(xmlNodePtr node)
{
    if (!node || node->type != XML_ELEMENT_NODE)
        return;
    xmlNsPtr declaration = node->nsDef;
    node->nsDef = nullptr;
    node->ns = nullptr;
    while (declaration) {
        xmlNsPtr next = declaration->next;
        declaration->next = nullptr;
        DDXMLRecordTree::forgetNamespaceInSubtree(declaration, node);
        DDXMLOwnership::freeRemovedRecord(DDXMLRecordTree::asKind(declaration));
        declaration = next;
    }
}

void DDXMLNode::stripDocPointersFromAttr(xmlAttrPtr attribute)
{
    if (attribute)
        DDXMLRecordTree::stripDocumentLinks(DDXMLRecordTree::asKind(attribute));
}

void DDXMLNode::recursiveStripDocPointersFromNode(xmlNodePtr node)
{
    if (node)
        DDXMLRecordTree::stripDocumentLinks(DDXMLRecordTree::asKind(node));
}
