#pragma once

#include "platform/foundation/Error.h"
#include "platform/foundation/Object.h"

#include <libxml/tree.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class DDXMLAttributeNode;
class DDXMLDocument;
class DDXMLElement;
class DDXMLNamespaceNode;
class DDXMLOwnership;
class DDXMLXPathQuery;

// Every libxml2 record (node, attribute, namespace declaration, document) begins with a pointer
// followed by its kind, so the kind can be read before the record's real type is known.
struct _xmlKind {
    void* ignore;
    xmlElementType type;
};
using xmlKindPtr = _xmlKind*;

// kind() answers libxml2's record kind numbers.
enum DDXMLNodeKind : int {
    DDXMLInvalidKind = 0,
    DDXMLElementKind = XML_ELEMENT_NODE,
    DDXMLAttributeKind = XML_ATTRIBUTE_NODE,
    DDXMLTextKind = XML_TEXT_NODE,
    DDXMLCDataKind = XML_CDATA_SECTION_NODE,
    DDXMLEntityReferenceKind = XML_ENTITY_REF_NODE,
    DDXMLProcessingInstructionKind = XML_PI_NODE,
    DDXMLCommentKind = XML_COMMENT_NODE,
    DDXMLDocumentKind = XML_DOCUMENT_NODE,
    DDXMLDTDKind = XML_DTD_NODE,
    DDXMLNamespaceKind = XML_NAMESPACE_DECL,
};

// Bits of XMLStringWithOptions(); other bits are ignored.
enum : unsigned {
    // An element without children is written as one empty-element tag ("<a/>" instead of "<a></a>").
    DDXMLNodeCompactEmptyElement = 0x4,
    // Line breaks between elements and two spaces of indentation per level.
    DDXMLNodePrettyPrint = 0x20000,
};

// The libxml2 structured error handler the model installs: keeps a copy of the last error reported
// on the calling thread (nothing given: forgets it).
void xml_store_last_error(void* userData, xmlErrorPtr error);

// A wrapper of one libxml2 record. Parses, factories and copies own their record and free it when
// the wrapper dies; navigation returns new wrappers that do not own their record but keep the
// owner of their tree alive, so a tree lives while any wrapper into it lives. Inserting a record
// into a tree hands its ownership to that tree, detaching takes it back, and removal frees at once:
// wrappers of freed records are left without a record (kind 0), on which every operation is inert.
// A tree and its wrappers are used from one thread at a time.
class DDXMLNode : public fnd::Object, public std::enable_shared_from_this<DDXMLNode> {
protected:
    struct ConstructionKey {
        explicit ConstructionKey() = default;
    };

public:
    using Nodes = std::vector<fnd::Ref<DDXMLNode>>;

    DDXMLNode(ConstructionKey, xmlKindPtr record, bool freeOnDealloc);
    ~DDXMLNode() override;
    DDXMLNode(const DDXMLNode&) = delete;
    DDXMLNode& operator=(const DDXMLNode&) = delete;

    // Prepares libxml2 for the model once per process and installs the error handler on the calling
    // thread; every wrapper calls it, so callers never need to.
    static void initialize();

    // Wrappers over existing records. A non-owning wrapper of a record in a tree owned by a wrapper
    // keeps that tree alive; the model uses the records' _private field for its bookkeeping.
    static fnd::Ref<DDXMLNode> createWithPrimitiveFreeOnDealloc(xmlKindPtr, bool freeOnDealloc);
    static fnd::Ref<DDXMLNode> nodeWithPrimitiveFreeOnDealloc(xmlKindPtr, bool freeOnDealloc);
    // Picks the wrapper class by the record's kind.
    static fnd::Ref<DDXMLNode> nodeWithUnknownPrimitiveFreeOnDealloc(xmlKindPtr, bool freeOnDealloc);

    // Factories: owning wrappers of new parentless records, nil when libxml2 cannot make them.
    static fnd::Ref<DDXMLElement> elementWithName(std::string_view name);
    static fnd::Ref<DDXMLElement> elementWithNameStringValue(std::string_view name, std::optional<std::string_view> stringValue);
    static fnd::Ref<DDXMLElement> elementWithNameChildrenAttributes(std::string_view name, const Nodes& children, const Nodes& attributes);
    static fnd::Ref<DDXMLElement> elementWithNameURI(std::string_view name, std::optional<std::string_view> URI);
    static fnd::Ref<DDXMLAttributeNode> attributeWithNameStringValue(std::string_view name, std::optional<std::string_view> stringValue);
    static fnd::Ref<DDXMLAttributeNode> attributeWithNameURIStringValue(std::string_view name, std::optional<std::string_view> URI, std::optional<std::string_view> stringValue);
    // An empty name declares a default namespace (no prefix).
    static fnd::Ref<DDXMLNamespaceNode> namespaceWithNameStringValue(std::string_view name, std::optional<std::string_view> stringValue);
    static fnd::Ref<DDXMLNode> processingInstructionWithNameStringValue(std::string_view name, std::optional<std::string_view> stringValue);
    static fnd::Ref<DDXMLNode> commentWithStringValue(std::optional<std::string_view> stringValue);
    static fnd::Ref<DDXMLNode> textWithStringValue(std::optional<std::string_view> stringValue);

    int kind() const { return m_genericPtr ? int(m_genericPtr->type) : 0; }
    virtual std::optional<std::string> name() const;
    virtual void setName(std::string_view);
    // Elements: the text of all descendants; text, CDATA, comments, processing instructions: their content.
    virtual std::optional<std::string> stringValue() const;
    // Stores the text exactly as given (elements replace their children with it).
    virtual void setStringValue(std::optional<std::string_view>);

    virtual size_t index() const;
    virtual size_t level() const;
    virtual fnd::Ref<DDXMLDocument> rootDocument() const;
    virtual fnd::Ref<DDXMLNode> parent() const;
    virtual bool hasParent() const;
    virtual size_t childCount() const;
    // Nothing for kinds that cannot hold children (attributes, namespaces, entity references).
    // Keep the result in a variable before iterating: `for (auto& c : *node->children())` would
    // iterate a destroyed temporary.
    virtual std::optional<Nodes> children() const;
    // Fails "index (%u) beyond bounds (%u)" past the last child of a record that has children.
    virtual fnd::Ref<DDXMLNode> childAtIndex(size_t index) const;
    virtual fnd::Ref<DDXMLNode> previousSibling() const;
    virtual fnd::Ref<DDXMLNode> nextSibling() const;
    // Document order.
    virtual fnd::Ref<DDXMLNode> previousNode() const;
    virtual fnd::Ref<DDXMLNode> nextNode() const;
    // Takes the record out of its tree; this wrapper owns it afterwards.
    virtual void detach();

    virtual std::optional<std::string> localName() const;
    virtual std::string prefix() const;
    // "a:b:c" gives "b:c"; nil gives nil.
    static std::optional<std::string> localNameForName(std::optional<std::string_view> name);
    // "a:b:c" gives "a"; no colon or nil gives "".
    static std::string prefixForName(std::optional<std::string_view> name);

    virtual std::optional<std::string> URI() const;
    virtual void setURI(std::optional<std::string_view>);

    // A deep, parentless copy owned by the returned wrapper; nil for kinds that cannot be copied.
    fnd::Ref<DDXMLNode> copy() const;

    std::string XMLString() const;
    std::string XMLStringWithOptions(unsigned options) const;
    // The node's position, e.g. "/floor[1]/picture[2]/@x".
    std::string XPath() const;
    // Appends this node's own step to `path` and answers the record the ancestor walk starts from.
    virtual xmlKindPtr XPathPreProcess(std::string& path) const;
    // Evaluates the expression with this node as the context node; nil (and the thread's last error
    // through `error`) when it cannot be evaluated, nil without error for kinds that cannot be queried.
    std::optional<Nodes> nodesForXPathError(std::string_view xpath, fnd::Ref<fnd::Error>* error) const;
    // The last libxml2 error reported on the calling thread, in "DDXMLErrorDomain"; nil when none.
    static fnd::Ref<fnd::Error> lastError();

    // Record surgery on raw libxml2 records, used by the editing operations. Freeing a record leaves
    // every wrapper into it without a record. Detaching with `nullifyPointers` also makes the
    // subtree self-contained: no document links, no references to namespace declarations outside it.
    static void detachChildFromNodeAndNullifyPointers(xmlNodePtr child, xmlNodePtr node, bool nullifyPointers);
    static void detachChildFromNode(xmlNodePtr child, xmlNodePtr node);
    static void removeChildFromNode(xmlNodePtr child, xmlNodePtr node);
    static void removeAllChildrenFromNode(xmlNodePtr node);
    static void detachAttributeFromNodeAndNullifyPointers(xmlAttrPtr attribute, xmlNodePtr node, bool nullifyPointers);
    static void detachAttributeFromNode(xmlAttrPtr attribute, xmlNodePtr node);
    static void removeAttributeFromNode(xmlAttrPtr attribute, xmlNodePtr node);
    static void removeAllAttributesFromNode(xmlNodePtr node);
    static void detachNamespaceFromNode(xmlNsPtr ns, xmlNodePtr node);
    static void removeNamespaceFromNode(xmlNsPtr ns, xmlNodePtr node);
    static void removeAllNamespacesFromNode(xmlNodePtr node);
    static void stripDocPointersFromAttr(xmlAttrPtr attribute);
    static void recursiveStripDocPointersFromNode(xmlNodePtr node);

    // The wrapped record, nullptr once it was freed by a removal.
    xmlKindPtr genericPtr() const { return m_genericPtr; }
    bool freeOnDealloc() const { return m_freeOnDealloc; }

    std::string_view className() const override { return "DDXMLNode"; }
    // The node's XML text.
    std::string description() const override;

protected:
    xmlNodePtr nodeRecord() const;
    // The wrapper that owns this record's tree: this one when it owns its record.
    fnd::Ref<DDXMLNode> treeOwner() const;
    // A non-owning wrapper of a record in this wrapper's tree.
    fnd::Ref<DDXMLNode> wrapInTree(xmlKindPtr record) const;
    fnd::Ref<DDXMLNamespaceNode> wrapNamespaceInTree(xmlNsPtr, xmlNodePtr declaringElement) const;

private:
    friend class DDXMLOwnership;
    friend class DDXMLXPathQuery;

    // A wrapper of the class that suits the record's kind, not yet keeping any tree alive.
    static fnd::Ref<DDXMLNode> wrapperForKind(xmlKindPtr record, bool freeOnDealloc);

    xmlKindPtr m_genericPtr;
    bool m_freeOnDealloc;
    // Kept alive by non-owning wrappers: the wrapper whose record is the top of this record's tree.
    fnd::Ref<DDXMLNode> m_treeOwner;
    unsigned m_anchoredWrapperCount { 0 };
    // The wrappers of one record form a list that starts at the record's _private field.
    DDXMLNode* m_previousWrapperOfRecord { nullptr };
    DDXMLNode* m_nextWrapperOfRecord { nullptr };
};
