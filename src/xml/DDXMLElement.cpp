#include "xml/DDXMLElement.h"

#include "platform/foundation/Assertion.h"
#include "platform/foundation/String.h"
#include "xml/DDXMLAttributeNode.h"
#include "xml/DDXMLDocument.h"
#include "xml/DDXMLNamespaceNode.h"
#include "xml/DDXMLOwnership.h"
#include "xml/DDXMLRecordTree.h"
#include "xml/DDXMLText.h"

namespace {

constexpr const char* sourceFile = "Classes/DDXML/DDXMLElement";

const xmlChar* bytesOf(std::string_view text, std::string& storage)
{
    storage.assign(text);
    return reinterpret_cast<const xmlChar*>(storage.c_str());
}

bool isDefaultNamespace(xmlNsPtr ns)
{
    return !ns->prefix || !*ns->prefix;
}

bool prefixMatches(xmlNsPtr ns, std::optional<std::string_view> prefix)
{
    if (!prefix || prefix->empty())
        return isDefaultNamespace(ns);
    std::string storage;
    return xmlStrEqual(ns->prefix, bytesOf(*prefix, storage));
}

}

fnd::Ref<DDXMLElement> DDXMLElement::createWithElementPrimitiveFreeOnDealloc(xmlNodePtr element, bool freeOnDealloc)
{
    if (!element)
        return nullptr;
    auto node = std::make_shared<DDXMLElement>(ConstructionKey(), element, freeOnDealloc);
    if (!freeOnDealloc)
        DDXMLOwnership::anchorNew(*node, DDXMLOwnership::ownerOfTreeHolding(DDXMLRecordTree::asKind(element)));
    return node;
}

fnd::Ref<DDXMLElement> DDXMLElement::nodeWithElementPrimitiveFreeOnDealloc(xmlNodePtr element, bool freeOnDealloc)
{
    return createWithElementPrimitiveFreeOnDealloc(element, freeOnDealloc);
}

fnd::Ref<DDXMLNode> DDXMLElement::createWithPrimitiveFreeOnDealloc(xmlKindPtr, bool)
{
    FND_ASSERT(false, sourceFile, "Use initWithElementPrimitive:freeOnDealloc:");
    return nullptr;
}

fnd::Ref<DDXMLNode> DDXMLElement::nodeWithPrimitiveFreeOnDealloc(xmlKindPtr, bool)
{
    FND_ASSERT(false, sourceFile, "Use nodeWithElementPrimitive:freeOnDealloc:");
    return nullptr;
}

fnd::Ref<DDXMLElement> DDXMLElement::createWithName(std::string_view name)
{
    initialize();
    xmlNodePtr element = xmlNewNode(nullptr, DDXMLText(name).get());
    if (!element)
        return nullptr;
    return std::make_shared<DDXMLElement>(ConstructionKey(), element, true);
}

fnd::Ref<DDXMLElement> DDXMLElement::createWithNameURI(std::string_view name, std::optional<std::string_view> URI)
{
    auto element = createWithName(name);
    if (element)
        element->setURI(URI);
    return element;
}

fnd::Ref<DDXMLElement> DDXMLElement::createWithNameStringValue(std::string_view name, std::optional<std::string_view> stringValue)
{
    auto element = createWithName(name);
    if (element)
        element->setStringValue(stringValue);
    return element;
}

fnd::Ref<DDXMLElement> DDXMLElement::createWithXMLStringError(std::optional<std::string_view> xml, fnd::Ref<fnd::Error>* error)
{
    auto document = DDXMLDocument::createWithXMLStringOptionsError(xml, 0, error);
    if (!document)
        return nullptr;
    auto root = document->rootElement();
    if (root)
        root->detach();
    return root;
}

xmlNodePtr DDXMLElement::elementRecord() const
{
    xmlNodePtr node = nodeRecord();
    return node && node->type == XML_ELEMENT_NODE ? node : nullptr;
}

// MARK: - Elements by name

DDXMLElement::Elements DDXMLElement::elementsForName(std::optional<std::string_view> name) const
{
    xmlNodePtr element = elementRecord();
    if (!name || !element)
        return {};
    std::optional<std::string> uri;
    std::string prefix = prefixForName(name);
    if (!prefix.empty()) {
        if (prefix == "xml") {
            uri = reinterpret_cast<const char*>(XML_XML_NAMESPACE);
        } else {
            std::string storage;
            xmlNsPtr ns = DDXMLRecordTree::declarationInScope(element, bytesOf(prefix, storage));
            if (ns && ns->href)
                uri = reinterpret_cast<const char*>(ns->href);
        }
    }
    return elementsForNameUri(*name, uri);
}

DDXMLElement::Elements DDXMLElement::elementsForLocalNameURI(std::optional<std::string_view> localName, std::optional<std::string_view> URI) const
{
    if (!localName || !elementRecord())
        return {};
    std::string name(*localName);
    if (URI) {
        if (auto prefix = resolvePrefixForNamespaceURI(*URI))
            name = *prefix + ":" + name;
    }
    return elementsForNameUri(name, URI);
}

DDXMLElement::Elements DDXMLElement::elementsForNameUri(std::string_view name, std::optional<std::string_view> uri) const
{
    xmlNodePtr element = elementRecord();
    if (!element)
        return {};
    std::string nameStorage;
    std::string localStorage;
    std::string uriStorage;
    const xmlChar* fullName = bytesOf(name, nameStorage);
    const xmlChar* localName = bytesOf(localNameForName(name).value_or(""), localStorage);
    const xmlChar* uriBytes = uri ? bytesOf(*uri, uriStorage) : nullptr;
    bool prefixed = !prefixForName(name).empty();

    Elements found;
    fnd::Ref<DDXMLNode> owner = treeOwner();
    for (xmlNodePtr child = element->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE)
            continue;
        bool fullMatch = xmlStrEqual(child->name, fullName);
        bool matches = fullMatch;
        if (uriBytes) {
            bool uriMatch = child->ns && child->ns->href && xmlStrEqual(child->ns->href, uriBytes);
            bool localMatch = xmlStrEqual(child->name, localName);
            matches = prefixed ? (fullMatch || (localMatch && uriMatch)) : (fullMatch && uriMatch);
        }
        if (!matches)
            continue;
        auto wrapper = std::make_shared<DDXMLElement>(ConstructionKey(), child, false);
        DDXMLOwnership::anchorNew(*wrapper, owner);
        found.push_back(std::move(wrapper));
    }
    return found;
}

// MARK: - Attributes

bool DDXMLElement::hasAttributeWithName(std::string_view name) const
{
    xmlNodePtr element = elementRecord();
    if (!element)
        return false;
    std::string storage;
    const xmlChar* bytes = bytesOf(name, storage);
    for (xmlAttrPtr attribute = element->properties; attribute; attribute = attribute->next) {
        if (xmlStrEqual(attribute->name, bytes))
            return true;
    }
    return false;
}

std::vector<fnd::Ref<DDXMLAttributeNode>> DDXMLElement::attributes() const
{
    std::vector<fnd::Ref<DDXMLAttributeNode>> found;
    xmlNodePtr element = elementRecord();
    if (!element)
        return found;
    fnd::Ref<DDXMLNode> owner = treeOwner();
    for (xmlAttrPtr attribute = element->properties; attribute; attribute = attribute->next) {
        auto wrapper = std::make_shared<DDXMLAttributeNode>(ConstructionKey(), attribute, false);
        DDXMLOwnership::anchorNew(*wrapper, owner);
        found.push_back(std::move(wrapper));
    }
    return found;
}

fnd::Ref<DDXMLAttributeNode> DDXMLElement::attributeForName(std::string_view name) const
{
    xmlNodePtr element = elementRecord();
    if (!element)
        return nullptr;
    std::string storage;
    const xmlChar* bytes = bytesOf(name, storage);
    for (xmlAttrPtr attribute = element->properties; attribute; attribute = attribute->next) {
        bool matches = attribute->ns && attribute->ns->prefix
            ? xmlStrQEqual(attribute->ns->prefix, attribute->name, bytes)
            : xmlStrEqual(attribute->name, bytes);
        if (matches)
            return std::dynamic_pointer_cast<DDXMLAttributeNode>(wrapInTree(DDXMLRecordTree::asKind(attribute)));
    }
    return nullptr;
}

void DDXMLElement::addAttribute(const fnd::Ref<DDXMLNode>& node)
{
    xmlNodePtr element = elementRecord();
    if (!element || !node || !node->genericPtr())
        return;
    if (!FND_ASSERT(!node->hasParent(), sourceFile, "Cannot add an attribute with a parent; detach or copy first"))
        return;
    if (!FND_ASSERT(node->kind() == XML_ATTRIBUTE_NODE, sourceFile, "Not an attribute"))
        return;
    auto attribute = reinterpret_cast<xmlAttrPtr>(node->genericPtr());
    // The attribute replaces the one of the same name in the same namespace (libxml2 would free that
    // one by itself; removing it here lets its wrappers know). A rename can have left several such
    // attributes, and libxml2 would free the next one, so all of them go. One of the same name in
    // another namespace is a different attribute and stays.
    const xmlChar* href = attribute->ns ? attribute->ns->href : nullptr;
    for (xmlAttrPtr same = xmlHasNsProp(element, attribute->name, href);
         same && same != attribute && same->type == XML_ATTRIBUTE_NODE && same->parent == element;
         same = xmlHasNsProp(element, attribute->name, href))
        removeAttributeFromNode(same, element);
    if (!xmlAddChild(element, reinterpret_cast<xmlNodePtr>(attribute)))
        return;
    DDXMLOwnership::adoptSubtree(DDXMLRecordTree::asKind(attribute), treeOwner());
}

void DDXMLElement::removeAttribute(xmlAttrPtr attribute)
{
    xmlNodePtr element = elementRecord();
    if (element && attribute && attribute->parent == element)
        removeAttributeFromNode(attribute, element);
}

void DDXMLElement::removeAttributeForName(std::string_view name)
{
    xmlNodePtr element = elementRecord();
    if (!element)
        return;
    std::string storage;
    const xmlChar* bytes = bytesOf(name, storage);
    for (xmlAttrPtr attribute = element->properties; attribute; attribute = attribute->next) {
        if (xmlStrEqual(attribute->name, bytes)) {
            removeAttributeFromNode(attribute, element);
            return;
        }
    }
}

void DDXMLElement::removeAllAttributes()
{
    if (xmlNodePtr element = elementRecord())
        removeAllAttributesFromNode(element);
}

void DDXMLElement::setAttributes(const Nodes& attributes)
{
    if (!elementRecord())
        return;
    keepListedRecords(attributes, XML_ATTRIBUTE_NODE);
    removeAllAttributes();
    for (auto& attribute : attributes)
        addAttribute(attribute);
}

void DDXMLElement::addAttributeWithNameStringValue(std::string_view name, std::optional<std::string_view> stringValue)
{
    addAttribute(attributeWithNameStringValue(name, stringValue));
}

fnd::Ref<fnd::Dictionary> DDXMLElement::attributesAsDictionary() const
{
    auto attributes = this->attributes();
    auto dictionary = fnd::MutableDictionary::create(attributes.size());
    for (auto& attribute : attributes) {
        auto key = fnd::String::create(attribute->name().value_or(""));
        dictionary->setObjectForKey(fnd::String::create(attribute->stringValue().value_or("")), key);
    }
    return dictionary;
}

// MARK: - Namespaces

void DDXMLElement::addNamespace(const fnd::Ref<DDXMLNode>& node)
{
    xmlNodePtr element = elementRecord();
    if (!element || !node || !node->genericPtr())
        return;
    // A declaration that no wrapper owns sits somewhere else (a document's implicit xml namespace).
    bool isFree = !node->hasParent()
        && (node->kind() != XML_NAMESPACE_DECL || DDXMLOwnership::hasOwningWrapper(node->genericPtr()));
    if (!FND_ASSERT(isFree, sourceFile, "Cannot add a namespace with a parent; detach or copy first"))
        return;
    if (!FND_ASSERT(node->kind() == XML_NAMESPACE_DECL, sourceFile, "Not a namespace"))
        return;
    auto ns = reinterpret_cast<xmlNsPtr>(node->genericPtr());
    removeNamespaceForPrefix(ns->prefix ? reinterpret_cast<const char*>(ns->prefix) : "");

    ns->next = nullptr;
    if (!element->nsDef) {
        element->nsDef = ns;
    } else {
        xmlNsPtr last = element->nsDef;
        while (last->next)
            last = last->next;
        last->next = ns;
    }
    DDXMLOwnership::adoptSubtree(DDXMLRecordTree::asKind(ns), treeOwner());
    DDXMLNamespaceNode::setParentOfWrappers(ns, element);
    if (isDefaultNamespace(ns))
        element->ns = ns;
}

void DDXMLElement::removeNamespace(xmlNsPtr ns)
{
    if (xmlNodePtr element = elementRecord())
        removeNamespaceFromNode(ns, element);
}

void DDXMLElement::removeNamespaceForPrefix(std::string_view prefix)
{
    xmlNodePtr element = elementRecord();
    if (!element)
        return;
    for (xmlNsPtr declaration = element->nsDef; declaration; declaration = declaration->next) {
        if (prefixMatches(declaration, prefix)) {
            removeNamespaceFromNode(declaration, element);
            return;
        }
    }
}

void DDXMLElement::removeAllNamespaces()
{
    if (xmlNodePtr element = elementRecord())
        removeAllNamespacesFromNode(element);
}

std::vector<fnd::Ref<DDXMLNamespaceNode>> DDXMLElement::namespaces() const
{
    std::vector<fnd::Ref<DDXMLNamespaceNode>> found;
    xmlNodePtr element = elementRecord();
    if (!element)
        return found;
    for (xmlNsPtr declaration = element->nsDef; declaration; declaration = declaration->next)
        found.push_back(wrapNamespaceInTree(declaration, element));
    return found;
}

fnd::Ref<DDXMLNamespaceNode> DDXMLElement::namespaceForPrefix(std::string_view prefix) const
{
    xmlNodePtr element = elementRecord();
    if (!element)
        return nullptr;
    if (prefix.empty()) {
        if (!element->ns)
            return nullptr;
        // The declaration may sit on an ancestor; the wrapper names the element that really holds it.
        return wrapNamespaceInTree(element->ns, DDXMLRecordTree::declaringElement(element->ns, element));
    }
    for (xmlNsPtr declaration = element->nsDef; declaration; declaration = declaration->next) {
        if (prefixMatches(declaration, prefix))
            return wrapNamespaceInTree(declaration, element);
    }
    return nullptr;
}

void DDXMLElement::setNamespaces(const Nodes& namespaces)
{
    if (!elementRecord())
        return;
    keepListedRecords(namespaces, XML_NAMESPACE_DECL);
    removeAllNamespaces();
    for (auto& ns : namespaces)
        addNamespace(ns);
}

fnd::Ref<DDXMLNamespaceNode> DDXMLElement::resolveNamespaceForPrefixAtNode(std::optional<std::string_view> prefix, const fnd::Ref<DDXMLElement>& node)
{
    xmlNodePtr start = node ? node->elementRecord() : nullptr;
    for (xmlNodePtr element = start; element && element->type == XML_ELEMENT_NODE; element = element->parent) {
        for (xmlNsPtr declaration = element->nsDef; declaration; declaration = declaration->next) {
            if (prefixMatches(declaration, prefix))
                return node->wrapNamespaceInTree(declaration, element);
        }
    }
    return nullptr;
}

fnd::Ref<DDXMLNamespaceNode> DDXMLElement::resolveNamespaceForName(std::optional<std::string_view> name) const
{
    if (!name)
        return nullptr;
    auto self = std::static_pointer_cast<DDXMLElement>(std::const_pointer_cast<DDXMLNode>(shared_from_this()));
    if (name->empty())
        return resolveNamespaceForPrefixAtNode(std::nullopt, self);
    std::string prefix = prefixForName(name);
    if (prefix.empty())
        return nullptr;
    return resolveNamespaceForPrefixAtNode(prefix, self);
}

std::optional<std::string> DDXMLElement::resolvePrefixForURIAtNode(std::string_view URI, const fnd::Ref<DDXMLElement>& node)
{
    std::string storage;
    const xmlChar* bytes = bytesOf(URI, storage);
    xmlNodePtr start = node ? node->elementRecord() : nullptr;
    for (xmlNodePtr element = start; element && element->type == XML_ELEMENT_NODE; element = element->parent) {
        for (xmlNsPtr declaration = element->nsDef; declaration; declaration = declaration->next) {
            if (declaration->prefix && xmlStrEqual(declaration->href, bytes))
                return std::string(reinterpret_cast<const char*>(declaration->prefix));
        }
    }
    return std::nullopt;
}

std::optional<std::string> DDXMLElement::resolvePrefixForNamespaceURI(std::string_view URI) const
{
    auto self = std::static_pointer_cast<DDXMLElement>(std::const_pointer_cast<DDXMLNode>(shared_from_this()));
    return resolvePrefixForURIAtNode(URI, self);
}

fnd::Ref<DDXMLElement> DDXMLElement::elementWithNameXmlns(std::string_view name, std::optional<std::string_view> ns)
{
    auto element = elementWithName(name);
    if (element)
        element->setXmlns(ns);
    return element;
}

std::optional<std::string> DDXMLElement::xmlns() const
{
    auto ns = namespaceForPrefix("");
    return ns ? ns->stringValue() : std::nullopt;
}

void DDXMLElement::setXmlns(std::optional<std::string_view> ns)
{
    addNamespace(namespaceWithNameStringValue("", ns));
}

// MARK: - Children

bool DDXMLElement::canAddChild(const fnd::Ref<DDXMLNode>& child) const
{
    xmlNodePtr element = elementRecord();
    if (!element || !child || !child->genericPtr())
        return false;
    if (!FND_ASSERT(!child->hasParent(), sourceFile, "Cannot add a child that has a parent; detach or copy first"))
        return false;
    if (!FND_ASSERT(DDXMLRecordTree::isContentKind(child->kind()), sourceFile, "Elements can only have text, elements, processing instructions, and comments as children"))
        return false;
    auto record = reinterpret_cast<xmlNodePtr>(child->genericPtr());
    return FND_ASSERT(!DDXMLRecordTree::isAncestorOrSelf(record, element), sourceFile, "Cannot add an element as a child of itself or of one of its descendants");
}

void DDXMLElement::insertRecord(xmlNodePtr child, xmlNodePtr before)
{
    // A text record may be merged into a text neighbour and freed; its wrappers must be known first.
    std::vector<DDXMLNode*> wrappersOfChild;
    if (child->type == XML_TEXT_NODE)
        wrappersOfChild = DDXMLOwnership::wrappersOf(DDXMLRecordTree::asKind(child));
    xmlNodePtr result = before ? xmlAddPrevSibling(before, child) : xmlAddChild(elementRecord(), child);
    if (!result)
        return;
    fnd::Ref<DDXMLNode> owner = treeOwner();
    if (result != child)
        DDXMLOwnership::followMergedRecord(wrappersOfChild, DDXMLRecordTree::asKind(result), owner);
    else
        DDXMLOwnership::adoptSubtree(DDXMLRecordTree::asKind(child), owner);
}

void DDXMLElement::addChild(const fnd::Ref<DDXMLNode>& child)
{
    if (canAddChild(child))
        insertRecord(reinterpret_cast<xmlNodePtr>(child->genericPtr()), nullptr);
}

xmlNodePtr DDXMLElement::contentChildAtPosition(size_t index, size_t& contentChildCount) const
{
    contentChildCount = 0;
    for (xmlNodePtr child = elementRecord()->children; child; child = child->next) {
        if (!DDXMLRecordTree::isContentKind(child->type))
            continue;
        if (contentChildCount == index)
            return child;
        ++contentChildCount;
    }
    return nullptr;
}

void DDXMLElement::insertChildAtIndex(const fnd::Ref<DDXMLNode>& child, size_t index)
{
    if (!canAddChild(child))
        return;
    size_t count = 0;
    xmlNodePtr before = contentChildAtPosition(index, count);
    if (!before && !FND_ASSERT(count == index, sourceFile, "index (%u) beyond bounds (%u)", index, count + 1))
        return;
    insertRecord(reinterpret_cast<xmlNodePtr>(child->genericPtr()), before);
}

void DDXMLElement::removeChildAtIndex(size_t index)
{
    xmlNodePtr element = elementRecord();
    if (!element)
        return;
    size_t count = 0;
    if (xmlNodePtr child = contentChildAtPosition(index, count))
        removeChildFromNode(child, element);
}

void DDXMLElement::removeChild(const fnd::Ref<DDXMLNode>& child)
{
    xmlNodePtr element = elementRecord();
    if (!element || !child || !DDXMLRecordTree::isContentKind(child->kind()))
        return;
    auto record = reinterpret_cast<xmlNodePtr>(child->genericPtr());
    if (record->parent == element)
        removeChildFromNode(record, element);
}

void DDXMLElement::setChildren(const Nodes& children)
{
    xmlNodePtr element = elementRecord();
    if (!element)
        return;
    keepListedRecords(children, XML_ELEMENT_NODE);
    removeAllChildrenFromNode(element);
    for (auto& child : children)
        addChild(child);
}

void DDXMLElement::keepListedRecords(const Nodes& nodes, int kind)
{
    xmlNodePtr element = elementRecord();
    for (auto& node : nodes) {
        if (!node || !node->genericPtr())
            continue;
        xmlKindPtr record = node->genericPtr();
        bool held = false;
        if (kind == XML_NAMESPACE_DECL)
            held = record->type == XML_NAMESPACE_DECL && DDXMLRecordTree::declaresNamespace(element, reinterpret_cast<xmlNsPtr>(record));
        else if (kind == XML_ATTRIBUTE_NODE)
            held = record->type == XML_ATTRIBUTE_NODE && reinterpret_cast<xmlAttrPtr>(record)->parent == element;
        else
            held = DDXMLRecordTree::isContentKind(record->type) && reinterpret_cast<xmlNodePtr>(record)->parent == element;
        if (held)
            node->detach();
    }
}

fnd::Ref<DDXMLElement> DDXMLElement::elementForName(std::string_view name) const
{
    auto elements = elementsForName(name);
    return elements.empty() ? nullptr : elements.front();
}

fnd::Ref<DDXMLElement> DDXMLElement::elementForNameXmlns(std::string_view name, std::optional<std::string_view> xmlns) const
{
    auto elements = elementsForLocalNameURI(name, xmlns);
    return elements.empty() ? nullptr : elements.front();
}
