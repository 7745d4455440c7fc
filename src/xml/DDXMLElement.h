#pragma once

#include "platform/foundation/Dictionary.h"
#include "xml/DDXMLNode.h"

// An element: its name is stored as given (a prefix and colon included), with attributes,
// namespace declarations and children. Adding a record hands its ownership to the element's tree.
class DDXMLElement final : public DDXMLNode {
public:
    using Elements = std::vector<fnd::Ref<DDXMLElement>>;

    // Inline so that children() builds element wrappers without a call per child.
    DDXMLElement(ConstructionKey key, xmlNodePtr element, bool freeOnDealloc)
        : DDXMLNode(key, reinterpret_cast<xmlKindPtr>(element), freeOnDealloc)
    {
    }

    static fnd::Ref<DDXMLElement> createWithElementPrimitiveFreeOnDealloc(xmlNodePtr, bool freeOnDealloc);
    static fnd::Ref<DDXMLElement> nodeWithElementPrimitiveFreeOnDealloc(xmlNodePtr, bool freeOnDealloc);
    // Refused: elements are wrapped with the element factories.
    static fnd::Ref<DDXMLNode> createWithPrimitiveFreeOnDealloc(xmlKindPtr, bool freeOnDealloc);
    static fnd::Ref<DDXMLNode> nodeWithPrimitiveFreeOnDealloc(xmlKindPtr, bool freeOnDealloc);

    static fnd::Ref<DDXMLElement> createWithName(std::string_view name);
    static fnd::Ref<DDXMLElement> createWithNameURI(std::string_view name, std::optional<std::string_view> URI);
    static fnd::Ref<DDXMLElement> createWithNameStringValue(std::string_view name, std::optional<std::string_view> stringValue);
    // The root element of the parsed text, taken out of its document; nil (and the parse error) on failure.
    static fnd::Ref<DDXMLElement> createWithXMLStringError(std::optional<std::string_view> xml, fnd::Ref<fnd::Error>* error);

    // Direct child elements only, in document order. A prefixed name also matches children with the
    // local name in the namespace the prefix is bound to here.
    Elements elementsForName(std::optional<std::string_view> name) const;
    Elements elementsForLocalNameURI(std::optional<std::string_view> localName, std::optional<std::string_view> URI) const;
    Elements elementsForNameUri(std::string_view name, std::optional<std::string_view> uri) const;

    bool hasAttributeWithName(std::string_view name) const;
    std::vector<fnd::Ref<DDXMLAttributeNode>> attributes() const;
    // "p:x" also finds x in the namespace bound to p.
    fnd::Ref<DDXMLAttributeNode> attributeForName(std::string_view name) const;
    // The attribute must have no parent; it replaces one of the same name and namespace.
    void addAttribute(const fnd::Ref<DDXMLNode>& attribute);
    // Takes one of this element's attribute records; others are left alone.
    void removeAttribute(xmlAttrPtr attribute);
    void removeAttributeForName(std::string_view name);
    void removeAllAttributes();
    void setAttributes(const Nodes& attributes);

    // The declaration must have no parent; it replaces one with the same prefix, and a default
    // namespace ("" prefix) becomes the element's own namespace.
    void addNamespace(const fnd::Ref<DDXMLNode>& ns);
    // Takes one of this element's declaration records; others are left alone. Nodes that were in the
    // removed namespace lose it.
    void removeNamespace(xmlNsPtr ns);
    void removeNamespaceForPrefix(std::string_view prefix);
    void removeAllNamespaces();
    std::vector<fnd::Ref<DDXMLNamespaceNode>> namespaces() const;
    // A prefix: this element's own declaration of it. "": the namespace the element is in.
    fnd::Ref<DDXMLNamespaceNode> namespaceForPrefix(std::string_view prefix) const;
    void setNamespaces(const Nodes& namespaces);
    // Searches the element and its ancestors; nil or "" means the default namespace.
    static fnd::Ref<DDXMLNamespaceNode> resolveNamespaceForPrefixAtNode(std::optional<std::string_view> prefix, const fnd::Ref<DDXMLElement>& node);
    fnd::Ref<DDXMLNamespaceNode> resolveNamespaceForName(std::optional<std::string_view> name) const;
    static std::optional<std::string> resolvePrefixForURIAtNode(std::string_view URI, const fnd::Ref<DDXMLElement>& node);
    std::optional<std::string> resolvePrefixForNamespaceURI(std::string_view URI) const;

    // The child must have no parent, be an element, text, CDATA, comment or processing instruction,
    // and must not hold this element. Text added next to text may be merged into it by libxml2; the
    // child's wrapper then wraps the merged text.
    void addChild(const fnd::Ref<DDXMLNode>& child);
    // Positions count element, text, CDATA, comment and processing-instruction children only.
    void insertChildAtIndex(const fnd::Ref<DDXMLNode>& child, size_t index);
    void removeChildAtIndex(size_t index);
    void removeChild(const fnd::Ref<DDXMLNode>& child);
    // Children of this element that are listed stay (in the new order); the others are freed.
    void setChildren(const Nodes& children);

    static fnd::Ref<DDXMLElement> elementWithNameXmlns(std::string_view name, std::optional<std::string_view> ns);
    fnd::Ref<DDXMLElement> elementForName(std::string_view name) const;
    fnd::Ref<DDXMLElement> elementForNameXmlns(std::string_view name, std::optional<std::string_view> xmlns) const;
    // The URI of the namespace the element is in.
    std::optional<std::string> xmlns() const;
    // Declares a default namespace and puts the element in it.
    void setXmlns(std::optional<std::string_view> ns);
    void addAttributeWithNameStringValue(std::string_view name, std::optional<std::string_view> stringValue);
    // Attribute names to values (an attribute without value maps to ""); a later name wins.
    fnd::Ref<fnd::Dictionary> attributesAsDictionary() const;

    std::string_view className() const override { return "DDXMLElement"; }

private:
    xmlNodePtr elementRecord() const;
    bool canAddChild(const fnd::Ref<DDXMLNode>& child) const;
    void insertRecord(xmlNodePtr child, xmlNodePtr before);
    xmlNodePtr contentChildAtPosition(size_t index, size_t& contentChildCount) const;
    // Records in `nodes` of the given kind that this element holds are detached before the element
    // frees its records of that kind, so that they can be added again.
    void keepListedRecords(const Nodes& nodes, int kind);
};
